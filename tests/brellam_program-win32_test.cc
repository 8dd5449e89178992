// Runs brellam.exe the way a person does: a command line as Explorer hands it
// over, the message box read back from the screen and answered with OK.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "conversion/messages.h"
#include "platform/platform-win32.h"
#include "test_support.h"
#include "win32/message_box_driver.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kHostKey[] = L"Software\\VB and VBA Program Settings\\Kyrlen\\Path";

// A path the build gave in Unix form names the same file on Wine's drive Z:.
std::wstring WindowsPath(std::string path) {
  if (path.starts_with("/")) path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return Widen(path);
}

std::wstring Prompt(std::string_view first, const std::wstring& rest = {}) {
  return Widen(first) + (rest.empty() ? L"" : L"\r\n" + rest);
}

LocalDate Today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

class WindowsProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(host);
    SetHostPath((host / L"kyrlen.exe").wstring());
  }
  void TearDown() override { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kHostKey, L"Path"); }

  static void SetHostPath(const std::wstring& path) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kHostKey, L"Path", REG_SZ, path.c_str(),
                                static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

  // Runs brellam.exe, expecting exactly one box captioned "brellam" with an
  // OK button only and no icon; answers its prompt.
  std::wstring Run(const std::wstring& arguments, DWORD expected_exit) {
    run_began = Today();
    const DrivenRun run = RunAndAnswer(WindowsPath(BRELLAM_EXE), arguments, root.wstring());
    run_ended = Today();
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.exit_code, expected_exit);
    EXPECT_EQ(run.boxes.size(), 1u);
    if (run.boxes.empty()) return L"(no message box)";
    EXPECT_EQ(run.boxes[0].caption, L"brellam");
    EXPECT_EQ(run.boxes[0].buttons, L"OK");
    EXPECT_FALSE(run.boxes[0].icon);
    return run.boxes[0].prompt;
  }

  std::map<std::wstring, std::string> SkinFiles(const std::wstring& name) const {
    std::map<std::wstring, std::string> files;
    for (const auto& entry : fs::directory_iterator(host / L"skin" / name)) {
      files[entry.path().filename().wstring()] =
          fixture::AsDatedWhenBegun(Slurp(entry.path()), run_began, run_ended);
    }
    return files;
  }

  std::map<std::wstring, std::string> Expected(std::string_view title_932) const {
    return {{L"Header.htm", fixture::kHeaderPage},
            {L"NewRes.htm", fixture::kNewResPage},
            {L"Res.htm", fixture::kResPage},
            {L"setting.skn", fixture::SettingsFor(title_932, run_began)}};
  }

  const TemporaryFolder temporary{"program"};
  const fs::path root = temporary.path();
  const fs::path host = root / L"Kyrlen";
  LocalDate run_began;
  LocalDate run_ended;
};

TEST_F(WindowsProgramTest, ConvertsWithAJapaneseNameAndContent) {
  Spit(root / L"dl" / L"青空.txt", fixture::kSkin);
  EXPECT_EQ(Run((root / L"dl" / L"青空.txt").wstring(), 0), Prompt(kDone));
  EXPECT_EQ(SkinFiles(L"青空"), Expected("\x90\xC2\x8B\xF3"));
}

TEST_F(WindowsProgramTest, NamesThatTheAnsiApiCouldNotTake) {
  struct Case {
    const wchar_t* file;
    const wchar_t* skin;
    std::string title_932;
    bool dropped_short = false;  // in its 8.3 form
  };
  const Case cases[] = {
      {L"ソ表.txt", L"ソ表", "\x83\x5C\x95\x5C"},  // 932 bytes holding 0x5C
      {L"한글.txt", L"한글", "??"},                // outside code page 932
      {L"Blue.txt ", L"Blue", "Blue"},             // beside its empty twin "Blue.txt"
      {L"Blue Sky Long.txt", L"Blue Sky Long", "Blue Sky Long", true},
  };
  Spit(root / L"dl" / L"Blue.txt", "");
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.file));
    // Made through the long form, which keeps a blank at the end.
    const std::wstring file = (root / L"dl" / c.file).wstring();
    Spit(L"\\\\?\\" + file, fixture::kSkin);
    std::wstring dropped(MAX_PATH, L'\0');
    if (c.dropped_short) {
      dropped.resize(::GetShortPathNameW(file.c_str(), dropped.data(), MAX_PATH));
      ASSERT_NE(dropped.find(L'~'), std::wstring::npos) << Narrow(dropped);
    }
    EXPECT_EQ(Run(L"\"" + (c.dropped_short ? dropped : file) + L"\"", 0), Prompt(kDone));
    EXPECT_EQ(SkinFiles(c.skin), Expected(c.title_932));
  }
  // Which the short form of the path could not remove.
  fs::remove(L"\\\\?\\" + (root / L"dl" / L"Blue.txt ").wstring());
}

TEST_F(WindowsProgramTest, SeveralFilesOneWithBlanksOneInUtf8) {
  // The fixture's skin as an editor of today saves it.
  wchar_t wide[1024];
  const int units = ::MultiByteToWideChar(932, 0, fixture::kSkin.data(),
                                          static_cast<int>(fixture::kSkin.size()), wide, 1024);
  Spit(root / L"dl" / L"青空.txt",
       Narrow(std::wstring_view(wide, static_cast<std::size_t>(units))));
  Spit(root / L"My Skins" / L"Blue.txt", fixture::kSkin);
  const std::wstring prompt = Run(L"\"" + (root / L"dl" / L"青空.txt").wstring() + L"\" \"" +
                                      (root / L"My Skins" / L"Blue.txt").wstring() + L"\"",
                                  0);
  EXPECT_EQ(prompt, L"青空.txt\r\n" + Prompt(kDone) + L"\r\n\r\nBlue.txt\r\n" + Prompt(kDone));
  EXPECT_EQ(SkinFiles(L"青空"), Expected("\x90\xC2\x8B\xF3"));
  EXPECT_EQ(SkinFiles(L"Blue"), Expected("Blue"));
}

TEST_F(WindowsProgramTest, QuotedPathWithBlanksAndForwardSlashes) {
  Spit(root / L"My Skins" / L"Blue.txt", fixture::kSkin);
  EXPECT_EQ(Run(L"\"" + (root / L"My Skins" / L"Blue.txt").wstring() + L"\"", 0), Prompt(kDone));
  EXPECT_EQ(SkinFiles(L"Blue"), Expected("Blue"));

  std::wstring slashed = (root / L"My Skins" / L"Blue.txt").wstring();
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  std::wstring host_slashed = (host / L"kyrlen.exe").wstring();
  std::replace(host_slashed.begin(), host_slashed.end(), L'\\', L'/');
  SetHostPath(host_slashed);
  fs::remove_all(host / L"skin");
  EXPECT_EQ(Run(L"\"" + slashed + L"\"", 0), Prompt(kDone));
  EXPECT_EQ(SkinFiles(L"Blue"), Expected("Blue"));
}

// Past MAX_PATH: a deep host folder and a long skin name.
TEST_F(WindowsProgramTest, PathsLongerThanMaxPath) {
  const fs::path deep = host / std::wstring(120, L'a') / std::wstring(100, L'b');
  fs::create_directories(deep);
  SetHostPath((deep / L"kyrlen.exe").wstring());
  const std::wstring name(80, L's');
  Spit(root / L"dl" / (name + L".txt"), fixture::kSkin);
  EXPECT_EQ(Run(L"\"" + (root / L"dl" / (name + L".txt")).wstring() + L"\"", 0), Prompt(kDone));
  EXPECT_GT((deep / L"skin" / name / L"setting.skn").wstring().size(), std::size_t{MAX_PATH});
  EXPECT_EQ(Slurp(deep / L"skin" / name / L"Res.htm"), fixture::kResPage);
}

TEST_F(WindowsProgramTest, BundledExampleMatchesTheExpectedPages) {
  const fs::path examples = WindowsPath(BRELLAM_EXAMPLES);
  EXPECT_EQ(Run(L"\"" + (examples / L"sakura.txt").wstring() + L"\"", 0), Prompt(kDone));
  const auto files = SkinFiles(L"sakura");
  for (const wchar_t* page : {L"Header.htm", L"NewRes.htm", L"Res.htm"}) {
    SCOPED_TRACE(Narrow(page));
    EXPECT_EQ(files.at(page), Slurp(examples / L"sakura-expected" / page));
  }
}

TEST_F(WindowsProgramTest, PacksADroppedSkinFolderBesideIt) {
  const fs::path folder = root / L"作品" / L"青空";
  for (const auto& [name, page] : Expected("")) {
    if (name != L"setting.skn") Spit(folder / name, page);
  }
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kHostKey, L"Path");  // not needed
  const fs::path packed = root / L"作品" / L"青空.txt";
  EXPECT_EQ(Run(L"\"" + folder.wstring() + L"\"", 0), Prompt(kDone, packed.wstring()));
  EXPECT_TRUE(Slurp(packed).starts_with("<!-- \x90\xC2\x8B\xF3 -->\r\n<!-- Header.htm -->\r\n"));
  EXPECT_FALSE(fs::exists(host / L"skin"));
}

TEST_F(WindowsProgramTest, EarlyEndsTouchNothing) {
  Spit(root / L"dl" / L"CON.txt", fixture::kSkin);
  EXPECT_EQ(Run(L"", 1), Prompt(kNothingDropped));
  EXPECT_EQ(Run(L"\"\"", 1), Prompt(kNothingDropped));
  EXPECT_EQ(Run((root / L"dl" / L"CON.txt").wstring(), 1), Prompt(kUnusableName, L"CON.txt"));
  // Names Windows would change into another skin's ("Blue") or a device's.
  for (const wchar_t* name : {L"Blue..txt", L"Blue .txt", L"CONIN$.txt", L"COM¹.txt"}) {
    EXPECT_EQ(Run(L"\"" + (root / L"dl" / name).wstring() + L"\"", 1), Prompt(kUnusableName, name));
  }
  // A pipe is never opened: its server sees no one connect.
  const std::wstring pipe = L"\\\\.\\pipe\\brellam-" + std::to_wstring(::GetCurrentProcessId());
  const HANDLE server = ::CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                           0, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run(pipe, 1), Prompt(kBadSkinText));
  OVERLAPPED waiting{};
  waiting.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_FALSE(::ConnectNamedPipe(server, &waiting));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));  // not yet connected
  ::CancelIo(server);
  ::CloseHandle(waiting.hEvent);
  ::CloseHandle(server);
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kHostKey, L"Path");
  EXPECT_EQ(Run((root / L"dl" / L"CON.txt").wstring(), 1), Prompt(kNoHost));
  EXPECT_FALSE(fs::exists(host / L"skin"));
}

TEST_F(WindowsProgramTest, UnreadableSkinTexts) {
  const fs::path file = root / L"dl" / L"Held.txt";
  Spit(file, fixture::kSkin);
  Spit(root / L"dl" / L"Empty.txt", "");
  // Another program has it open, as an editor does, sharing all: it is read.
  const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE held = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, all, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run(file.wstring(), 0), Prompt(kDone));
  ::CloseHandle(held);
  EXPECT_EQ(SkinFiles(L"Held"), Expected("Held"));
  fs::remove_all(host / L"skin" / L"Held");
  // Sharing nothing, it cannot be opened.
  held = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Run(file.wstring(), 1).starts_with(Prompt(kBadSkinText)));
  ::CloseHandle(held);
  EXPECT_EQ(Run((root / L"dl" / L"Empty.txt").wstring(), 1), Prompt(kBadSkinText));
  EXPECT_EQ(Run((root / L"dl" / L"Missing.txt").wstring(), 1), Prompt(kBadSkinText));
  EXPECT_TRUE(fs::is_empty(host / L"skin" / L"Held"));
}

TEST_F(WindowsProgramTest, FailuresAreReportedNotCrashed) {
  Spit(root / L"dl" / L"Blue.txt", fixture::kSkin);
  Spit(host / L"skin" / L"Blue" / L"Res.htm", "mine");
  ::SetFileAttributesW((host / L"skin" / L"Blue" / L"Res.htm").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Run((root / L"dl" / L"Blue.txt").wstring(), 1),
            Prompt(kUnwritten, (host / L"skin" / L"Blue" / L"Res.htm").wstring()));
  auto expected = Expected("Blue");
  expected[L"Res.htm"] = "mine";
  EXPECT_EQ(SkinFiles(L"Blue"), expected);

  // A drive that does not exist.
  SetHostPath(L"Q:\\Host\\host.exe");
  const std::wstring prompt = Run((root / L"dl" / L"Blue.txt").wstring(), 1);
  EXPECT_TRUE(prompt.starts_with(Prompt(kNoFolder, L"Q:\\\r\n"))) << Narrow(prompt);
  EXPECT_GT(prompt.size(), Prompt(kNoFolder, L"Q:\\\r\n").size());
}

}  // namespace
}  // namespace brellam
