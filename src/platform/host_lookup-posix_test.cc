#include "platform/host_lookup-posix.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace brellam {
namespace {

TEST(HostLookupTest, SettingsFileFollowsTheConfigHome) {
  EXPECT_EQ(SettingsFilePath("/x/cfg", "/home/u", "Kyrlen"), "/x/cfg/Kyrlen/settings.ini");
  EXPECT_EQ(SettingsFilePath(nullptr, "/home/u", "Kyrlen"), "/home/u/.config/Kyrlen/settings.ini");
  EXPECT_EQ(SettingsFilePath("", "/home/u", "Kyrlen"), "/home/u/.config/Kyrlen/settings.ini");
  EXPECT_EQ(SettingsFilePath("relative", "/home/u", "Kyrlen"),
            "/home/u/.config/Kyrlen/settings.ini");
  EXPECT_EQ(SettingsFilePath(nullptr, nullptr, "Kyrlen"), "");
}

// Over a made-up prefix: only "dosdevices" and the drive C: are there.
TEST(HostLookupTest, WindowsPathsAsWineFindsThemThroughTheDriveLinks) {
  const std::map<std::string, std::vector<std::string>> tree = {
      {"/p/dosdevices/", {"c:", "z:"}},
      {"/p/dosdevices/c:/", {"Program Files", "twin", "TWIN"}},
      {"/p/dosdevices/c:/Program Files/", {"Kyrlen", "kyrlen"}},
      {"/p/dosdevices/c:/Program Files/Kyrlen/", {"kyrlen.exe", "Skin", "ＢＬＵＥ"}},
  };
  const ListFolder list = [&](const std::string& folder, std::vector<std::string>& names) {
    const auto found = tree.find(folder);
    if (found != tree.end()) names = found->second;
    return found != tree.end();
  };
  const std::string kyrlen = "/p/dosdevices/c:/Program Files/Kyrlen/";
  const std::pair<const char*, std::string> cases[] = {
      {R"(C:\Program Files\Kyrlen\kyrlen.exe)", kyrlen + "kyrlen.exe"},
      {R"(c:/PROGRAM FILES//Kyrlen\.\KYRLEN.EXE)", kyrlen + "kyrlen.exe"},
      {R"(\\?\C:\Program Files\Kyrlen\)", kyrlen},
      {R"(C:\Program Files\..\..\Program Files\x\..\Kyrlen\skin\..)", kyrlen},
      {R"(C:\Program Files\..)", "/p/dosdevices/c:/"},
      {R"(C:\Program Files\Kyrlen\new\SKIN\k.exe)", kyrlen + "new/SKIN/k.exe"},
      {R"(C:\Program Files\Kyrlen\ｂｌｕｅ\k.exe)", kyrlen + "ＢＬＵＥ/k.exe"},  // as Windows folds
      {R"(C:\twin\k.exe)", "/p/dosdevices/c:/twin/k.exe"},
      {R"(Z:\k.exe)", "/p/dosdevices/z:/k.exe"},
      // Two names differ only in case, and neither is the one written.
      {R"(C:\Twin\k.exe)", ""},
      {R"(C:\Program Files\KYRLEN\k.exe)", ""},
      {R"(D:\k.exe)", ""},  // no such drive: nothing is made for it
      {"", ""},
      {"k.exe", ""},
      {"C:", ""},
      {"C:k.exe", ""},
      {R"(\k.exe)", ""},
      {R"(\\server\share\k.exe)", ""},
      {R"(1:\k.exe)", ""},
  };
  for (const auto& [windows, unix] : cases) {
    std::string found;
    std::string reason;
    const Status status = UnixPathInPrefix("/p", windows, list, &found, &reason);
    EXPECT_EQ(status == Status::kOk ? found : "", unix) << windows;
    EXPECT_EQ(status == Status::kOk, !unix.empty()) << windows;
  }
  EXPECT_EQ(WinePrefixFolder("/p", "/home/u"), "/p");
  EXPECT_EQ(WinePrefixFolder(nullptr, "/home/u"), "/home/u/.wine");
  EXPECT_EQ(WinePrefixFolder("relative", "/home/u"), "/home/u/.wine");
  EXPECT_EQ(WinePrefixFolder(nullptr, "relative"), "");
}

}  // namespace
}  // namespace brellam
