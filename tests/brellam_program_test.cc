// Runs the built program the way a user does, in throwaway folders, and
// checks its message, its exit status and every byte it wrote.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/messages.h"
#include "program_fixture.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

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

// On the real system, too, each new page is on the disk before it takes
// its name, and so is the record; the names are flushed before the first
// swap and after the last.
TEST_F(ProgramTest, ReplacesTheFourFilesAndKeepsOthers) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(host / "skin/Blue/Res.htm", "an older, longer Res page than the new one\r\n");
  Spit(host / "skin/Blue/user.css", "kept");
  const fs::path log = root / "flushes";
#ifndef __SANITIZE_ADDRESS__
  environment = {"LD_PRELOAD=" BRELLAM_SYNC_RECORDER, "BRELLAM_SYNC_LOG=" + log.string()};
#endif
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).status, 0);
  const auto files = FilesIn(host / "skin/Blue");
  EXPECT_EQ(files.at("Res.htm"), kResPage);
  EXPECT_EQ(files.at("user.css"), "kept");
  EXPECT_EQ(files.size(), 5u);
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "flushes not recorded: the sanitizer's runtime must be loaded before any other";
#endif
  const std::string folder = fs::canonical(host / "skin/Blue").string();
  std::set<std::string> flushed;
  int renamed = 0;
  int folder_flushes = 0;
  std::istringstream lines(Slurp(log));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string call, from, to;
    words >> call >> from >> to;
    if (call == "fsync") {
      flushed.insert(from);
      // Between the renames, a flush would be wasted.
      if (from == folder) folder_flushes += renamed == 0 || renamed == 4 ? 1 : 100;
    }
    if (call == "rename" && fs::path(from).extension() == ".tmp") {
      ++renamed;
      EXPECT_TRUE(flushed.count(fs::canonical(fs::path(to).parent_path()).string() + "/" +
                                fs::path(from).filename().string()))
          << line;
      EXPECT_TRUE(flushed.count(folder + "/.brellam.record") && folder_flushes == 1) << line;
    }
  }
  EXPECT_EQ(renamed, 4);
  EXPECT_EQ(folder_flushes, 2);
}

TEST_F(ProgramTest, EarlyEndsTouchNothing) {
  Spit(root / "dl/.txt", kSkin);
  Spit(root / "dl/...txt", kSkin);
  Spit(root / "dl/Empty.txt", "");
  // Names Windows refuses or changes, and characters code page 932 lacks:
  // shown beside their number only where they show alone (not U+3099 of a
  // decomposed "ガ", nor a bidirectional override).
  const std::vector<std::string> unusable = {"a:b.txt",   "Blue .txt",    "aux.txt",
                                             "Blue😀.txt", "café.txt",     "\x1B]0;x\x07\nline.txt",
                                             "〜.txt",    "か\u3099.txt", "a\u202ETXT.exe.txt"};
  const std::string lacks = "\nコードページ 932 にない文字 ";
  for (const std::string& name : unusable) Spit(root / "dl" / name, kSkin);
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
      {{(root / "dl" / unusable[0]).string()}, Line(kUnusableName) + unusable[0] + "\n"},
      {{(root / "dl" / unusable[1]).string()}, Line(kUnusableName) + unusable[1] + "\n"},
      {{(root / "dl" / unusable[2]).string()}, Line(kUnusableName) + unusable[2] + "\n"},
      {{(root / "dl" / unusable[3]).string()},
       Line(kUnusableName) + unusable[3] + lacks + "U+1F600「😀」\n"},
      {{(root / "dl" / unusable[4]).string()},
       Line(kUnusableName) + unusable[4] + lacks + "U+00E9「é」\n"},
      {{(root / "dl" / unusable[6]).string()},
       Line(kUnusableName) + unusable[6] + lacks + "U+301C「〜」\n"},
      {{(root / "dl" / unusable[7]).string()},
       Line(kUnusableName) + unusable[7] + lacks + "U+3099\n"},
      {{(root / "dl" / unusable[8]).string()},
       Line(kUnusableName) + "a\\u202ETXT.exe.txt" + lacks + "U+202E\n"},
      {{(root / "dl" / unusable[5]).string()},
       Line(kUnusableName) + "\\x1B]0;x\\x07\\x0Aline.txt\n"},
      // Skin texts that cannot be read, and a folder that is none.
      {{(root / "dl/Missing.txt").string()}, Line(kBadSkinText) + "No such file or directory\n"},
      {{(root / "dl/Empty.txt").string()}, Line(kBadSkinText) + "0 バイト\n"},
      {{(root / "dl").string() + "/"},
       Line(kNotSkinFolder) + (root / "dl/Header.htm").string() + "\nNo such file or directory\n"},
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

// Only where nothing is stored does the message stand alone; else it names
// the file read, and why.
TEST_F(ProgramTest, NoHostPathStored) {
  Spit(root / "dl/Blue.txt", kSkin);
  const fs::path ini = root / "config/Kyrlen/settings.ini";
  const fs::path reg = root / ".wine/user.reg";  // read only where there is no ini
  const std::string key =
      "WINE REGISTRY Version 2\n[Software\\\\VB and VBA Program Settings\\\\"
      "Kyrlen\\\\Path] 1\n\"Path\"=";
  const std::string not_regular(kNotRegularFile);
  struct Case {
    fs::path file;
    std::string bytes;  // or kFolderEntry, kOtherEntry: a folder, a pipe
    std::string why;    // under the file; none when nothing is stored
  };
  const Case cases[] = {
      {"", "", ""},
      {ini, "", ""},
      {ini, "[Path]\n", ""},
      {ini, "[Other]\nPath=/x/k.exe\n", ""},
      {ini, std::string("\xFF\xFE[\0P\0]\0", 8), std::string(kUtf16Settings)},
      {ini, std::string(kFolderEntry), not_regular},
      {ini, std::string(kOtherEntry), not_regular},
      {reg, std::string(kFolderEntry), not_regular},
      {reg, std::string(kOtherEntry), not_regular},
      {reg, key + "hex(1):2f,00,6b,00\n", "文字列ではない値（hex(1)）"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.string() + " " + c.bytes);
    fs::remove_all(root / "config");
    fs::remove_all(root / ".wine");
    if (c.bytes == kFolderEntry) {
      fs::create_directories(c.file);
    } else if (c.bytes == kOtherEntry) {
      fs::create_directories(c.file.parent_path());
      ASSERT_EQ(::mkfifo(c.file.c_str(), 0600), 0);
    } else if (!c.file.empty()) {
      Spit(c.file, c.bytes);
    }
    const Outcome outcome = Run({(root / "dl/Blue.txt").string()});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, Line(std::string(kNoHost) +
                                (c.why.empty() ? "" : "\n" + c.file.string() + "\n" + c.why)));
  }
  EXPECT_FALSE(fs::exists(host / "skin"));
}

TEST_F(ProgramTest, HostPathFromTheWinePrefixUnlessSettingsHoldOne) {
  Spit(root / "dl/Blue.txt", kSkin);
  fs::remove_all(root / "config");
  const fs::path prefix = root / ".wine";
  // In other letter cases than on the disk, as Wine does not mind, with
  // the NUL that ends it; its pages' paths fit as the host sees them, not
  // as "Z:" and the Unix path would.
  const std::string kyrlen = "Kyrlen" + std::string(194, 'k');
  Spit(prefix / "user.reg", R"(WINE REGISTRY Version 2

[Software\\VB and VBA Program Settings\\Kyrlen\\Path] 1700000000
#time=1d9a2b3c4d5e6f7
"Path"="C:\\PROGRAM FILES\\)" + kyrlen +
                                R"(\\KYRLEN.EXE\0"
)");
  fs::create_directories(prefix / "drive_c/Program Files" / kyrlen / "Skin");
  fs::create_directories(prefix / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
  const fs::path skin = prefix / "drive_c/Program Files" / kyrlen / "Skin/Blue";
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).status, 0);
  EXPECT_EQ(Slurp(skin / "Header.htm"), kHeaderPage);
  EXPECT_EQ(FilesIn(prefix / "drive_c").size(), 8u);  // no twin of any folder
  // Twins there, neither the name stored, are named on the one line of the reason.
  fs::create_directories(prefix / "drive_c/a\nb");
  fs::create_directories(prefix / "drive_c/A\nB");
  Spit(prefix / "user.reg", R"(WINE REGISTRY Version 2
[Software\\VB and VBA Program Settings\\Kyrlen\\Path] 1
"Path"="C:\\A\nb\\kyrlen.exe"
)");
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).err,
            Line(std::string(kNoHost) + "\nC:\\A\\x0Ab\\kyrlen.exe\n「A\\x0AB」「a\\x0Ab」: " +
                 "大文字小文字だけが違う名前（Windows では同じ名前）"));

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

TEST_F(ProgramTest, SeveralFilesAndQuotesInNames) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(root / "dl/q\"a.txt", kSkin);
  Spit(root / "other/BLUE.txt", "Header.htm\r\nnot this one\r\n");
  const Outcome outcome =
      Run({(root / "dl/Blue.txt").string(), (root / "dl/Missing.txt").string(),
           (root / "dl/q\"a.txt").string(), (root / "other/BLUE.txt").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            Line("Blue.txt\n" + std::string(kDone) + "\n\nMissing.txt\n" +
                 std::string(kBadSkinText) + "\nNo such file or directory\n\nq\"a.txt\n" +
                 std::string(kUnusableName) + "\nq\"a.txt\n\nBLUE.txt\n" +
                 std::string(kSameSkinTwice) + "\n" + (root / "dl/Blue.txt").string()));
  EXPECT_EQ(FilesIn(host / "skin/Blue").at("Header.htm"), kHeaderPage);
  EXPECT_EQ(FilesIn(host / "skin").size(), 5u);  // Blue and its four files

  // One name with a quote is that file, not one without it, and a name
  // the host under Wine could not open.
  EXPECT_EQ(Run({(root / "dl/q\"a.txt").string()}).err,
            Line(std::string(kUnusableName) + "\nq\"a.txt"));
}

// Started from a file manager (no terminal, a display), the message also
// comes in a dialog, whole and as text whatever the names hold; a terminal
// gets none. A stand-in zenity records the arguments it is given.
TEST_F(ProgramTest, MessageInADialogUnlessOnATerminal) {
  const fs::path record = root / "zenity-arguments";
  Spit(root / "bin/zenity", "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + record.string() + "'\n");
  fs::permissions(root / "bin/zenity", fs::perms::owner_all);
  environment = {"DISPLAY=:0", "PATH=" + (root / "bin").string() + ":/usr/bin:/bin"};
  const std::string odd = "q\"'$(touch shell-ran)`touch shell-ran`&<b>x";
  Spit(root / "dl" / (odd + ".txt"), kSkin);
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(root / "dl/a\nb.txt", kSkin);
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string prompt;
    std::string kind;
  };
  const std::vector<Case> cases = {
      {{(root / "dl/Blue.txt").string()}, 0, std::string(kDone), "--info"},
      // Such a name is no skin name, but it is shown as it is.
      {{(root / "dl/Blue.txt").string(), (root / "dl" / (odd + ".txt")).string()},
       1,
       "Blue.txt\n" + std::string(kDone) + "\n\n" + odd + ".txt\n" + std::string(kUnusableName) +
           "\n" + odd + ".txt",
       "--error"},
      {{(root / "dl/a\nb.txt").string()},
       1,
       std::string(kUnusableName) + "\na\\x0Ab.txt",
       "--error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prompt);
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(c.status == 0 ? outcome.out : outcome.err, Line(c.prompt));
    std::string expected;
    for (const std::string& argument :
         {c.kind, "--title"s, "brellam"s, "--no-markup"s, "--text"s, c.prompt}) {
      expected += argument + '\0';
    }
    EXPECT_EQ(Slurp(record), expected);
    fs::remove(record);
  }
  EXPECT_FALSE(fs::exists(root / "shell-ran"));

  stderr_on_terminal = true;
  EXPECT_EQ(Run(cases[2].arguments).status, 1);
  EXPECT_FALSE(fs::exists(record));
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
  // Named after the folder, not after "." (from the current folder, root).
  const fs::path third = root / "skins/sakura (3).txt";
  EXPECT_EQ(Run({"skins/sakura/."}).out, Line(std::string(kDone) + "\n" + third.string()));
  EXPECT_EQ(Slurp(third), Slurp(packed));
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
  const fs::path half = root / "skins/half";
  const fs::path names = root / "skins/names";
  const fs::path linked = root / "skins/linked";
  const fs::path piped = root / "skins/piped";
  // A folder whose pages' paths are longer than the system takes.
  fs::path deep = root / "skins";
  for (std::size_t size; (size = deep.string().size()) < 4090;) {
    deep /= std::string(std::min<std::size_t>(200, 4089 - size), 'd');
  }
  fs::create_directories(deep);
  const Files before = FilesIn(root);
  for (const auto& [folder, err] :
       {std::pair{half, Line(std::string(kNotSkinFolder) + "\n" + (half / "NewRes.htm").string() +
                             "\nNo such file or directory")},
        std::pair{deep, Line(std::string(kNotSkinFolder) + "\n" + (deep / "Header.htm").string() +
                             "\nFile name too long")},
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

// Nothing is made where the host never looks, nor a host folder anew, nor
// pages the host could not open, as it sees them: "Z:" and the path.
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
  const fs::path deep = root / std::string(250, 'k');
  fs::create_directories(deep);
  SetHostPath((deep / "kyrlen.exe").string());
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).err,
            Line(std::string(kNoFolder) + "\n" + (deep / "skin/Blue").string() + "\n" +
                 PathTooLong(2 + deep.string().size() + 22, 259)));
  SetHostPath(host.string());  // the host's folder itself
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).status, 0);
  EXPECT_FALSE(fs::exists(deep / "skin"));
}

TEST_F(ProgramTest, ReadOnlyFileIsKeptAndReported) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(host / "skin/Blue/Res.htm", "mine");
  fs::permissions(host / "skin/Blue/Res.htm", fs::perms::owner_read);
  const Outcome outcome = Run({(root / "dl/Blue.txt").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err,
            Line(kUnwritten) + (host / "skin/Blue/Res.htm").string() + "\nPermission denied\n");
  EXPECT_EQ(FilesIn(host / "skin/Blue"), (std::map<std::string, std::string>{{"Res.htm", "mine"}}));
}

// A text far larger than the memory it may use, as a hostile folder can
// hold one (a sparse file): read in pieces, it converts all the same.
TEST_F(ProgramTest, ATextLargerThanMemoryConverts) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the sanitizer alone needs more address space than the limit leaves";
#endif
  const fs::path text = root / "dl/Large.txt";
  Spit(text, "");
  fs::resize_file(text, std::uintmax_t{1} << 30);  // line 0: a GiB of NULs
  std::ofstream(text, std::ios::binary | std::ios::app) << "\r\n" << kSkin;
  const Outcome outcome =
      Run({text.string()}, {"/bin/sh", "-c", "ulimit -v 262144 && exec \"$@\"", "sh"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(FilesIn(host / "skin/Large"), (Files{{"Header.htm", kHeaderPage},
                                                 {"NewRes.htm", kNewResPage},
                                                 {"Res.htm", kResPage},
                                                 {"setting.skn", SettingsFor("Large")}}));
}

TEST_F(ProgramTest, BundledExampleConverts) {
  // Dropped through a link: the text it leads to is converted.
  fs::create_symlink(fs::absolute(BRELLAM_EXAMPLES) / "sakura.txt", root / "sakura.txt");
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
