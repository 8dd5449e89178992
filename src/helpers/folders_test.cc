#include "helpers/folders.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace brellam {
namespace {

using Folders = std::vector<std::string>;

TEST(MakeFoldersTest, CreatesOnlyTheMissingFoldersFromTheTopDown) {
  FakePlatform platform;
  platform.folders = {"C:\\", "C:\\Host\\"};
  MakeFolders(platform, "C:\\Host\\skin\\Blue");
  EXPECT_EQ(platform.created_folders, (Folders{"C:\\Host\\skin\\", "C:\\Host\\skin\\Blue\\"}));
  MakeFolders(platform, "C:\\Host\\skin\\Blue");
  EXPECT_EQ(platform.created_folders.size(), 2u);
}

TEST(MakeFoldersTest, NetworkPathStartsBelowTheShare) {
  FakePlatform platform;
  platform.folders = {"\\\\srv\\share\\"};
  MakeFolders(platform, "\\\\srv\\share\\skins\\Blue");
  EXPECT_EQ(platform.tested_folders,
            (Folders{"\\\\srv\\share\\skins\\", "\\\\srv\\share\\skins\\Blue\\"}));
  EXPECT_EQ(platform.created_folders,
            (Folders{"\\\\srv\\share\\skins\\", "\\\\srv\\share\\skins\\Blue\\"}));
}

TEST(MakeFoldersTest, ForwardSlashesSeparateOnWindows) {
  FakePlatform platform;
  platform.folders = {"C:\\"};
  MakeFolders(platform, "C:/Host/skin");
  EXPECT_EQ(platform.created_folders, (Folders{"C:\\Host\\", "C:\\Host\\skin\\"}));
}

TEST(MakeFoldersTest, PosixPathsFromTheRootOrRelative) {
  FakePlatform platform;
  platform.style = PathStyle::kPosix;
  platform.folders = {"/", ""};
  MakeFolders(platform, "/opt/skin");
  MakeFolders(platform, "skin/a\\b");
  EXPECT_EQ(platform.created_folders, (Folders{"/opt/", "/opt/skin/", "skin/", "skin/a\\b/"}));
}

TEST(MakeFoldersTest, AFolderThatCannotBeMadeEndsWithItsPathAndReason) {
  FakePlatform platform;
  platform.folders = {"Q:\\"};
  platform.refused_folders = {{"Q:\\Host\\", "Access is denied."}};
  try {
    MakeFolders(platform, "Q:\\Host\\skin");
    FAIL() << "no FolderError";
  } catch (const FolderError& e) {
    EXPECT_EQ(e.path(), "Q:\\Host\\");
    EXPECT_EQ(e.reason(), "Access is denied.");
  }
  EXPECT_TRUE(platform.created_folders.empty());
}

}  // namespace
}  // namespace brellam
