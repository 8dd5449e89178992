#include "platform/platform-win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "code_page_932_cases.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;

TEST(Win32ArgumentsTest, WhatFollowsTheProgramPath) {
  struct Case {
    const wchar_t* command_line;
    const wchar_t* arguments;
  };
  const Case cases[] = {
      {L"\"C:\\My Tools\\brellam.exe\" \"D:\\My Skins\\Blue.txt\"", L"\"D:\\My Skins\\Blue.txt\""},
      {L"brellam.exe D:\\Blue.txt", L"D:\\Blue.txt"},
      {L"brellam.exe  \t D:\\a.txt D:\\b.txt", L"D:\\a.txt D:\\b.txt"},
      {L"\"brellam.exe\"", L""},
      {L"brellam.exe", L""},
      {L"\"C:\\a b\\brellam.exe\"x y", L"y"},
      {L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.command_line));
    EXPECT_EQ(ArgumentsOf(c.command_line), c.arguments);
  }
}

TEST(Win32TextTest, Utf8AndUtf16AndTheAnsiCodePage) {
  const std::string mixed = "Blue 青空 한글 \xF0\x9F\x98\x80";
  EXPECT_EQ(Narrow(Widen(mixed)), mixed);
  const Win32Platform platform;
  ASSERT_EQ(::GetACP(), 932u) << "the tests expect a Japanese system";
  EXPECT_TRUE(platform.AnsiCodePage().IsLead('\x83'));
  EXPECT_TRUE(platform.AnsiCodePage().IsTrail('\x5C'));
  EXPECT_EQ(platform.DateSeparator(), "/");
  ExpectEncodesAsCodePage932(platform);
  ExpectNoLookAlikes(platform, [](const std::string& ansi) {
    wchar_t wide[4];
    const int units =
        ::MultiByteToWideChar(932, 0, ansi.data(), static_cast<int>(ansi.size()), wide, 4);
    return Narrow(std::wstring_view(wide, static_cast<std::size_t>(units > 0 ? units : 0)));
  });
}

TEST(Win32SettingsTest, ReadsTheStoredStringExpandedOrNothing) {
  const wchar_t* key = L"Software\\VB and VBA Program Settings\\BrellamTest\\Path";
  const std::wstring plain = L"C:\\ホスト\\host.exe";
  const std::wstring expand = L"%SystemRoot%\\host.exe";
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Path", REG_SZ, plain.c_str(),
                              static_cast<DWORD>((plain.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Expand", REG_EXPAND_SZ, expand.c_str(),
                              static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  const Win32Platform platform;
  EXPECT_EQ(platform.ReadSetting("BrellamTest", "Path", "Path"), Narrow(plain));
  const std::string expanded = platform.ReadSetting("BrellamTest", "Path", "Expand");
  EXPECT_TRUE(expanded.ends_with("\\host.exe")) << expanded;
  EXPECT_EQ(expanded.find('%'), std::string::npos) << expanded;
  EXPECT_EQ(platform.ReadSetting("BrellamTest", "Path", "Missing"), "");
  EXPECT_EQ(platform.ReadSetting("BrellamTest", "Other", "Path"), "");
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\BrellamTest");
}

class Win32FilesTest : public testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          (L"brellam-win32-" + std::to_wstring(::GetCurrentProcessId()) + L"-한글");
    fs::create_directories(dir);
  }
  void TearDown() override {
    for (const auto& entry : fs::directory_iterator(dir)) {
      ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(dir);
  }
  std::string Path(const wchar_t* name) const { return Narrow((dir / name).wstring()); }
  std::string Get(const wchar_t* name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Writes a new file and says whether it worked.
  bool Put(const wchar_t* name, std::string_view bytes) {
    return platform.WriteNewFile(Path(name), bytes, &reason) == Status::kOk;
  }

  fs::path dir;
  Win32Platform platform;
  std::string reason;
};

TEST_F(Win32FilesTest, NamesOutsideTheCodePageAreReadAndWritten) {
  // The folder name itself is Korean: the ANSI API could not even open it.
  EXPECT_TRUE(Put(L"ソ표.txt", "\x83\x5C\r\n"));
  std::string bytes;
  EXPECT_EQ(platform.ReadFileBytes(Path(L"ソ표.txt"), bytes), 4);
  EXPECT_EQ(bytes, "\x83\x5C\r\n");
  EXPECT_EQ(platform.ReadFileBytes(Path(L"missing.txt"), bytes), -1);
  EXPECT_TRUE(Put(L"empty.txt", ""));
  EXPECT_EQ(platform.ReadFileBytes(Path(L"empty.txt"), bytes), 0);
  EXPECT_EQ(bytes, "\x83\x5C\r\n");
  // A device is no file, whatever folder it is named in.
  EXPECT_EQ(platform.ReadFileBytes(Path(L"CON"), bytes), -1);
  // Nothing is taken over: not a file of that name, nor a folder.
  EXPECT_EQ(platform.WriteNewFile(Path(L"empty.txt"), "x", &reason), Status::kTaken);
  EXPECT_EQ(platform.WriteNewFile(Narrow(dir.wstring()), "x", &reason), Status::kTaken);
  EXPECT_EQ(platform.ReadFileBytes(Path(L"empty.txt"), bytes), 0);
}

TEST_F(Win32FilesTest, AFileHeldOpenElsewhereCannotBeRead) {
  ASSERT_TRUE(Put(L"held.txt", "x"));
  const HANDLE held = ::CreateFileW((dir / L"held.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string bytes;
  EXPECT_EQ(platform.ReadFileBytes(Path(L"held.txt"), bytes), -1);
  ::CloseHandle(held);
  EXPECT_EQ(platform.ReadFileBytes(Path(L"held.txt"), bytes), 1);
}

TEST_F(Win32FilesTest, ReplacingKeepsReadOnlyFiles) {
  ASSERT_TRUE(Put(L"old.htm", "old"));
  ASSERT_TRUE(Put(L"new.tmp", "new"));
  EXPECT_EQ(platform.RenameReplacing(Path(L"new.tmp"), Path(L"old.htm"), &reason), Status::kOk);
  EXPECT_EQ(Get(L"old.htm"), "new");
  EXPECT_FALSE(fs::exists(dir / L"new.tmp"));

  ::SetFileAttributesW((dir / L"old.htm").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(Put(L"newer.tmp", "newer"));
  EXPECT_EQ(platform.RenameReplacing(Path(L"newer.tmp"), Path(L"old.htm"), &reason),
            Status::kFailed);
  EXPECT_EQ(Get(L"old.htm"), "new");
  EXPECT_EQ(platform.RemoveFile(Path(L"newer.tmp"), &reason), Status::kOk);
  EXPECT_EQ(platform.RemoveFile(Path(L"newer.tmp"), &reason), Status::kMissing);
}

TEST_F(Win32FilesTest, FoldersAndTheirFailures) {
  EXPECT_EQ(platform.KindOf(Narrow(dir.wstring()) + "\\"), FileKind::kFolder);
  EXPECT_EQ(platform.KindOf(Path(L"sub")), FileKind::kMissing);
  EXPECT_EQ(platform.CreateFolder(Path(L"sub") + "\\"), "");
  EXPECT_EQ(platform.KindOf(Path(L"sub")), FileKind::kFolder);
  EXPECT_EQ(platform.CreateFolder(Path(L"sub")), "");
  ASSERT_TRUE(Put(L"file", "x"));
  EXPECT_EQ(platform.KindOf(Path(L"file")), FileKind::kFile);
  EXPECT_NE(platform.CreateFolder(Path(L"file")), "");
  EXPECT_NE(platform.CreateFolder(Path(L"no\\such\\")), "");
}

}  // namespace
}  // namespace brellam
