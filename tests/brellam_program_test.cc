// Runs the built program the way a user does, in throwaway folders, and
// checks its message, its exit status and every byte it wrote.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "conversion/messages.h"
#include "skin_fixture.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spit(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = Slurp(entry.path());
  }
  return files;
}

using fixture::kHeaderPage;
using fixture::kNewResPage;
using fixture::kResPage;
using fixture::kSkin;

std::string SettingsFor(const std::string& title_932) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return fixture::SettingsFor(title_932, {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
}

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/brellam-program-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
    host = root / "Kyrlen";
    fs::create_directories(host);
    SetHostPath((host / "kyrlen.exe").string());
  }
  void TearDown() override {
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root);
  }

  void SetHostPath(const std::string& path) {
    Spit(root / "config/Kyrlen/settings.ini", "[Path]\nPath=" + path + "\n");
  }

  Outcome Run(const std::vector<std::string>& arguments) {
    std::vector<std::string> env_strings = {"XDG_CONFIG_HOME=" + (root / "config").string(),
                                            "HOME=" + root.string(), "PATH=/usr/bin:/bin"};
    std::vector<char*> argv = {const_cast<char*>(BRELLAM_EXE)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env_strings) envp.push_back(e.data());
    envp.push_back(nullptr);
    const std::string out = (root / "stdout").string();
    const std::string err = (root / "stderr").string();

    const pid_t child = ::fork();
    if (child == 0) {
      const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (out_fd < 0 || err_fd < 0 || ::dup2(out_fd, 1) < 0 || ::dup2(err_fd, 2) < 0 ||
          ::chdir(root.c_str()) != 0) {
        ::_exit(127);
      }
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    Outcome outcome;
    int wait_status = 0;
    if (child > 0 && ::waitpid(child, &wait_status, 0) == child && WIFEXITED(wait_status)) {
      outcome.status = WEXITSTATUS(wait_status);
    }
    outcome.out = Slurp(out);
    outcome.err = Slurp(err);
    fs::remove(out);
    fs::remove(err);
    return outcome;
  }

  static std::string Line(std::string_view prompt) {
    return "brellam: " + std::string(prompt) + "\n";
  }

  fs::path root;
  fs::path host;
};

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
  const Outcome outcome = Run({"\"" + (root / "My Skins").string() + "/" + name + ".txt\""});
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
      // Two dropped files make one text that names neither.
      {{(root / "dl/Blue.txt").string(), (root / "dl/Empty.txt").string()}, "Empty"},
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

TEST_F(ProgramTest, RelativeHostPathIsTakenFromTheCurrentFolder) {
  Spit(root / "dl/Blue.txt", kSkin);
  SetHostPath("kyrlen.exe");
  EXPECT_EQ(Run({(root / "dl/Blue.txt").string()}).status, 0);
  EXPECT_EQ(Slurp(root / "skin/Blue/Header.htm"), kHeaderPage);
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

TEST_F(ProgramTest, FolderThatCannotBeMadeIsReported) {
  Spit(root / "dl/Blue.txt", kSkin);
  Spit(root / "plain-file", "not a folder");
  SetHostPath((root / "plain-file/kyrlen.exe").string());
  const Outcome outcome = Run({(root / "dl/Blue.txt").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, Line(kNoFolder) + (root / "plain-file").string() + "/\nNot a directory\n");
  EXPECT_EQ(Slurp(root / "plain-file"), "not a folder");
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
