// What the Windows file code reads of a symbolic link, for the tests: the
// system cannot show them every kind of link (Wine shows none).
#pragma once

#include <cstddef>
#include <string>

namespace redoviri {

// The path the symbolic link `link` names, from its reparse data (`size`
// bytes of the system's REPARSE_DATA_BUFFER): the name as the user gave it,
// else the system's form without its "\??\" ("\??\UNC\" for a share); a
// relative target taken from the link's folder. Empty when the data is no
// symbolic link's, is cut short, or names its target in characters the code
// page cannot hold.
std::string SymbolicLinkTargetFromData(const std::string& link, const unsigned char* data, std::size_t size);

}  // namespace redoviri
