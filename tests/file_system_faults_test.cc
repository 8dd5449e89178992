// Runs the built program against real file-system faults: a disk that fills
// up, read-only mounts, files where folders must be, and a source file that
// changes while it is read. Whatever goes wrong, the old skin stays whole,
// no temporary file stays, and nothing outside the skin folder changes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "conversion/messages.h"
#include "program_fixture.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const Files kEarlier = {{"Header.htm", "old header\r\n"},
                        {"NewRes.htm", "old new\r\n"},
                        {"Res.htm", "old res\r\n"},
                        {"setting.skn", "#Title=old\r\n"},
                        {"user.css", "kept"}};

const std::string kSkin = "Header.htm\r\nh\r\nNewRes.htm\r\nn\r\nRes.htm\r\nr1\r\nr2\r\n";

// kEarlier with some of its files replaced.
Files Earlier(const Files& changes) {
  Files files = changes;
  files.insert(kEarlier.begin(), kEarlier.end());
  return files;
}

// For the shell; the test folders hold no quote.
std::string Quoted(const fs::path& path) { return '\'' + path.string() + '\''; }

class FileSystemFaultTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    skin = host / "skin/Blue";
    PutEarlierFiles();
    Spit(host / "kyrlen.exe", "the host program");
    Spit(host / "skin/Other/Res.htm", "another skin");
    Spit(root / "dl/Blue.txt", kSkin);
  }

  void PutEarlierFiles() const {
    fs::remove_all(skin);
    for (const auto& [name, bytes] : kEarlier) Spit(skin / name, bytes);
  }

  Outcome Convert(const std::vector<std::string>& wrapper = {}) {
    return Run({(root / "dl/Blue.txt").string()}, wrapper);
  }

  std::string Unwritten(const std::string& name, const std::string& reason) const {
    return Line(std::string(kUnwritten) + '\n' + (skin / name).string() + '\n' + reason);
  }

  // Everything below the root but the skin folder and the dropped file,
  // which some tests change themselves.
  Files Beyond() const {
    Files files = FilesIn(root);
    std::erase_if(files, [&](const auto& entry) {
      const std::string path = (root / entry.first).string();
      return path == skin || path.starts_with(skin.string() + "/") || entry.first == "dl/Blue.txt";
    });
    return files;
  }

  // A run that converted the skin into `pages`, or, when there are none,
  // one that found no skin text, said why and left the skin folder as it was.
  void ExpectConverted(const Outcome& outcome, const Files* pages) const {
    if (pages == nullptr) {
      EXPECT_EQ(outcome.status, 1);
      const std::string prompt = Line(kBadSkinText);
      EXPECT_TRUE(outcome.err.starts_with(prompt) && outcome.err.size() > prompt.size() + 1)
          << outcome.err;
      EXPECT_EQ(FilesIn(skin), kEarlier);
      return;
    }
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, Line(kDone));
    Files expected = *pages;
    expected["setting.skn"] = SettingsFor("Blue");
    EXPECT_EQ(FilesIn(skin), expected);
  }

  void ExpectNoTemporaryFiles() const {
    for (const auto& [name, bytes] : FilesIn(root)) {
      EXPECT_EQ(name.find(".brellam-"), std::string::npos) << name;
    }
  }

  // The command that gives a shell a mount namespace of its own, running
  // `script` with brellam and its arguments as "$@": the first way the
  // kernel allows here, tried by mounting a tmpfs. None when it refuses.
  std::optional<std::vector<std::string>> PrivateMounts(const std::string& script) {
    const fs::path probe = root / "probe";
    fs::create_directories(probe);
    for (const std::vector<std::string>& unshare :
         {std::vector<std::string>{"/usr/bin/unshare", "--mount", "--map-root-user"},
          std::vector<std::string>{"/usr/bin/unshare", "--mount"}}) {
      auto shell = [&](const std::string& text) {
        std::vector<std::string> command = unshare;
        command.insert(command.end(), {"/bin/sh", "-c", text, "sh"});
        return command;
      };
      const Outcome outcome = Run({}, shell("mount -t tmpfs -o size=4k tmpfs " + Quoted(probe)));
      if (outcome.status == 0) {
        fs::remove(probe);
        return shell(script);
      }
      refusal += unshare.back() + " gave exit status " + std::to_string(outcome.status) + ": " +
                 outcome.err + "; ";
    }
    fs::remove(probe);
    return std::nullopt;
  }

  fs::path skin;
  std::string refusal;  // why there is no private mount namespace here
};

TEST_F(FileSystemFaultTest, DiskFillsUpWhileThePagesAreWritten) {
  // A 64 KiB disk with the host folder on it. Its files take 7 of its 16
  // pages: the first 48 KiB page cannot be written, and the whole old skin
  // stays.
  std::string big;
  for (int line = 0; line < 1536; ++line) big += "0123456789abcdef0123456789abcd\r\n";
  Spit(root / "dl/Blue.txt", "Header.htm\r\n" + big + "NewRes.htm\r\nn\r\nRes.htm\r\n" + big);
  const fs::path disk = root / "disk";
  fs::create_directories(disk);
  SetHostPath((disk / "Kyrlen/kyrlen.exe").string());
  const Files beyond = Beyond();
  // The disk is gone with the namespace: what brellam left on it is copied
  // back over the host folder for the checks.
  const auto command = PrivateMounts(
      "mount -t tmpfs -o size=64k tmpfs " + Quoted(disk) + " && cp -a " + Quoted(host) + " " +
      Quoted(disk) + " || exit 99\n\"$@\"; status=$?\nrm -rf " + Quoted(host) + " && cp -a " +
      Quoted(disk / "Kyrlen") + " " + Quoted(root) + " || exit 99\nexit $status\n");
  if (!command) GTEST_SKIP() << "no private mount namespace for a tmpfs: " << refusal;

  const Outcome outcome = Convert(*command);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  const fs::path pages = disk / "Kyrlen/skin/Blue";
  EXPECT_EQ(outcome.err, Line(std::string(kUnwritten) + "\n" + (pages / "Header.htm").string() +
                              "\nNo space left on device"));
  EXPECT_EQ(FilesIn(skin), kEarlier);
  EXPECT_EQ(Beyond(), beyond);
  ExpectNoTemporaryFiles();
}

TEST_F(FileSystemFaultTest, ReadOnlyFileSystem) {
  struct Case {
    const char* name;
    fs::path mounted;  // bound onto itself, read-only
    fs::path dropped;
    std::string err;
  };
  Spit(root / "dl/Green.txt", kSkin);
  const Case cases[] = {
      {"ExistingSkinFolder", skin, root / "dl/Blue.txt",
       Unwritten(".brellam.lock", "Read-only file system")},
      {"SkinFolderToBeMade", host, root / "dl/Green.txt",
       Line(std::string(kNoFolder) + "\n" + (host / "skin/Green/").string() +
            "\nRead-only file system")},
      {"PackedTextBesideItsFolder", host / "skin", skin,
       Line(std::string(kUnwritten) + "\n" + skin.string() + ".txt\nRead-only file system")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Files before = FilesIn(root);
    const auto command =
        PrivateMounts("mount --bind " + Quoted(c.mounted) + " " + Quoted(c.mounted) +
                      " && mount -o remount,bind,ro " + Quoted(c.mounted) + " && exec \"$@\"");
    if (!command) GTEST_SKIP() << "no private mount namespace for a bind mount: " << refusal;
    const Outcome outcome = Run({c.dropped.string()}, *command);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_EQ(FilesIn(root), before);
  }
}

// Below the host folder: the skin folder, then the folder of all skins; and
// a skin folder that is a link, which is written through to no other skin.
TEST_F(FileSystemFaultTest, FileOrLinkWhereAFolderMustBeMade) {
  for (const char* path : {"link", "skin/Blue", "skin"}) {
    SCOPED_TRACE(path);
    const bool link = path == std::string("link");
    fs::remove_all(host / (link ? "skin/Blue" : path));
    link ? fs::create_directory_symlink("Other", skin) : Spit(host / path, "a file");
    const Files before = FilesIn(root);
    const Outcome outcome = Convert();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, Line(std::string(kNoFolder) + "\n" +
                                (link ? skin.string() + "\n" + std::string(kIsLink)
                                      : (host / path).string() + "/\nFile exists")));
    EXPECT_EQ(FilesIn(root), before);
    EXPECT_FALSE(fs::exists(host / "skin/Other/.brellam.lock"));
  }
}

TEST_F(FileSystemFaultTest, FolderWhereAPageMustBeWritten) {
  fs::remove(skin / "Res.htm");
  Spit(skin / "Res.htm/inside", "the user's");
  const Files beyond = Beyond();
  const Outcome outcome = Convert();
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, Unwritten("Res.htm", "Is a directory"));
  Files earlier = kEarlier;
  earlier["Res.htm"] = kFolderEntry;
  earlier["Res.htm/inside"] = "the user's";
  EXPECT_EQ(FilesIn(skin), earlier);
  EXPECT_EQ(Beyond(), beyond);
  ExpectNoTemporaryFiles();
}

// Holds back the `at`th read of a file until `change` has been done to it:
// the first lands between the reader's look at the file and its first read.
class BeforeRead {
 public:
  BeforeRead(const fs::path& file, int at, std::function<void()> change)
      : change_(std::move(change)), at_(at) {
    group_ = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY);
    if (group_ < 0 ||
        ::fanotify_mark(group_, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD, file.c_str()) != 0) {
      refusal_ = std::string("fanotify: ") + std::strerror(errno);
    } else if (::pipe(stop_) == 0) {
      server_ = std::thread([this] { Serve(); });
    }
  }
  BeforeRead(const BeforeRead&) = delete;
  BeforeRead& operator=(const BeforeRead&) = delete;
  ~BeforeRead() {
    if (server_.joinable()) {
      ::close(stop_[1]);
      server_.join();
      ::close(stop_[0]);
    }
    if (group_ >= 0) ::close(group_);
  }

  // Why the kernel holds no reads back here; empty when it does.
  const std::string& refusal() const { return refusal_; }

 private:
  void Serve() {
    pollfd waits[2] = {{group_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
    while (::poll(waits, 2, -1) >= 0 || errno == EINTR) {
      if (waits[1].revents != 0) return;
      alignas(fanotify_event_metadata) char buffer[4096];
      ssize_t size = ::read(group_, buffer, sizeof buffer);
      auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
      for (; FAN_EVENT_OK(event, size); event = FAN_EVENT_NEXT(event, size)) {
        if (--at_ == 0) change_();
        const fanotify_response allow = {event->fd, FAN_ALLOW};
        if (::write(group_, &allow, sizeof allow) < 0) return;
        ::close(event->fd);
      }
    }
  }

  std::function<void()> change_;
  int at_;
  int group_ = -1;
  int stop_[2] = {-1, -1};
  std::thread server_;
  std::string refusal_;
};

// The pages of kSkin (setting.skn aside).
const Files kPagesOfAll =
    Earlier({{"Header.htm", "h\r\n"}, {"NewRes.htm", "n\r\n"}, {"Res.htm", "r1\r\nr2\r\n\r\n"}});

TEST_F(FileSystemFaultTest, SourceChangesWhileItIsRead) {
  const fs::path source = root / "dl/Blue.txt";
  struct Case {
    const char* name;
    int at_read;  // the first look reads it whole, then finds its end
    std::function<void()> change;
    const Files* pages;  // none when it is refused
  };
  const Case cases[] = {
      {"Shrinks", 1, [&] { fs::resize_file(source, kSkin.size() - 3); }, nullptr},
      {"Empties", 1, [&] { fs::resize_file(source, 0); }, nullptr},
      {"GrowsBetweenTheLooks", 3, [&] { fs::resize_file(source, kSkin.size() + 1); }, nullptr},
      // Its bytes stay readable until the reader closes it.
      {"Disappears", 1, [&] { fs::remove(source); }, &kPagesOfAll},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PutEarlierFiles();
    Spit(source, kSkin);
    const Files beyond = Beyond();
    Outcome outcome;
    {
      const BeforeRead hook(source, c.at_read, c.change);
      if (!hook.refusal().empty()) GTEST_SKIP() << "reads cannot be held back: " << hook.refusal();
      outcome = Convert();
    }
    ExpectConverted(outcome, c.pages);
    EXPECT_EQ(Beyond(), beyond);
  }
}

// Refused at once, before a folder is made: a pipe whose writer never
// closes would block the run for ever, a device may never end.
TEST_F(FileSystemFaultTest, PipesAndDevicesAreNoSkinTexts) {
  const fs::path source = root / "dl/Blue.txt";
  fs::remove(source);
  ASSERT_EQ(::mkfifo(source.c_str(), 0600), 0);
  const int writer = ::open(source.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, kSkin.data(), kSkin.size()), static_cast<ssize_t>(kSkin.size()));
  const Files beyond = Beyond();
  const std::vector<std::string> timeout = {"/usr/bin/timeout", "10"};
  ExpectConverted(Convert(timeout), nullptr);
  ::close(writer);

  const Outcome outcome = Run({"/dev/zero"}, timeout);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            Line(std::string(kBadSkinText) + "\n" + std::string(kNeitherFileNorFolder)));
  EXPECT_EQ(Beyond(), beyond);

  // A regular file, by what it says, that waits for data until there is
  // some; only the system's own root mounts it.
  const Outcome waiting =
      Run({"/sys/kernel/tracing/trace_pipe"},
          {"/usr/bin/unshare", "--mount", "/bin/sh", "-c",
           "mount -t tracefs nodev /sys/kernel/tracing || exit 99\nexec /usr/bin/timeout 10 \"$@\"",
           "sh"});
  if (waiting.status == 99 || waiting.err.starts_with("unshare")) {
    GTEST_SKIP() << "no tracefs to mount here: " << waiting.err;
  }
  EXPECT_EQ(waiting.status, 1);
  EXPECT_TRUE(waiting.err.starts_with(Line(kBadSkinText))) << waiting.err;
}

// Killed before each rename, link and removal it makes, a run leaves each
// page old or new; the next run makes the set whole and leaves the pages,
// the settings, the user's file and the lock file, and nothing else.
TEST_F(FileSystemFaultTest, KilledAtAnyStepTheNextRunMendsIt) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "no recorder: the sanitizer's runtime must be loaded before any other";
#endif
  int step = 1;
  for (;; ++step) {
    SCOPED_TRACE(step);
    PutEarlierFiles();
    environment = {"LD_PRELOAD=" BRELLAM_SYNC_RECORDER, "BRELLAM_KILL_AT=" + std::to_string(step)};
    const Outcome killed = Convert();
    environment.clear();
    if (killed.status != -1) break;  // it ran to its end before that step
    Files fresh = kPagesOfAll;
    fresh["setting.skn"] = SettingsFor("Blue");
    for (const auto& [name, bytes] : FilesIn(skin)) {
      if (!fresh.count(name)) continue;  // left for the next run
      EXPECT_TRUE(bytes == kEarlier.at(name) || bytes == fresh.at(name)) << name;
    }
    ExpectConverted(Convert(), &kPagesOfAll);
    EXPECT_TRUE(fs::exists(skin / ".brellam.lock"));
  }
  EXPECT_GT(step, 10);
}

}  // namespace
}  // namespace brellam
