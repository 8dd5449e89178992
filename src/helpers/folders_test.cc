#include "helpers/folders.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace brellam {
namespace {

using Folders = std::vector<std::string>;

// The folder MakeFolders answers with, and the reason after it on failure.
std::string Made(FakePlatform& platform, const std::string& folder,
                 std::initializer_list<std::string_view> names) {
  std::string path;
  std::string reason;
  const Status status = MakeFolders(platform, folder, names, &path, &reason);
  return status == Status::kOk ? path : path + " failed: " + reason;
}

// Only below the folder given, which is never tested or made: a drive's
// root, a share or the host's folder are none of its business.
TEST(MakeFoldersTest, MakesOnlyTheMissingFoldersBelowTheOneGiven) {
  FakePlatform platform;
  platform.folders = {"C:\\Host\\"};
  EXPECT_EQ(Made(platform, "C:\\Host\\", {"skin", "Blue"}), "C:\\Host\\skin\\Blue");
  EXPECT_EQ(platform.created_folders, (Folders{"C:\\Host\\skin\\", "C:\\Host\\skin\\Blue\\"}));
  EXPECT_EQ(platform.tested_folders, (Folders{"C:\\Host\\skin\\", "C:\\Host\\skin\\Blue\\"}));
  EXPECT_EQ(Made(platform, "C:\\Host\\", {"skin", "Blue"}), "C:\\Host\\skin\\Blue");
  EXPECT_EQ(platform.created_folders.size(), 2u);
}

// On POSIX the host under Wine would read a folder of another letter case
// as its own: that one is used, never a twin made beside it.
TEST(MakeFoldersTest, TakesAFolderThatDiffersOnlyInLetterCase) {
  FakePlatform platform;
  platform.style = PathStyle::kPosix;
  platform.folders = {"/h/", "/h/Skin/", "/h/Skin/BLUE/", "/h/Skin/bluE/", "/h/Skin/red/"};
  EXPECT_EQ(Made(platform, "/h/", {"skin", "Red"}), "/h/Skin/red");
  EXPECT_EQ(Made(platform, "/h/", {"Skin", "Green"}), "/h/Skin/Green");
  EXPECT_EQ(platform.created_folders, (Folders{"/h/Skin/Green/"}));
  EXPECT_TRUE(Made(platform, "/h/", {"skin", "Blue"}).starts_with("/h/Skin/Blue/ failed: "));
  EXPECT_EQ(platform.created_folders.size(), 1u);
  // Another run makes it in another letter case at the same moment.
  platform.twin_made_with = {{"/h/Skin/Grey/", "/h/Skin/GREY/"}};
  EXPECT_EQ(Made(platform, "/h/", {"skin", "Grey"}), "/h/Skin/GREY");
  EXPECT_EQ(platform.folders.count("/h/Skin/Grey/"), 0u);
}

TEST(MakeFoldersTest, AFolderThatCannotBeMadeEndsWithItsPathAndReason) {
  FakePlatform platform;
  platform.folders = {"Q:\\Host\\"};
  platform.refused_folders = {{"Q:\\Host\\skin\\", "Access is denied."}};
  EXPECT_EQ(Made(platform, "Q:\\Host\\", {"skin", "Blue"}),
            "Q:\\Host\\skin\\ failed: Access is denied.");
  EXPECT_TRUE(platform.created_folders.empty());
}

}  // namespace
}  // namespace brellam
