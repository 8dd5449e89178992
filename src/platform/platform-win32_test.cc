#include "platform/platform-win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <utility>

#include "code_page_932_cases.h"
#include "helpers/text_file.h"
#include "test_support.h"

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
  ExpectNoLookAlikes(
      platform,
      [](const std::string& ansi) {
        wchar_t wide[4];
        const int units =
            ::MultiByteToWideChar(932, 0, ansi.data(), static_cast<int>(ansi.size()), wide, 4);
        return Narrow(std::wstring_view(wide, static_cast<std::size_t>(units > 0 ? units : 0)));
      },
      0);
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
  std::string value;
  std::string reason;
  EXPECT_EQ(platform.ReadSetting("BrellamTest", "Path", "Path", &value, &reason), Status::kOk);
  EXPECT_EQ(value, Narrow(plain));
  EXPECT_EQ(platform.ReadSetting("BrellamTest", "Path", "Expand", &value, &reason), Status::kOk);
  EXPECT_TRUE(value.ends_with("\\host.exe")) << value;
  EXPECT_EQ(value.find('%'), std::string::npos) << value;
  EXPECT_EQ(platform.ReadSetting("BrellamTest", "Path", "Missing", &value, &reason),
            Status::kMissing);
  EXPECT_EQ(platform.ReadSetting("BrellamTest", "Other", "Path", &value, &reason),
            Status::kMissing);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\BrellamTest");
}

class Win32FilesTest : public testing::Test {
 protected:
  std::string Path(const wchar_t* name) const { return Narrow((dir / name).wstring()); }

  // What reading answers, and the bytes that it leaves.
  std::pair<Status, std::string> Read(const wchar_t* name) {
    std::string bytes = "before";
    return {platform.ReadFile(Path(name), &bytes, &reason, Links::kFollow), bytes};
  }

  // Writes a new file and says whether it worked.
  bool Put(const wchar_t* name, std::string_view bytes) {
    return WriteNewFile(platform, Path(name), bytes, &reason) == Status::kOk;
  }

  // The folder's own name is Korean: the ANSI API could not even open it.
  const TemporaryFolder temporary{fs::path(L"win32-한글")};
  const fs::path& dir = temporary.path();
  Win32Platform platform;
  std::string reason;
};

TEST_F(Win32FilesTest, NamesOutsideTheCodePageAreReadAndWritten) {
  using Read_ = std::pair<Status, std::string>;
  EXPECT_TRUE(Put(L"ソ표.txt", "\x83\x5C\r\n"));
  EXPECT_TRUE(Put(L"empty.txt", ""));
  EXPECT_EQ(Read(L"ソ표.txt"), Read_(Status::kOk, "\x83\x5C\r\n"));
  EXPECT_EQ(Read(L"empty.txt"), Read_(Status::kOk, ""));
  EXPECT_EQ(Read(L"missing.txt"), Read_(Status::kMissing, "before"));
  // In a folder "CON" is a name like any other; a device is never opened.
  EXPECT_EQ(Read(L"CON"), Read_(Status::kMissing, "before"));
  std::string bytes = "before";
  EXPECT_EQ(platform.ReadFile("\\\\.\\CON", &bytes, &reason, Links::kFollow), Status::kNotFile);
  EXPECT_EQ(platform.ReadFile(Path(L"ソ표.txt"), &bytes, &reason, Links::kRefuse), Status::kOk);
  EXPECT_EQ(platform.ReadFile(Narrow(dir.wstring()), &bytes, &reason, Links::kRefuse),
            Status::kNotFile);
  // Nothing is taken over: not a file of that name, nor a folder.
  EXPECT_EQ(WriteNewFile(platform, Path(L"empty.txt"), "x", &reason), Status::kTaken);
  EXPECT_EQ(WriteNewFile(platform, Narrow(dir.wstring()), "x", &reason), Status::kTaken);
  EXPECT_EQ(Read(L"empty.txt"), Read_(Status::kOk, ""));
}

TEST_F(Win32FilesTest, AFileHeldOpenElsewhereCannotBeRead) {
  ASSERT_TRUE(Put(L"held.txt", "x"));
  const HANDLE held = ::CreateFileW((dir / L"held.txt").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  reason.clear();
  EXPECT_EQ(Read(L"held.txt").first, Status::kFailed);
  EXPECT_NE(reason, "");
  ::CloseHandle(held);
  EXPECT_EQ(Read(L"held.txt").second, "x");
}

TEST_F(Win32FilesTest, ReplacingKeepsReadOnlyFiles) {
  ASSERT_TRUE(Put(L"old.htm", "old"));
  ASSERT_TRUE(Put(L"new.tmp", "new"));
  EXPECT_EQ(platform.RenameReplacing(Path(L"new.tmp"), Path(L"old.htm"), &reason), Status::kOk);
  EXPECT_EQ(Slurp(dir / L"old.htm"), "new");
  EXPECT_FALSE(fs::exists(dir / L"new.tmp"));

  ::SetFileAttributesW((dir / L"old.htm").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(Put(L"newer.tmp", "newer"));
  EXPECT_EQ(platform.RenameReplacing(Path(L"newer.tmp"), Path(L"old.htm"), &reason),
            Status::kFailed);
  EXPECT_EQ(Slurp(dir / L"old.htm"), "new");
  EXPECT_EQ(platform.RemoveFile(Path(L"newer.tmp"), &reason), Status::kOk);
  EXPECT_EQ(platform.RemoveFile(Path(L"newer.tmp"), &reason), Status::kMissing);
}

// Another run cannot open a held lock file until it is let go, and waits
// for it, but not for ever: nor for a program that holds it sharing nothing.
TEST_F(Win32FilesTest, ALockIsWaitedForButNotForEver) {
  Win32Platform quick(std::chrono::milliseconds(300));
  const std::string folder = Narrow(dir.wstring());
  std::unique_ptr<HeldLock> lock;
  const auto take = [&](LockMode mode) {
    lock.reset();
    return quick.LockFile(folder, ".lock", mode, Links::kRefuse, &lock, &reason);
  };
  const auto held = [&](DWORD share) {
    return ::CreateFileW((dir / L".lock").c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  };
  EXPECT_EQ(take(LockMode::kShared), Status::kMissing);  // nothing is made
  ASSERT_EQ(take(LockMode::kExclusive), Status::kOk);
  EXPECT_EQ(held(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE), INVALID_HANDLE_VALUE);
  lock.reset();
  for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    const HANDLE other = held(share);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(take(LockMode::kExclusive), Status::kBusy);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
    EXPECT_EQ(take(LockMode::kShared), share == 0 ? Status::kBusy : Status::kOk);
    ::CloseHandle(other);
  }
  // Removed while held: the next run makes it again.
  ASSERT_EQ(take(LockMode::kExclusive), Status::kOk);
  EXPECT_EQ(lock->RemoveLockFile(&reason), Status::kOk);
  EXPECT_FALSE(fs::exists(dir / L".lock"));
}

// A copy kept aside keeps the old page's date.
TEST_F(Win32FilesTest, ACopyKeepsTheDateItIsGiven) {
  ASSERT_TRUE(Put(L"page.htm", "old"));
  ::Sleep(20);
  std::unique_ptr<FileReader> page;
  ASSERT_EQ(platform.OpenForReading(Path(L"page.htm"), Links::kRefuse, &page, &reason),
            Status::kOk);
  const FileIdentity dated = page->Identity();
  std::unique_ptr<FileWriter> copy;
  ASSERT_EQ(platform.CreateNewFile(Path(L"copy.htm"), nullptr, &copy, &reason), Status::kOk);
  ASSERT_EQ(copy->Write("old", &reason), Status::kOk);
  ASSERT_EQ(copy->Finish(&dated, &reason), Status::kOk);
  std::unique_ptr<FileReader> kept;
  ASSERT_EQ(platform.OpenForReading(Path(L"copy.htm"), Links::kRefuse, &kept, &reason),
            Status::kOk);
  EXPECT_EQ(kept->Identity().modified, dated.modified);
}

TEST_F(Win32FilesTest, FoldersAndTheirFailures) {
  EXPECT_EQ(platform.KindOf(Narrow(dir.wstring()) + "\\"), FileKind::kFolder);
  EXPECT_EQ(platform.KindOf(Path(L"sub")), FileKind::kMissing);
  EXPECT_EQ(platform.CreateFolder(Path(L"sub") + "\\", &reason), Status::kOk);
  EXPECT_EQ(platform.KindOf(Path(L"sub")), FileKind::kFolder);
  EXPECT_EQ(platform.CreateFolder(Path(L"sub"), &reason), Status::kOk);
  ASSERT_TRUE(Put(L"file", "x"));
  EXPECT_EQ(platform.KindOf(Path(L"file")), FileKind::kFile);
  for (const std::string& path : {Path(L"file"), Path(L"no\\such\\")}) {
    reason.clear();
    EXPECT_EQ(platform.CreateFolder(path, &reason), Status::kFailed);
    EXPECT_NE(reason, "");
  }
}

}  // namespace
}  // namespace brellam
