#include "platform/platform-win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "platform/whole_file.h"
#include "text/path_grammar.h"
#include "text/shown_text.h"
#include "text/utf8.h"

namespace brellam {

namespace {

constexpr wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings\\";

// Closes the handle when the call that opened it returns.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (valid()) ::CloseHandle(handle_);
    handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    return *this;
  }
  ~FileHandle() {
    if (valid()) ::CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes now, for callers that must know whether the data reached the disk.
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

// The most units the system converts in one call; longer texts go in pieces.
constexpr std::size_t kMostUnits = static_cast<std::size_t>(std::numeric_limits<int>::max());

std::string SystemReason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const DWORD length =
      ::FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring reason = length > 0 ? std::wstring(text, length) : std::wstring();
  ::LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n')) reason.pop_back();
  if (!reason.empty()) return Narrow(reason);
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(error));
  return code;
}

// Whether `name` (in the long form) is a Unix pipe or device that Wine
// shows through a drive: an entry of its folder whose attributes cannot
// be read. Such a file is refused unopened: opening a pipe would take its
// data from the program that writes it.
bool IsUnixSpecialFile(const std::wstring& name) {
  if (::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES ||
      ::GetLastError() != ERROR_INVALID_PARAMETER) {
    return false;
  }
  WIN32_FIND_DATAW found{};
  const HANDLE search =
      ::FindFirstFileExW(name.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return true;
}

// The path as the wide file API takes it: always in the long form, so that
// it reaches past MAX_PATH and opens the very name given. Only a relative
// path makes it ask the system, for the current folder; empty for what is
// no file or folder on a disk.
std::wstring FilePath(const std::string& path) {
  const std::string full = LongPathForm(path);
  if (!full.empty() || (path.size() >= 2 && IsSeparator(path[0], PathStyle::kWindows) &&
                        IsSeparator(path[1], PathStyle::kWindows))) {
    return Widen(full);
  }
  std::wstring current(MAX_PATH, L'\0');
  for (;;) {
    // A drive-relative path is taken from that drive's current folder.
    const DWORD got =
        StartsWithDrive(path)
            ? ::GetFullPathNameW(Widen(path.substr(0, 2)).c_str(),
                                 static_cast<DWORD>(current.size()), current.data(), nullptr)
            : ::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
    if (got == 0) return {};
    if (got < current.size()) {
      current.resize(got);
      return Widen(LongPathForm(path, Narrow(current)));
    }
    current.resize(got);
  }
}

// The path the system reached through `handle`, links resolved; empty
// when it cannot say.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got =
        ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (got == 0) return {};
    const bool whole = got < path.size();
    path.resize(got);
    if (whole) return path;
  }
}

// Whether the opened file or folder is what `path` names, reached through
// no link at its last `depth` names: not something elsewhere that a link
// there leads to. Wine shows a Unix link as what it points to, with no
// reparse point to tell it by; the path the handle reached says where
// that is.
bool IsOwnEntry(HANDLE file, const std::string& path, int depth = 1) {
  const auto is_slash = [](char c) { return c == '\\' || c == '/'; };
  std::size_t end = path.size();
  while (end > 0 && is_slash(path[end - 1])) --end;
  std::size_t cut = end;
  std::wstring rest;
  for (int level = 0; level < depth; ++level) {
    const std::size_t slash = path.find_last_of("\\/", cut == 0 ? 0 : cut - 1);
    if (slash == std::string::npos || slash == 0) return true;
    rest = Widen(path.substr(slash + 1, cut - slash - 1)) + (rest.empty() ? L"" : L"\\" + rest);
    cut = slash;
    while (cut > 0 && is_slash(path[cut - 1])) --cut;
  }
  const FileHandle folder(
      ::CreateFileW(FilePath(path.substr(0, cut + 1)).c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::wstring reached = FinalPath(file);
  std::wstring own = folder.valid() ? FinalPath(folder.get()) : std::wstring();
  if (reached.empty() || own.empty()) return true;
  if (own.back() != L'\\') own += L'\\';
  own += rest;
  // The system's own paths, far below the most a call takes.
  if (reached.size() > kMostUnits || own.size() > kMostUnits) return false;
  return ::CompareStringOrdinal(reached.c_str(), static_cast<int>(reached.size()), own.c_str(),
                                static_cast<int>(own.size()), TRUE) == CSTR_EQUAL;
}

// Appends `utf8` in the code page when every character is in it as itself;
// a piece too long for one call is refused, and taken in smaller ones.
bool AppendInCodePage(int code_page, std::string_view utf8, std::string& ansi) {
  if (utf8.empty()) return true;
  if (utf8.size() > kMostUnits / 2) return false;
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(utf8.size(), L'\0');
  const int units =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), size);
  if (units == 0) return false;
  if (code_page == CP_UTF8) {
    ansi.append(utf8);
    return true;
  }
  // No code page takes more than two bytes for one UTF-16 unit.
  const std::size_t old_size = ansi.size();
  ansi.resize(old_size + 2 * static_cast<std::size_t>(units));
  BOOL used_default = FALSE;
  const int written =
      ::WideCharToMultiByte(static_cast<UINT>(code_page), WC_NO_BEST_FIT_CHARS, wide.data(), units,
                            ansi.data() + old_size, 2 * units, nullptr, &used_default);
  ansi.resize(old_size + static_cast<std::size_t>(written > 0 ? written : 0));
  if (written > 0 && !used_default) return true;
  ansi.resize(old_size);
  return false;
}

Status Failed(std::string* reason, DWORD error, Status status = Status::kFailed) {
  *reason = SystemReason(error);
  return status;
}

CodePage CodePageOfThisSystem() {
  const UINT ansi = ::GetACP();
  if (ansi == 932) return CodePage932();
  CPINFO info{};
  CodePage code_page;
  code_page.number = static_cast<int>(ansi);
  if (!::GetCPInfo(ansi, &info) || info.MaxCharSize < 2) return code_page;
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) {
      code_page.lead[static_cast<std::size_t>(b)] = true;
    }
  }
  // The double-byte code pages keep their second bytes within 0x40-0xFE.
  for (int b = 0x40; b <= 0xFE; ++b) code_page.trail[static_cast<std::size_t>(b)] = b != 0x7F;
  return code_page;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  std::wstring wide;
  while (!utf8.empty()) {
    // Each piece ends on a whole character; it gives no more units than bytes.
    std::size_t size = std::min(utf8.size(), kMostUnits);
    while (size < utf8.size() && size > 1 &&
           (static_cast<unsigned char>(utf8[size]) & 0xC0) == 0x80) {
      --size;
    }
    const int bytes = static_cast<int>(size);
    const std::size_t at = wide.size();
    wide.resize(at + static_cast<std::size_t>(
                         ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0)));
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, wide.data() + at,
                          static_cast<int>(wide.size() - at));
    utf8.remove_prefix(size);
  }
  return wide;
}

std::string Narrow(std::wstring_view utf16) {
  std::string narrow;
  while (!utf16.empty()) {
    // A unit gives at most three bytes; a pair is never cut.
    std::size_t size = std::min(utf16.size(), kMostUnits / 3);
    if (size < utf16.size() && size > 1 && utf16[size - 1] >= 0xD800 && utf16[size - 1] <= 0xDBFF) {
      --size;
    }
    const int units = static_cast<int>(size);
    const std::size_t at = narrow.size();
    narrow.resize(at + static_cast<std::size_t>(::WideCharToMultiByte(
                           CP_UTF8, 0, utf16.data(), units, nullptr, 0, nullptr, nullptr)));
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), units, narrow.data() + at,
                          static_cast<int>(narrow.size() - at), nullptr, nullptr);
    utf16.remove_prefix(size);
  }
  return narrow;
}

std::wstring ArgumentsOf(std::wstring_view command_line) {
  std::size_t i = 0;
  if (!command_line.empty() && command_line[0] == L'"') {
    const std::size_t close = command_line.find(L'"', 1);
    i = close == std::wstring_view::npos ? command_line.size() : close + 1;
  }
  while (i < command_line.size() && command_line[i] != L' ' && command_line[i] != L'\t') ++i;
  while (i < command_line.size() && (command_line[i] == L' ' || command_line[i] == L'\t')) ++i;
  return std::wstring(command_line.substr(i));
}

Win32Platform::Win32Platform(std::chrono::milliseconds lock_wait)
    : code_page_(CodePageOfThisSystem()), lock_wait_(lock_wait) {}

CommandLine Win32Platform::ReadCommandLine() const {
  std::string text = Narrow(ArgumentsOf(::GetCommandLineW()));
  std::vector<std::string> arguments = SplitCommandLine(text);
  return {std::move(text), std::move(arguments)};
}

void Win32Platform::ShowMessage(const Message& message) {
  std::wstring prompt;
  for (wchar_t c : Widen(CutLongLines(message.prompt))) {
    if (c == L'\n') prompt += L'\r';
    prompt += c;
  }
  ::MessageBoxW(nullptr, prompt.c_str(), Widen(kProgramName).c_str(), MB_OK);
}

Status Win32Platform::ReadSetting(std::string_view application, std::string_view section,
                                  std::string_view key, std::string* value,
                                  std::string* reason) const {
  const std::wstring subkey = kSettingsRoot + Widen(application) + L"\\" + Widen(section);
  setting_source_ = "HKEY_CURRENT_USER\\" + Narrow(subkey);
  const std::wstring name = Widen(key);
  // REG_EXPAND_SZ comes back expanded.
  const DWORD flags = RRF_RT_REG_SZ;
  DWORD size = 0;
  LSTATUS error = ::RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), flags, nullptr,
                                 nullptr, &size);
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (error == ERROR_SUCCESS) {
    error = ::RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), flags, nullptr,
                           text.data(), &size);
  }
  if (error != ERROR_SUCCESS) {
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return Failed(reason, static_cast<DWORD>(error), missing ? Status::kMissing : Status::kFailed);
  }
  // The NULs that end the stored string are no part of it; one inside it
  // is, and refused by the run.
  text.resize(std::min<std::size_t>(text.size(), size / sizeof(wchar_t)));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  if (text.empty()) return Status::kMissing;
  *value = Narrow(text);
  return Status::kOk;
}

std::string Win32Platform::SettingSource() const { return setting_source_; }

Status Win32Platform::SettingPathHere(const std::string& path, std::string* here,
                                      std::string*) const {
  *here = path;
  return Status::kOk;
}

Encoded Win32Platform::EncodeAnsiInto(std::string_view utf8, char* out) const {
  return TakeInPieces(utf8, out, [this](std::string_view piece, std::string& scratch) {
    return AppendInCodePage(code_page_.number, piece, scratch);
  });
}

std::string Win32Platform::DateSeparator() const {
  wchar_t separator[8] = {};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDATE, separator, 8) <= 1) return "/";
  return Narrow(separator);
}

LocalDate Win32Platform::Today() const {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

Status Win32Platform::CurrentFolder(std::string* path, std::string* reason) const {
  // The folder may change size between the two calls: asked until it fits.
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = ::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (got == 0) return Failed(reason, ::GetLastError());
    if (got < folder.size()) {
      folder.resize(got);
      break;
    }
    folder.resize(got);
  }
  *path = Narrow(folder);
  return Status::kOk;
}

FileKind Win32Platform::KindOf(const std::string& path) const {
  if (path.empty()) return FileKind::kMissing;
  const std::wstring name = FilePath(path);
  if (name.empty()) return FileKind::kOther;
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return IsUnixSpecialFile(name) ? FileKind::kOther : FileKind::kMissing;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kFolder : FileKind::kFile;
}

std::string Win32Platform::LongName(const std::string& path) const {
  const std::wstring wide = Widen(path);
  const std::size_t slash = wide.find_last_of(L"\\/");
  const std::size_t start = slash != std::wstring::npos ? slash + 1 : StartsWithDrive(path) ? 2 : 0;
  const std::wstring_view name = std::wstring_view(wide).substr(start);
  if (name.empty() || name == L"." || name == L"..") return path;
  // The entry of that name in its folder, which a short name finds too: as
  // GetLongPathNameW finds it, which Wine does not do for the long form.
  const std::wstring full = FilePath(path);
  WIN32_FIND_DATAW found{};
  const HANDLE search = full.empty() ? INVALID_HANDLE_VALUE
                                     : ::FindFirstFileExW(full.c_str(), FindExInfoBasic, &found,
                                                          FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return path;
  ::FindClose(search);
  const std::wstring_view long_name = found.cFileName;
  if (long_name.empty() || long_name == L"." || long_name == L"..") return path;
  return Narrow(wide.substr(0, start) + std::wstring(long_name));
}

Status Win32Platform::CreateFolder(const std::string& path, std::string* reason) {
  if (::CreateDirectoryW(FilePath(path).c_str(), nullptr)) return Status::kOk;
  const DWORD error = ::GetLastError();
  if (error == ERROR_ALREADY_EXISTS && KindOf(path) == FileKind::kFolder) return Status::kOk;
  return Failed(reason, error);
}

namespace {

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Opens the file to read, sharing all, as copying tools do: an editor or a
// preview may hold it. Only a file on a disk: a device such as CON may
// never end. Refusing links, the name itself is opened (a folder too) and
// looked at.
Status OpenOnDisk(const std::string& path, Links links, FileHandle& file, std::string* reason) {
  const std::wstring name = FilePath(path);
  // No path on a disk, or a Unix pipe or device.
  if (name.empty() || IsUnixSpecialFile(name)) return Answer(Status::kNotFile, reason);
  const DWORD flags = links == Links::kRefuse
                          ? FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS
                          : FILE_ATTRIBUTE_NORMAL;
  file = FileHandle(::CreateFileW(name.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    return Failed(reason, error, IsMissing(error) ? Status::kMissing : Status::kFailed);
  }
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) return Answer(Status::kNotFile, reason);
  if (links == Links::kFollow) return Status::kOk;
  BY_HANDLE_FILE_INFORMATION opened{};
  if (!::GetFileInformationByHandle(file.get(), &opened)) return Failed(reason, ::GetLastError());
  const DWORD attributes = opened.dwFileAttributes;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return Failed(reason, ERROR_CANT_RESOLVE_FILENAME, Status::kNotFile);
  }
  // What opening a folder as a file says.
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return Failed(reason, ERROR_ACCESS_DENIED, Status::kNotFile);
  }
  if (!IsOwnEntry(file.get(), path)) {
    return Failed(reason, ERROR_CANT_RESOLVE_FILENAME, Status::kNotFile);
  }
  return Status::kOk;
}

// -1 on failure, else the count (0 at the end of the file).
std::int64_t ReadFrom(HANDLE file, char* into, std::size_t size) {
  const auto want = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
  DWORD read = 0;
  if (!::ReadFile(file, into, want, &read, nullptr)) return -1;
  return static_cast<std::int64_t>(read);
}

std::int64_t TicksOf(FILETIME time) {
  return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

class Win32Reader : public FileReader {
 public:
  explicit Win32Reader(FileHandle& file) : file_(INVALID_HANDLE_VALUE) { file_ = std::move(file); }

  Status Read(char* into, std::size_t size, std::size_t* got, std::string* reason) override {
    const std::int64_t n = ReadFrom(file_.get(), into, size);
    if (n < 0) return Failed(reason, ::GetLastError());
    *got = static_cast<std::size_t>(n);
    return Status::kOk;
  }
  Status Seek(std::uint64_t offset, std::string* reason) override {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN)) {
      return Failed(reason, ::GetLastError());
    }
    return Status::kOk;
  }
  FileIdentity Identity() const override {
    BY_HANDLE_FILE_INFORMATION info{};
    ::GetFileInformationByHandle(file_.get(), &info);
    return {info.dwVolumeSerialNumber,
            (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
            (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
            TicksOf(info.ftLastWriteTime)};
  }

 private:
  FileHandle file_;
};

}  // namespace

Status Win32Platform::OpenForReading(const std::string& path, Links links,
                                     std::unique_ptr<FileReader>* file, std::string* reason) {
  FileHandle opened(INVALID_HANDLE_VALUE);
  const Status status = OpenOnDisk(path, links, opened, reason);
  if (status == Status::kOk) *file = std::make_unique<Win32Reader>(opened);
  return status;
}

Status Win32Platform::ReadFile(const std::string& path, std::string* bytes, std::string* reason,
                               Links links) {
  FileHandle file(INVALID_HANDLE_VALUE);
  const Status opened = OpenOnDisk(path, links, file, reason);
  if (opened != Status::kOk) return opened;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return Failed(reason, ::GetLastError());
  const auto read_some = [&file](char* into, std::size_t n) {
    return ReadFrom(file.get(), into, n);
  };
  ::SetLastError(ERROR_SUCCESS);
  const std::int64_t count =
      ReadWholeFile(static_cast<std::uint64_t>(size.QuadPart), read_some, *bytes);
  if (count < 0) {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? Failed(reason, error) : Answer(Status::kTooLarge, reason);
  }
  if (count == 0) bytes->clear();
  return Status::kOk;
}

// The file system itself opens a name in another letter case.
Status Win32Platform::NameInFolder(const std::string&, const std::string& name, std::string* found,
                                   std::string*) {
  *found = name;
  return Status::kOk;
}

namespace {

FILETIME FileTimeOf(std::int64_t ticks) {
  const auto bits = static_cast<std::uint64_t>(ticks);
  return {static_cast<DWORD>(bits & 0xFFFFFFFFu), static_cast<DWORD>(bits >> 32)};
}

class Win32Writer : public FileWriter {
 public:
  Win32Writer(HANDLE file, std::wstring name) : file_(file), name_(std::move(name)) {}
  ~Win32Writer() override {
    if (!file_.valid()) return;
    file_.Close();
    ::DeleteFileW(name_.c_str());
  }

  Status Write(std::string_view bytes, std::string* reason) override {
    while (!bytes.empty()) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD done = 0;
      if (!::WriteFile(file_.get(), bytes.data(), want, &done, nullptr) || done == 0) {
        return Failed(reason, ::GetLastError());
      }
      bytes.remove_prefix(done);
    }
    return Status::kOk;
  }
  Status Finish(const FileIdentity* dated_like, std::string* reason) override {
    const FILETIME modified = dated_like != nullptr ? FileTimeOf(dated_like->modified) : FILETIME{};
    if ((dated_like != nullptr && !::SetFileTime(file_.get(), nullptr, nullptr, &modified)) ||
        !::FlushFileBuffers(file_.get())) {
      return Failed(reason, ::GetLastError());
    }
    if (file_.Close()) return Status::kOk;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(name_.c_str());
    return Failed(reason, error);
  }

 private:
  FileHandle file_;
  std::wstring name_;
};

class Win32Lock : public HeldLock {
 public:
  explicit Win32Lock(FileHandle& file) : file_(INVALID_HANDLE_VALUE) { file_ = std::move(file); }
  Status RemoveLockFile(std::string* reason) override {
    FILE_DISPOSITION_INFO remove{TRUE};
    const Status status =
        ::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &remove, sizeof remove)
            ? Status::kOk
            : Failed(reason, ::GetLastError());
    file_.Close();
    return status;
  }

 private:
  FileHandle file_;
};

}  // namespace

Status Win32Platform::CreateNewFile(const std::string& path, const std::string*,
                                    std::unique_ptr<FileWriter>* file, std::string* reason) {
  // A new file takes the folder's permissions, as the one it replaces did.
  const std::wstring name = FilePath(path);
  const HANDLE created = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // A folder of that name refuses access rather than saying it exists.
    const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                       (error == ERROR_ACCESS_DENIED &&
                        ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES);
    return Failed(reason, error, taken ? Status::kTaken : Status::kFailed);
  }
  *file = std::make_unique<Win32Writer>(created, name);
  return Status::kOk;
}

Status Win32Platform::KeepAside(const std::string& path, const std::string& aside,
                                std::string* reason) {
  const std::wstring from = FilePath(path);
  const DWORD attributes = ::GetFileAttributesW(from.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return Failed(reason, error, IsMissing(error) ? Status::kMissing : Status::kFailed);
  }
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return Failed(reason, ERROR_ACCESS_DENIED);
  {
    // A file held open without leave to delete it cannot be replaced, and
    // a link made to it could not be removed again: refused before.
    const FileHandle probe(
        ::CreateFileW(from.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!probe.valid()) return Failed(reason, ::GetLastError());
  }
  if (::CreateHardLinkW(FilePath(aside).c_str(), from.c_str(), nullptr)) return Status::kOk;
  const DWORD error = ::GetLastError();
  // Whatever else kept the link from being made (FAT and exFAT have none;
  // some volumes say they have links and refuse them), a copy serves.
  return Failed(reason, error, error == ERROR_ALREADY_EXISTS ? Status::kTaken : Status::kNoLinks);
}

Status Win32Platform::RenameReplacing(const std::string& from, const std::string& to,
                                      std::string* reason) {
  const std::wstring target = FilePath(to);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return Failed(reason, ERROR_ACCESS_DENIED);
  }
  // Write-through: the move is on the disk when it returns.
  if (!::MoveFileExW(FilePath(from).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Failed(reason, ::GetLastError());
  }
  return Status::kOk;
}

Status Win32Platform::SyncFolderOf(const std::string&, std::string*) {
  // The move was written through.
  return Status::kOk;
}

Status Win32Platform::RemoveFile(const std::string& path, std::string* reason) {
  if (::DeleteFileW(FilePath(path).c_str())) return Status::kOk;
  const DWORD error = ::GetLastError();
  return Failed(reason, error, error == ERROR_FILE_NOT_FOUND ? Status::kMissing : Status::kFailed);
}

Status Win32Platform::ListFolder(const std::string& folder, std::vector<std::string>* names,
                                 std::string* reason) {
  names->clear();
  std::wstring pattern = FilePath(folder);
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileExW((pattern + L'*').c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return Failed(reason, ::GetLastError());
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") names->push_back(Narrow(name));
  } while (::FindNextFileW(search, &found));
  const DWORD error = ::GetLastError();
  ::FindClose(search);
  return error == ERROR_NO_MORE_FILES ? Status::kOk : Failed(reason, error);
}

Status Win32Platform::RemoveFolder(const std::string& path, std::string* reason) {
  return ::RemoveDirectoryW(FilePath(path).c_str()) ? Status::kOk
                                                    : Failed(reason, ::GetLastError());
}

Status Win32Platform::LockFile(const std::string& folder, std::string_view name, LockMode mode,
                               Links folder_links, std::unique_ptr<HeldLock>* lock,
                               std::string* reason) {
  const bool refuse = folder_links == Links::kRefuse;
  const std::string path = folder + "\\" + std::string(name);
  if (refuse) {
    // A junction or a link at the folder, or a Unix link under Wine, which
    // only the path the handle reached tells: nothing is made through it.
    const FileHandle opened(::CreateFileW(
        FilePath(folder).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!opened.valid() || !::GetFileInformationByHandle(opened.get(), &info)) {
      const DWORD error = ::GetLastError();
      return Failed(reason, error, IsMissing(error) ? Status::kMissing : Status::kFailed);
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        !IsOwnEntry(opened.get(), folder)) {
      return Answer(Status::kLinked, reason);
    }
  }
  // Without sharing, or sharing only reading: the next run's open fails
  // until this handle is closed, which the system does when the process
  // ends, however it ends. Never written; deleted only while held.
  const bool exclusive = mode == LockMode::kExclusive;
  const auto deadline = std::chrono::steady_clock::now() + lock_wait_;
  FileHandle file(INVALID_HANDLE_VALUE);
  for (;;) {
    file = FileHandle(::CreateFileW(FilePath(path).c_str(), GENERIC_READ | (exclusive ? DELETE : 0),
                                    exclusive ? 0 : FILE_SHARE_READ, nullptr,
                                    exclusive ? OPEN_ALWAYS : OPEN_EXISTING,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.valid()) break;
    const DWORD error = ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION) {
      return Failed(reason, error, IsMissing(error) ? Status::kMissing : Status::kFailed);
    }
    if (std::chrono::steady_clock::now() >= deadline) return Answer(Status::kBusy, reason);
    ::Sleep(10);
  }
  // The folder may have become a link since it was looked at.
  if (refuse && !IsOwnEntry(file.get(), path, 2)) return Answer(Status::kLinked, reason);
  *lock = std::make_unique<Win32Lock>(file);
  return Status::kOk;
}

std::uint64_t Win32Platform::RandomNumber() {
  std::uint64_t number = 0;
  if (BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&number), sizeof number,
                                       BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    return number;
  }
  // Without it a name is only harder to guess; files are still made only
  // where none stands.
  return ::GetTickCount64() * 0x9E3779B97F4A7C15u ^ ::GetCurrentProcessId() ^ ++fallback_counter_;
}

}  // namespace brellam
