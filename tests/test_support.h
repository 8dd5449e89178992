// What the tests share: throwaway folders, whole files, and one skin text
// with the exact bytes its conversion must give.
#ifndef BRELLAM_TESTS_TEST_SUPPORT_H_
#define BRELLAM_TESTS_TEST_SUPPORT_H_

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/local_date.h"

namespace brellam::fixture {

// A skin in code page 932: "見出し 表示" in the header ("表" and "ソ" end in
// 0x5C), a link to the NewRes page that the conversion renames, pages in
// the order Header, NewRes, Res, and a final CR LF.
inline const std::string kHeaderPage =
    "<html><!-- \x8C\xA9\x8Fo\x82\xB5 \x95\x5C\x8E\xA6 -->\r\n<a href=\"New.htm\">\x83\x5C</a>\r\n";
inline const std::string kNewResPage = "<dl>\x90V\x92\x85 <NAME/></dl>\r\n";
inline const std::string kResPage = "<dl>\x83\x8C\x83X <NAME/></dl>\r\n\r\n";
inline const std::string kSkin =
    "<!-- Header.htm -->\r\n<html><!-- \x8C\xA9\x8Fo\x82\xB5 \x95\x5C\x8E\xA6 -->\r\n"
    "<a href=\"NewRes.htm\">\x83\x5C</a>\r\n<!-- NewRes.htm -->\r\n" +
    kNewResPage + "<!-- Res.htm -->\r\n<dl>\x83\x8C\x83X <NAME/></dl>\r\n";

// "ブレラム" and the comment in code page 932, as the settings file holds them.
inline const std::string kCreator932 = "\x83u\x83\x8C\x83\x89\x83\x80";
inline const std::string kComment932 =
    "\x82\xB1\x82\xCC\x83X\x83L\x83\x93\x82\xCD" + kCreator932 +
    "\x82\xC9\x82\xE6\x82\xC1\x82\xC4\x90\xB6\x90\xAC\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD";

inline std::string DateLine(LocalDate day) {
  char date[32];
  std::snprintf(date, sizeof date, "#Date=%04d/%02d/%02d\r\n", day.year, day.month, day.day);
  return date;
}

inline std::string SettingsFor(std::string_view title_932, LocalDate today) {
  return "#Title=" + std::string(title_932) + "\r\n#Creator=" + kCreator932 + "\r\n" +
         DateLine(today) + "#Comment=" + kComment932 +
         "\r\n#NameTagDelete=0\r\n#MessageTabDelete=0\r\n";
}

// A run that crosses midnight may date its settings either day: read as
// dated the day it began, so that one expected text serves.
inline std::string AsDatedWhenBegun(std::string settings, LocalDate began, LocalDate ended) {
  const std::string ended_line = DateLine(ended);
  const std::size_t at = settings.find(ended_line);
  if (at != std::string::npos) settings.replace(at, ended_line.size(), DateLine(began));
  return settings;
}

}  // namespace brellam::fixture

namespace brellam {

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Spit(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A new folder of its own in the system's temporary folder, removed with
// all it holds, read-only files too, when the test is done with it.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::filesystem::path& tag) {
    std::random_device random;
    do {
      std::filesystem::path name = "brellam-";
      name += tag;
      name += '-';
      name += std::to_string(random());
      path_ = std::filesystem::temp_directory_path() / name;
    } while (!std::filesystem::create_directory(path_));
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (fs::recursive_directory_iterator entry(path_, error), end; !error && entry != end;
         entry.increment(error)) {
      if (!entry->is_symlink(ignored)) {
        fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
      }
    }
    fs::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace brellam

#endif  // BRELLAM_TESTS_TEST_SUPPORT_H_
