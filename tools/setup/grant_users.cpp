// grant_users FOLDER [RECORD_FILE]
//
// Run by the installer on the data folder "c:\program files\Redoviri by
// DUZOVU": gives the built-in Users group (SID S-1-5-32-545, never its
// localized name) the right to create, replace and delete files in that
// folder, so the event file and its Redoviri.ini.new and Redoviri.ini.lock
// can be written without administrator rights.
//
// The new DACL keeps every ACE the folder has (inherited and explicit ones)
// and adds one explicit allow ACE for Users:
//   mask  FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE
//   flags OBJECT_INHERIT_ACE | NO_PROPAGATE_INHERIT_ACE
// It applies to the folder itself and is inherited by the files directly in
// it, but not by subfolders (no CONTAINER_INHERIT_ACE), and NO_PROPAGATE
// keeps the inherited copy from going further down. So the "bin" subfolder
// and the program files in it get nothing from it and keep the ordinary
// Program Files permissions.
//
// Output (stdout, and appended to RECORD_FILE when given):
//   folder: <FOLDER>
//   dacl: <SDDL of the DACL built and set>
//   users-ace: mask=0x... flags=0x.. (the Users ACE read back from that DACL)
//   stored: <SDDL of the DACL read back from the folder>
// Exit status 0 on success, 1 on any failure (the installer aborts then).
//
// Wine 8 does not keep file DACLs: SetNamedSecurityInfo succeeds, but
// GetNamedSecurityInfo afterwards returns a synthesized default, and its
// icacls is a stub. So the "dacl" and "users-ace" lines describe the DACL
// this program built and handed to SetNamedSecurityInfo (read back from
// memory with GetAce), and "stored" shows what the system reports; on
// Windows the two agree, under Wine "stored" lacks the Users ACE.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kUsersMask = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
constexpr BYTE kUsersFlags = OBJECT_INHERIT_ACE | NO_PROPAGATE_INHERIT_ACE;

std::wstring g_out;

void Emit(const std::wstring& line) { g_out += line + L"\r\n"; }

std::wstring Hex(DWORD v, int width) {
  wchar_t buf[16];
  std::swprintf(buf, 16, L"0x%0*lx", width, static_cast<unsigned long>(v));
  return buf;
}

std::wstring DaclSddl(PACL dacl) {
  SECURITY_DESCRIPTOR sd;
  if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&sd, TRUE, dacl, FALSE)) {
    return L"?";
  }
  LPWSTR text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(&sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                            &text, nullptr)) {
    return L"?";
  }
  std::wstring s = text;
  LocalFree(text);
  return s;
}

// An explicit (not inherited) allow ACE for this SID.
bool IsExplicitAllowFor(void* ace, PSID sid) {
  auto* header = static_cast<ACE_HEADER*>(ace);
  if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERITED_ACE)) return false;
  auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
  return EqualSid(reinterpret_cast<PSID>(&allowed->SidStart), sid);
}

int Fail(const wchar_t* what, DWORD error) {
  Emit(std::wstring(L"error: ") + what + L" failed (" + std::to_wstring(error) + L")");
  return 1;
}

int Grant(const std::wstring& folder) {
  Emit(L"folder: " + folder);
  BYTE sid_buffer[SECURITY_MAX_SID_SIZE];
  DWORD sid_size = sizeof sid_buffer;
  PSID users = sid_buffer;
  if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &sid_size)) {
    return Fail(L"CreateWellKnownSid", GetLastError());
  }

  PACL old_dacl = nullptr;
  PSECURITY_DESCRIPTOR old_sd = nullptr;
  DWORD rc = GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                   &old_dacl, nullptr, &old_sd);
  if (rc != ERROR_SUCCESS) return Fail(L"GetNamedSecurityInfo", rc);
  if (old_dacl == nullptr) {
    // A NULL DACL grants everyone everything; a DACL built from it would
    // take rights away instead of adding one. Not a Program Files folder.
    LocalFree(old_sd);
    return Fail(L"the folder has no DACL; GetNamedSecurityInfo", ERROR_INVALID_ACL);
  }

  // The new ACE first (explicit ACEs go before inherited ones), then every
  // old ACE but an earlier explicit allow for Users (a reinstall replaces it).
  ACL_SIZE_INFORMATION info{};
  GetAclInformation(old_dacl, &info, sizeof info, AclSizeInformation);
  DWORD size = info.AclBytesInUse + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(users);
  std::vector<BYTE> buffer(size);
  auto* dacl = reinterpret_cast<PACL>(buffer.data());
  if (!InitializeAcl(dacl, size, ACL_REVISION)) return Fail(L"InitializeAcl", GetLastError());
  if (!AddAccessAllowedAceEx(dacl, ACL_REVISION, kUsersFlags, kUsersMask, users)) {
    return Fail(L"AddAccessAllowedAceEx", GetLastError());
  }
  for (DWORD i = 0; i < info.AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(old_dacl, i, &ace)) return Fail(L"GetAce", GetLastError());
    if (IsExplicitAllowFor(ace, users)) continue;
    if (!AddAce(dacl, ACL_REVISION, MAXDWORD, ace, static_cast<ACE_HEADER*>(ace)->AceSize)) {
      return Fail(L"AddAce", GetLastError());
    }
  }
  LocalFree(old_sd);

  rc = SetNamedSecurityInfoW(const_cast<LPWSTR>(folder.c_str()), SE_FILE_OBJECT,
                             DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                             dacl, nullptr);
  if (rc != ERROR_SUCCESS) return Fail(L"SetNamedSecurityInfo", rc);

  Emit(L"dacl: " + DaclSddl(dacl));
  // The Users ACE as it stands in the DACL just set.
  int found = 0;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace) || !IsExplicitAllowFor(ace, users)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    LPWSTR sid_text = nullptr;
    std::wstring sid_string = L"?";
    if (ConvertSidToStringSidW(reinterpret_cast<PSID>(&allowed->SidStart), &sid_text)) {
      sid_string = sid_text;
      LocalFree(sid_text);
    }
    Emit(L"users-ace: sid=" + sid_string + L" mask=" + Hex(allowed->Mask, 8) + L" flags=" +
         Hex(allowed->Header.AceFlags, 2));
    ++found;
  }
  if (found != 1) return Fail(L"reading back the Users ACE", ERROR_INVALID_ACL);

  PACL stored = nullptr;
  PSECURITY_DESCRIPTOR stored_sd = nullptr;
  rc = GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &stored,
                             nullptr, &stored_sd);
  Emit(L"stored: " + (rc == ERROR_SUCCESS && stored ? DaclSddl(stored) : L"?"));
  if (stored_sd) LocalFree(stored_sd);
  return 0;
}

void Write(HANDLE h, const std::wstring& text) {
  if (h == INVALID_HANDLE_VALUE || h == nullptr) return;
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2 || argc > 3) {
    std::fputs("usage: grant_users FOLDER [RECORD_FILE]\n", stderr);
    return 2;
  }
  std::wstring folder = argv[1];
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  int status = Grant(folder);
  Write(GetStdHandle(STD_OUTPUT_HANDLE), g_out);
  if (argc == 3) {
    HANDLE record = CreateFileW(argv[2], FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (record == INVALID_HANDLE_VALUE) {
      std::fputs("grant_users: cannot write the record file\n", stderr);
      status = 1;
    } else {
      Write(record, g_out);
      CloseHandle(record);
    }
  }
  LocalFree(argv);
  return status;
}
