#include "helpers/folders.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace brellam {
namespace {

using Folders = std::vector<std::string>;

// Only below the folder given, which is never tested or made: a drive's
// root, a share or the host's folder are none of its business.
TEST(MakeFoldersTest, MakesOnlyTheMissingFoldersBelowTheOneGiven) {
  FakePlatform platform;
  platform.folders = {"C:\\Host\\"};
  EXPECT_EQ(MakeFolders(platform, "C:\\Host\\", {"skin", "Blue"}), "C:\\Host\\skin\\Blue");
  EXPECT_EQ(platform.created_folders, (Folders{"C:\\Host\\skin\\", "C:\\Host\\skin\\Blue\\"}));
  EXPECT_EQ(platform.tested_folders, (Folders{"C:\\Host\\skin\\", "C:\\Host\\skin\\Blue\\"}));
  EXPECT_EQ(MakeFolders(platform, "C:\\Host\\", {"skin", "Blue"}), "C:\\Host\\skin\\Blue");
  EXPECT_EQ(platform.created_folders.size(), 2u);
}

// On POSIX the host under Wine would read a folder of another letter case
// as its own: that one is used, never a twin made beside it.
TEST(MakeFoldersTest, TakesAFolderThatDiffersOnlyInLetterCase) {
  FakePlatform platform;
  platform.style = PathStyle::kPosix;
  platform.folders = {"/h/", "/h/Skin/", "/h/Skin/BLUE/", "/h/Skin/bluE/", "/h/Skin/red/"};
  EXPECT_EQ(MakeFolders(platform, "/h/", {"skin", "Red"}), "/h/Skin/red");
  EXPECT_EQ(MakeFolders(platform, "/h/", {"Skin", "Green"}), "/h/Skin/Green");
  EXPECT_EQ(platform.created_folders, (Folders{"/h/Skin/Green/"}));
  try {
    MakeFolders(platform, "/h/", {"skin", "Blue"});
    FAIL() << "no FolderError";
  } catch (const FolderError& e) {
    EXPECT_EQ(e.path(), "/h/Skin/Blue/");
  }
  EXPECT_EQ(platform.created_folders.size(), 1u);
}

TEST(MakeFoldersTest, AFolderThatCannotBeMadeEndsWithItsPathAndReason) {
  FakePlatform platform;
  platform.folders = {"Q:\\Host\\"};
  platform.refused_folders = {{"Q:\\Host\\skin\\", "Access is denied."}};
  try {
    MakeFolders(platform, "Q:\\Host\\", {"skin", "Blue"});
    FAIL() << "no FolderError";
  } catch (const FolderError& e) {
    EXPECT_EQ(e.path(), "Q:\\Host\\skin\\");
    EXPECT_EQ(e.reason(), "Access is denied.");
  }
  EXPECT_TRUE(platform.created_folders.empty());
}

}  // namespace
}  // namespace brellam
