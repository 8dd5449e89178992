// Runs brellam.exe the way a person does: a command line as Explorer hands it
// over, the message box read back from the screen and answered with OK.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

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

// The day as the program itself reads it.
LocalDate Today() { return Win32Platform().Today(); }

// Runs a Unix shell script on these paths ("$1", ...), through Wine's own doors to the
// host: a link made so is what Wine shows as what it leads to, and a
// Windows link made under Wine is none.
void OnTheHost(const std::string& script, const std::vector<fs::path>& paths, bool wait = true) {
  using UnixName = char*(__cdecl*)(const wchar_t*);
  using UnixSpawn = int(__cdecl*)(char* const*, int);
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  const auto spawn = reinterpret_cast<UnixSpawn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
  ASSERT_TRUE(unix_name != nullptr && spawn != nullptr);
  std::vector<std::string> words = {"sh", "-c", script, "sh"};
  for (const fs::path& path : paths) words.push_back(unix_name(path.c_str()));
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ASSERT_EQ(spawn(argv.data(), wait ? 1 : 0), 0);
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
  // OK button only and no icon, within the screen; answers its prompt.
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
    EXPECT_LE(run.boxes[0].width, ::GetSystemMetrics(SM_CXSCREEN));
    return run.boxes[0].prompt;
  }

  // As the host opens its pages: with the ANSI API.
  static bool HostOpens(const fs::path& page) {
    const HANDLE file = ::CreateFileA(page.string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    return file != INVALID_HANDLE_VALUE && ::CloseHandle(file);
  }

  std::map<std::wstring, std::string> SkinFiles(const std::wstring& name) const {
    std::map<std::wstring, std::string> files;
    for (const auto& entry : fs::directory_iterator(host / L"skin" / name)) {
      // Left on purpose, for the next run to lock.
      if (entry.path().filename() == L".brellam.lock") continue;
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

// As Windows reads the stored path, into the folder where the host opens
// its pages with the ANSI API: "Kyrlen.\k.exe" is in "Kyrlen", a folder is
// the host's, a value ends before the NULs that end it, and a page's path
// may take MAX_PATH bytes with its NUL. The dropped text's may be longer.
TEST_F(WindowsProgramTest, StoredPathsAsTheHostReadsThem) {
  const fs::path dropped = root / std::wstring(150, L'd') / std::wstring(150, L'e') / L"Blue.txt";
  Spit(dropped, fixture::kSkin);
  const fs::path deep = host / std::wstring(259 - host.wstring().size() - 23, L'k');
  fs::create_directories(deep);
  for (const auto& [stored, folder] : {std::pair{host.wstring() + L".\\k.exe", host},
                                       {host.wstring(), host},
                                       {host.wstring() + std::wstring(L"\\k.exe\0\0", 8), host},
                                       {(deep / L"k.exe").wstring(), deep}}) {
    SetHostPath(stored);
    EXPECT_EQ(Run(L"\"" + dropped.wstring() + L"\"", 0), Prompt(kDone));
    EXPECT_TRUE(HostOpens(folder / L"skin" / L"Blue" / L"setting.skn"));
    fs::remove_all(folder / L"skin");
  }
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

  // A page that is a Unix link, which Wine shows as the file it leads to.
  Spit(root / L"secret", "a private key\r\n");
  fs::remove(folder / L"Res.htm");
  OnTheHost("ln -s \"$1\" \"$2\"", {root / L"secret", folder / L"Res.htm"});
  const std::wstring refused = Run(L"\"" + folder.wstring() + L"\"", 1);
  EXPECT_TRUE(refused.starts_with(Prompt(kNotSkinFolder, (folder / L"Res.htm").wstring())))
      << Narrow(refused);
  EXPECT_FALSE(fs::exists(root / L"作品" / L"青空 (2).txt"));

  // A Unix pipe, which Wine shows as a file, is refused unopened: its writer waits on.
  OnTheHost("rm \"$1\"; mkfifo \"$1\"; touch \"$1.waits\"; exec 3>\"$1\"; touch \"$1.opened\"",
            {folder / L"Res.htm"}, false);
  for (int i = 0; i < 100 && !fs::exists(folder / L"Res.htm.waits"); ++i) ::Sleep(50);
  SetHostPath((host / L"kyrlen.exe").wstring());
  EXPECT_EQ(Run((folder / L"Res.htm").wstring(), 1),
            Prompt(kBadSkinText, Widen(kNeitherFileNorFolder)));
  EXPECT_TRUE(Run(L"\"" + folder.wstring() + L"\"", 1)
                  .starts_with(Prompt(kNotSkinFolder, (folder / L"Res.htm").wstring())));
  EXPECT_FALSE(fs::exists(folder / L"Res.htm.opened"));
  OnTheHost("timeout 5 cat \"$1\"; rm \"$1\"", {folder / L"Res.htm"});
}

TEST_F(WindowsProgramTest, EarlyEndsTouchNothing) {
  Spit(root / L"dl" / L"CON.txt", fixture::kSkin);
  EXPECT_EQ(Run(L"", 1), Prompt(kNothingDropped));
  EXPECT_EQ(Run(L"\"\"", 1), Prompt(kNothingDropped));
  EXPECT_EQ(Run((root / L"dl" / L"CON.txt").wstring(), 1), Prompt(kUnusableName, L"CON.txt"));
  // Names Windows would change into another skin's ("Blue") or a device's,
  // and names the host, reading them in code page 932, could not hold: the
  // first such character, shown where it shows alone.
  const std::wstring lacks = L"\r\nコードページ 932 にない文字 ";
  for (const auto& [name, shown] :
       {std::pair{L"Blue..txt", std::wstring(L"Blue..txt")},
        {L"Blue .txt", L"Blue .txt"},
        {L"CONIN$.txt", L"CONIN$.txt"},
        {L"COM¹.txt", L"COM¹.txt" + lacks + L"U+00B9「¹」"},
        {L"Blue😀.txt", L"Blue😀.txt" + lacks + L"U+1F600「😀」"},
        {L"café.txt", L"café.txt" + lacks + L"U+00E9「é」"},
        {L"한글.txt", L"한글.txt" + lacks + L"U+D55C「한」"},
        {L"か\u3099.txt", L"か\u3099.txt" + lacks + L"U+3099"},
        {L"a\u202Etxt.exe.txt", L"a\\u202Etxt.exe.txt" + lacks + L"U+202E"}}) {
    EXPECT_EQ(Run(L"\"" + (root / L"dl" / name).wstring() + L"\"", 1),
              Prompt(kUnusableName, shown));
  }
  // Skins where the host never looks, or a host folder made up anew.
  Spit(root / L"dl" / L"Blue.txt", fixture::kSkin);
  const std::wstring gone = (root / L"gone" / L"kyrlen.exe").wstring();
  for (const auto& [path, reason] : {std::pair{std::wstring(L"host.exe"), kHostNotAbsolute},
                                     std::pair{std::wstring(L"C:kyrlen.exe"), kHostNotAbsolute},
                                     std::pair{gone, kHostFolderMissing}}) {
    SetHostPath(path);
    EXPECT_EQ(Run((root / L"dl" / L"Blue.txt").wstring(), 1),
              Prompt(kNoHost, path + L"\r\n" + Widen(reason)));
    EXPECT_FALSE(fs::exists(root / L"skin"));
    EXPECT_FALSE(fs::exists(root / L"gone"));
  }
  // Or where the host could not open its pages: as stored, as shown, why.
  fs::create_directories(root / L"Zoë");
  const std::wstring zoe = (root / L"Zoë" / L"k.exe").wstring();
  const std::wstring literal = L"\\\\?\\" + host.wstring() + L"\\..\\Kyrlen\\k.exe";
  const std::wstring wide = (root / std::wstring(40000, L'x') / L"k.exe").wstring();
  for (const auto& [path, shown, reason] :
       {std::tuple{literal, literal, NameHostCannotOpen("..")},
        {zoe, zoe, std::string("コードページ 932 にない文字 U+00EB「ë」")},
        {host.wstring() + std::wstring(L"\0\\k.exe", 7), host.wstring() + L"\\x00\\k.exe",
         std::string(kHostHasNul)},
        {wide, wide.substr(0, 49) + L"…" + wide.substr(wide.size() - 49),
         std::string(kHostFolderMissing)}}) {
    SetHostPath(path);
    EXPECT_EQ(Run((root / L"dl" / L"Blue.txt").wstring(), 1),
              Prompt(kNoHost, shown + L"\r\n" + Widen(reason)));
    EXPECT_FALSE(fs::exists(host / L"skin"));
  }
  // A value of another type: the key read is named, and the system's reason.
  const DWORD number = 1;
  ::RegSetKeyValueW(HKEY_CURRENT_USER, kHostKey, L"Path", REG_DWORD, &number, sizeof number);
  const std::wstring typed = Run((root / L"dl" / L"Blue.txt").wstring(), 1);
  EXPECT_TRUE(typed.starts_with(Prompt(kNoHost, L"HKEY_CURRENT_USER\\" + std::wstring(kHostKey))))
      << Narrow(typed);
  SetHostPath((host / L"kyrlen.exe").wstring());
  // A pipe is never opened: its server sees no one connect.
  const std::wstring pipe = L"\\\\.\\pipe\\brellam-" + std::to_wstring(::GetCurrentProcessId());
  const HANDLE server = ::CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                           0, 1, 4096, 4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run(pipe, 1), Prompt(kBadSkinText, Widen(kNeitherFileNorFolder)));
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

// Refused before anything is made, with the reason in the box.
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
  fs::remove_all(host / L"skin");
  // Sharing nothing, it cannot be opened: the system says why.
  const std::wstring refused = Prompt(kBadSkinText) + L"\r\n";
  held = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::wstring held_prompt = Run(file.wstring(), 1);
  EXPECT_TRUE(held_prompt.starts_with(refused) && held_prompt.size() > refused.size())
      << Narrow(held_prompt);
  ::CloseHandle(held);
  EXPECT_EQ(Run((root / L"dl" / L"Empty.txt").wstring(), 1), Prompt(kBadSkinText, L"0 バイト"));
  const std::wstring missing = Run((root / L"dl" / L"Missing.txt").wstring(), 1);
  EXPECT_TRUE(missing.starts_with(refused) && missing.size() > refused.size()) << Narrow(missing);
  EXPECT_FALSE(fs::exists(host / L"skin"));
}

// A skin named as another's short (8.3) name would be written into its folder.
TEST_F(WindowsProgramTest, ASkinNamedAsAnothersShortName) {
  const fs::path text = root / L"dl" / L"Blue Sky Long.txt";
  Spit(text, fixture::kSkin);
  ASSERT_EQ(Run(text.wstring(), 0), Prompt(kDone));
  const fs::path folder = host / L"skin" / L"Blue Sky Long";
  std::wstring alias(MAX_PATH, L'\0');
  alias.resize(::GetShortPathNameW(folder.c_str(), alias.data(), MAX_PATH));
  const fs::path aliased = root / L"dl" / (fs::path(alias).filename().wstring() + L".txt");
  Spit(aliased, "Header.htm\r\nnot this one\r\n");
  EXPECT_EQ(Run(aliased.wstring(), 1),
            Prompt(kUnusableName, folder.wstring() + L"\r\n" + Widen(kShortNameOfAnother)));
  const std::wstring both = Run(L"\"" + text.wstring() + L"\" " + aliased.wstring(), 1);
  EXPECT_TRUE(both.ends_with(Prompt(kSameSkinTwice, text.wstring()))) << Narrow(both);
  EXPECT_EQ(SkinFiles(L"Blue Sky Long"), Expected("Blue Sky Long"));
}

// Windows would put both in one folder: the first keeps it.
TEST_F(WindowsProgramTest, TwoItemsNamingOneSkin) {
  Spit(root / L"a" / L"Blue.txt", fixture::kSkin);
  Spit(root / L"b" / L"blue.TXT", "Header.htm\r\nnot this one\r\n");
  EXPECT_EQ(
      Run((root / L"a" / L"Blue.txt").wstring() + L" " + (root / L"b" / L"blue.TXT").wstring(), 1),
      L"Blue.txt\r\n" + Prompt(kDone) + L"\r\n\r\nblue.TXT\r\n" +
          Prompt(kSameSkinTwice, (root / L"a" / L"Blue.txt").wstring()));
  EXPECT_EQ(SkinFiles(L"Blue"), Expected("Blue"));
  // A short name is the skin of its long name.
  const fs::path sky = root / L"a" / L"Blue Sky.txt";
  Spit(sky, fixture::kSkin);
  Spit(root / L"c" / L"blue sky.txt", fixture::kSkin);
  std::wstring twin(MAX_PATH, L'\0');
  twin.resize(::GetShortPathNameW((root / L"c" / L"blue sky.txt").c_str(), twin.data(), MAX_PATH));
  const std::wstring prompt = Run(L"\"" + sky.wstring() + L"\" " + twin, 1);
  EXPECT_TRUE(prompt.ends_with(Prompt(kSameSkinTwice, sky.wstring()))) << Narrow(prompt);
}

// A page that may not be replaced, read-only or held open without sharing
// (the last one replaced, so that the others are put back): every old page
// stays as it was, and the box names the page and the system's reason.
TEST_F(WindowsProgramTest, FailuresAreReportedNotCrashed) {
  Spit(root / L"dl" / L"Blue.txt", fixture::kSkin);
  const fs::path skin = host / L"skin" / L"Blue";
  const std::map<std::wstring, std::string> old = {{L"Header.htm", "old h"},
                                                   {L"NewRes.htm", "old n"},
                                                   {L"Res.htm", "old r"},
                                                   {L"setting.skn", "old s"}};
  for (const wchar_t* page : {L"Res.htm", L"setting.skn"}) {
    SCOPED_TRACE(Narrow(page));
    for (const auto& [name, bytes] : old) {
      ::SetFileAttributesW((skin / name).c_str(), FILE_ATTRIBUTE_NORMAL);
      Spit(skin / name, bytes);
    }
    const bool hold = page == std::wstring(L"setting.skn");
    const HANDLE held = hold ? ::CreateFileW((skin / page).c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
    ASSERT_TRUE(!hold || held != INVALID_HANDLE_VALUE);
    if (!hold) ::SetFileAttributesW((skin / page).c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring prompt = Run((root / L"dl" / L"Blue.txt").wstring(), 1);
    if (hold) ::CloseHandle(held);
    const std::wstring named = Prompt(kUnwritten, (skin / page).wstring()) + L"\r\n";
    EXPECT_TRUE(prompt.starts_with(named)) << Narrow(prompt);
    EXPECT_GT(prompt.size(), named.size()) << "no reason";
    EXPECT_EQ(prompt.find(L"\r\n", named.size()), std::wstring::npos) << Narrow(prompt);
    EXPECT_EQ(SkinFiles(L"Blue"), old);
  }

  // A drive that does not exist.
  SetHostPath(L"Q:\\Host\\host.exe");
  EXPECT_EQ(Run((root / L"dl" / L"Blue.txt").wstring(), 1),
            Prompt(kNoHost, L"Q:\\Host\\host.exe\r\n" + Widen(kHostFolderMissing)));

  // A file where the folder of all skins must be.
  SetHostPath((host / L"kyrlen.exe").wstring());
  ::SetFileAttributesW((host / L"skin" / L"Blue" / L"Res.htm").c_str(), FILE_ATTRIBUTE_NORMAL);
  fs::remove_all(host / L"skin");
  Spit(host / L"skin", "a file");
  const std::wstring prompt = Run((root / L"dl" / L"Blue.txt").wstring(), 1);
  EXPECT_TRUE(prompt.starts_with(Prompt(kNoFolder, (host / L"skin\\").wstring() + L"\r\n")))
      << Narrow(prompt);
}

// A run killed mid-swap left new pages beside old ones, its files and its
// record: the next run makes the set whole, converts, and leaves the four
// files and the lock file. A lock held by a program that shares nothing
// is waited for ten seconds; a skin folder that is a Unix link is not
// written through.
TEST_F(WindowsProgramTest, AStoppedRunIsMendedAndNothingIsForced) {
  Spit(root / L"dl" / L"Blue.txt", fixture::kSkin);
  const fs::path skin = host / L"skin" / L"Blue";
  std::string record = "brellam record 1\n";
  for (const char* page : {"Header.htm", "NewRes.htm", "Res.htm", "setting.skn"}) {
    const std::string name = page;
    const bool swapped = name == "Header.htm" || name == "NewRes.htm";
    Spit(skin / Widen(name), (swapped ? "new " : "old ") + name);
    Spit(skin / Widen(name + ".brellam-0000000000000002.old"), "old " + name);
    if (!swapped) Spit(skin / Widen(name + ".brellam-0000000000000001.tmp"), "new " + name);
    record += name + "\t" + name + ".brellam-0000000000000001.tmp\t" + name +
              ".brellam-0000000000000002.old\n";
  }
  Spit(skin / L".brellam.record", record + "end\n");
  EXPECT_EQ(Run((root / L"dl" / L"Blue.txt").wstring(), 0), Prompt(kDone));
  EXPECT_EQ(SkinFiles(L"Blue"), Expected("Blue"));
  EXPECT_EQ(std::distance(fs::directory_iterator(skin), fs::directory_iterator()), 5);

  const HANDLE held = ::CreateFileW((skin / L".brellam.lock").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Spit(root / L"dl" / L"Blue.txt", "Header.htm\r\nnot now\r\n");
  EXPECT_EQ(Run((root / L"dl" / L"Blue.txt").wstring(), 1),
            Prompt(kUnwritten, (skin / L".brellam.lock").wstring() + L"\r\n" + Widen(kInUse)));
  ::CloseHandle(held);
  EXPECT_EQ(SkinFiles(L"Blue"), Expected("Blue"));

  fs::remove_all(skin);
  Spit(host / L"skin" / L"Red" / L"Header.htm", "Red's");
  OnTheHost("ln -s \"$1\" \"$2\"", {host / L"skin" / L"Red", skin});
  EXPECT_EQ(Run((root / L"dl" / L"Blue.txt").wstring(), 1),
            Prompt(kNoFolder, skin.wstring() + L"\r\n" + Widen(kIsLink)));
  EXPECT_EQ(SkinFiles(L"Red"), (std::map<std::wstring, std::string>{{L"Header.htm", "Red's"}}));
  EXPECT_FALSE(fs::exists(host / L"skin" / L"Red" / L".brellam.lock"));
  OnTheHost("rm \"$1\"", {skin});
}

}  // namespace
}  // namespace brellam
