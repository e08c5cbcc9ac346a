// The resources of Redoviri.exe itself: its manifest (run as the user,
// Windows 7 to 11, long paths, GDI text drawn at the screen's resolution)
// and the version CMake gives it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace redoviri {
namespace {

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(REDOVIRI_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << REDOVIRI_EXE;
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  std::string Resource(LPCSTR name, LPCSTR type) const {
    const HRSRC found = FindResourceA(module_, name, type);
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(module_, found);
    return {static_cast<const char*>(LockResource(loaded)), SizeofResource(module_, found)};
  }
  HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, TheManifestAsksForWhatTheProgramNeeds) {
  const std::string manifest = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_FALSE(manifest.empty()) << "no manifest";
  for (const char* wanted : {
           "level=\"asInvoker\"",
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
           "WindowsSettings\">true</longPathAware>",
           "WindowsSettings\">true/pm</dpiAware>",
           "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>",
       })
    EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
  // The program draws at each monitor's resolution itself: no bitmap
  // stretching of its windows by the system.
  EXPECT_EQ(manifest.find("gdiScaling"), std::string::npos);
}

TEST_F(ProgramResources, TheVersionIsTheProjects) {
  const std::string info = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
  ASSERT_FALSE(info.empty());
  std::string copy = info;
  char* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(copy.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(std::string(value), REDOVIRI_VERSION);
}

}  // namespace
}  // namespace redoviri
