// Runs the built program the way a user does, in throwaway folders, and
// checks its message, its exit status and every byte it wrote.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "conversion/messages.h"
#include "program_fixture.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;

using fixture::kHeaderPage;
using fixture::kNewResPage;
using fixture::kResPage;
using fixture::kSkin;
using Files = std::map<std::string, std::string>;

TEST_F(ProgramTest, ConvertsASkinByteForByte) {
  Spit(root / "dl/Blue.txt", kSkin);
  const Outcome outcome = Run({(root / "dl/Blue.txt").string()});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, Line(kDone));
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(FilesIn(host / "skin/Blue"),
            (std::map<std::string, std::string>{{"Header.htm", kHeaderPage},
                                                {"NewRes.htm", kNewResPage},
                                                {"Res.htm", kResPage},
                                                {"setting.skn", SettingsFor("Blue")}}));
}

TEST_F(ProgramTest, JapaneseNameQuotesAndBlanks) {
  // "青空 (改).txt": the title goes into the settings file in code page 932.
  const std::string name = "\xE9\x9D\x92\xE7\xA9\xBA (\xE6\x94\xB9)";
  Spit(root / "My Skins" / (name + ".txt"), kSkin);
  const Outcome outcome = Run({'"' + (root / "My Skins").string() + "/" + name + ".txt\""});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const auto files = FilesIn(host / "skin" / name);
  EXPECT_EQ(files.at("setting.skn"), SettingsFor("\x90\xC2\x8B\xF3 (\x89\xFC)"));
  EXPECT_EQ(files.at("NewRes.htm"), kNewResPage);
}

TEST_F(ProgramTest, ReplacesTheFourFilesAndKeepsOthers) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(host / "skin/Blue/Res.htm", "an older, longer Res page than the new one\r\n");
  Spit(host / "skin/Blue/user.css", "kept");
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).status, 0);
  const auto files = FilesIn(host / "skin/Blue");
  EXPECT_EQ(files.at("Res.htm"), kResPage);
  EXPECT_EQ(files.at("user.css"), "kept");
  EXPECT_EQ(files.size(), 5u);
}

TEST_F(ProgramTest, EarlyEndsTouchNothing) {
  Spit(root / "dl/.txt", kSkin);
  Spit(root / "dl/...txt", kSkin);
  struct Case {
    std::vector<std::string> arguments;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{}, Line(kNothingDropped)},
      {{""}, Line(kNothingDropped)},
      {{"\"\"\""}, Line(kNothingDropped)},
      {{(root / "dl/.txt").string()}, Line(kUnusableName) + ".txt\n"},
      {{(root / "dl/...txt").string()}, Line(kUnusableName) + "...txt\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_FALSE(fs::exists(host / "skin"));
  }
}

TEST_F(ProgramTest, NoHostPathStored) {
  Spit(root / "dl/Blue.txt", kSkin);
  for (const char* ini : {"", "[Path]\n", "[Other]\nPath=/x/k.exe\n"}) {
    Spit(root / "config/Kyrlen/settings.ini", ini);
    const Outcome outcome = Run({(root / "dl/Blue.txt").string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, Line(kNoHost));
  }
  fs::remove_all(root / "config");
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).err, Line(kNoHost));
  EXPECT_FALSE(fs::exists(host / "skin"));
}

TEST_F(ProgramTest, HostPathFromTheWinePrefixUnlessSettingsHoldOne) {
  Spit(root / "dl/Blue.txt", kSkin);
  fs::remove_all(root / "config");
  const fs::path prefix = root / ".wine";
  // In other letter cases than on the disk, as Wine does not mind.
  Spit(prefix / "user.reg", R"(WINE REGISTRY Version 2

[Software\\VB and VBA Program Settings\\Kyrlen\\Path] 1700000000
#time=1d9a2b3c4d5e6f7
"Path"="C:\\PROGRAM FILES\\Kyrlen\\KYRLEN.EXE"
)");
  fs::create_directories(prefix / "drive_c/Program Files/Kyrlen/Skin");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  const fs::path skin = prefix / "drive_c/Program Files/Kyrlen/Skin/Blue";
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).status, 0);
  EXPECT_EQ(Slurp(skin / "Header.htm"), kHeaderPage);
  EXPECT_EQ(FilesIn(prefix / "drive_c").size(), 8u);  // no twin of any folder

  // A settings file that is there wins, even with a path of no use here.
  fs::remove_all(skin);
  SetHostPath("C:\\Program Files\\Kyrlen\\kyrlen.exe");
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).err,
            Line(std::string(kNoHost) + "\nC:\\Program Files\\Kyrlen\\kyrlen.exe\n" +
                 std::string(kHostNotAbsolute)));
  SetHostPath((host / "kyrlen.exe").string());
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).status, 0);
  EXPECT_EQ(Slurp(host / "skin/Blue/Header.htm"), kHeaderPage);
  EXPECT_FALSE(fs::exists(skin));
}

TEST_F(ProgramTest, UnreadableSkinTextLeavesAnEmptyFolder) {
  Spit(root / "dl/Empty.txt", "");
  Spit(root / "dl/Blue.txt", kSkin);
  struct Case {
    std::vector<std::string> arguments;
    const char* folder;
  };
  const std::vector<Case> cases = {
      {{(root / "dl/Missing.txt").string()}, "Missing"},
      {{(root / "dl/Empty.txt").string()}, "Empty"},
      {{(root / "dl").string() + "/"}, nullptr},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    if (c.folder == nullptr) continue;
    EXPECT_EQ(outcome.err, Line(kBadSkinText));
    EXPECT_TRUE(fs::is_empty(host / "skin" / c.folder));
  }
  EXPECT_FALSE(fs::exists(host / "skin/Blue"));
}

TEST_F(ProgramTest, SeveralFilesAndQuotesInNames) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(root / "dl/q\"a.txt", kSkin);
  const Outcome outcome = Run({(root / "dl/Blue.txt").string(), (root / "dl/Missing.txt").string(),
                               (root / "dl/q\"a.txt").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, Line("Blue.txt\n" + std::string(kDone) + "\n\nMissing.txt\n" +
                              std::string(kBadSkinText) + "\n\nq\"a.txt\n" + std::string(kDone)));
  EXPECT_EQ(FilesIn(host / "skin/Blue").size(), 4u);
  EXPECT_EQ(FilesIn(host / "skin/q\"a").at("setting.skn"), SettingsFor("q\"a"));
  EXPECT_TRUE(fs::is_empty(host / "skin/Missing"));

  // One name with a quote is that file, not one without it.
  fs::remove_all(host / "skin");
  EXPECT_EQ(Run({(root / "dl/q\"a.txt").string()}).out, Line(kDone));
  EXPECT_EQ(Slurp(host / "skin/q\"a/Res.htm"), kResPage);
}

// Both ways: the packed text converts into the very pages it was packed
// from, without the host at all, and never over an existing file.
TEST_F(ProgramTest, PacksASkinFolderThatConvertsBackByteForByte) {
  const fs::path folder = root / "skins/sakura";
  fs::create_directories(folder.parent_path());
  fs::copy(fs::path(BRELLAM_EXAMPLES) / "sakura-expected", folder);
  fs::remove_all(root / "config");
  const fs::path packed = root / "skins/sakura.txt";
  EXPECT_EQ(Run({folder.string() + "/"}).out, Line(std::string(kDone) + "\n" + packed.string()));
  EXPECT_FALSE(fs::exists(host / "skin"));

  SetHostPath((host / "kyrlen.exe").string());
  EXPECT_EQ(Run({packed.string()}).status, 0);
  for (const char* page : {"Header.htm", "NewRes.htm", "Res.htm"}) {
    EXPECT_EQ(Slurp(host / "skin/sakura" / page), Slurp(folder / page)) << page;
  }
  const fs::path second = root / "skins/sakura (2).txt";
  EXPECT_EQ(Run({folder.string()}).out, Line(std::string(kDone) + "\n" + second.string()));
  EXPECT_EQ(Slurp(second), Slurp(packed));
}

TEST_F(ProgramTest, FoldersThatArePackedIntoNothing) {
  Spit(root / "skins/half/Header.htm", "h\r\n");
  Spit(root / "skins/names/Header.htm", "h\r\n");
  Spit(root / "skins/names/NewRes.htm", "n\r\n");
  Spit(root / "skins/names/Res.htm", "see Header.htm\r\n");
  // A page that leads elsewhere would pack a file of the user's into a text
  // meant to be shared.
  Spit(root / "secret", "a private key");
  Spit(root / "skins/linked/Header.htm", "h\r\n");
  Spit(root / "skins/linked/Res.htm", "r\r\n");
  fs::create_symlink(root / "secret", root / "skins/linked/NewRes.htm");
  Spit(root / "skins/piped/Header.htm", "h\r\n");
  Spit(root / "skins/piped/Res.htm", "r\r\n");
  ASSERT_EQ(::mkfifo((root / "skins/piped/NewRes.htm").c_str(), 0600), 0);
  const Files before = FilesIn(root);
  const fs::path half = root / "skins/half";
  const fs::path names = root / "skins/names";
  const fs::path linked = root / "skins/linked";
  const fs::path piped = root / "skins/piped";
  for (const auto& [folder, err] :
       {std::pair{half, Line(std::string(kNotSkinFolder) + "\n" + half.string())},
        std::pair{names,
                  Line(std::string(kPackChangesPages) + "\n" + (names / "Header.htm").string())},
        std::pair{linked,
                  Line(std::string(kNotSkinFolder) + "\n" + (linked / "NewRes.htm").string() +
                       "\nToo many levels of symbolic links")},
        std::pair{piped, Line(std::string(kNotSkinFolder) + "\n" + (piped / "NewRes.htm").string() +
                              "\n通常のファイルではない")}}) {
    const Outcome outcome = Run({folder.string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, err);
    EXPECT_EQ(FilesIn(root), before);
  }
}

// Nothing is made where the host never looks, nor a host folder anew.
TEST_F(ProgramTest, HostPathsThatAreRefused) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(root / "plain-file", "not a folder");
  for (const auto& [path, reason] :
       {std::pair{std::string("kyrlen.exe"), kHostNotAbsolute},
        std::pair{std::string("~/Kyrlen/kyrlen.exe"), kHostNotAbsolute},
        std::pair{(root / "gone/kyrlen.exe").string(), kHostFolderMissing},
        std::pair{(root / "plain-file/kyrlen.exe").string(), kHostFolderMissing}}) {
    SetHostPath(path);
    const Files before = FilesIn(root);
    const Outcome outcome = Run({(root / "dl/Blue.txt").string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, Line(std::string(kNoHost) + "\n" + path + "\n" + std::string(reason)));
    EXPECT_EQ(FilesIn(root), before);
  }
}

TEST_F(ProgramTest, ReadOnlyFileIsKeptAndReported) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(host / "skin/Blue/Res.htm", "mine");
  fs::permissions(host / "skin/Blue/Res.htm", fs::perms::owner_read);
  const Outcome outcome = Run({(root / "dl/Blue.txt").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, Line(kUnwritten) + (host / "skin/Blue/Res.htm").string() + "\n");
  EXPECT_EQ(FilesIn(host / "skin/Blue"),
            (std::map<std::string, std::string>{{"Header.htm", kHeaderPage},
                                                {"NewRes.htm", kNewResPage},
                                                {"Res.htm", "mine"},
                                                {"setting.skn", SettingsFor("Blue")}}));
}

TEST_F(ProgramTest, BundledExampleConverts) {
  fs::copy(fs::path(BRELLAM_EXAMPLES) / "sakura.txt", root / "sakura.txt");
  const Outcome outcome = Run({(root / "sakura.txt").string()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const auto files = FilesIn(host / "skin/sakura");
  const fs::path expected = fs::path(BRELLAM_EXAMPLES) / "sakura-expected";
  for (const char* page : {"Header.htm", "NewRes.htm", "Res.htm"}) {
    SCOPED_TRACE(page);
    EXPECT_EQ(files.at(page), Slurp(expected / page));
  }
  EXPECT_EQ(files.at("setting.skn"), SettingsFor("sakura"));
}

}  // namespace
}  // namespace brellam
