// Runs the built program the way a user does, in a throwaway folder with
// its own settings file, and reads back what it left on disk.
#ifndef BRELLAM_TESTS_PROGRAM_FIXTURE_H_
#define BRELLAM_TESTS_PROGRAM_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"

namespace brellam {

struct Outcome {
  int status = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;
};

inline constexpr std::string_view kFolderEntry = "<folder>";
inline constexpr std::string_view kOtherEntry = "<other>";

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override;

  void SetHostPath(const std::string& path);

  // Runs brellam with `arguments` in `root`, with an environment of its
  // own. A `wrapper` command, when given, runs it: brellam's path and
  // arguments follow the wrapper's own.
  Outcome Run(const std::vector<std::string>& arguments,
              const std::vector<std::string>& wrapper = {});

  // The program's message as it prints it.
  static std::string Line(std::string_view prompt);

  // The settings file the last run writes for a skin of that title.
  std::string SettingsFor(const std::string& title_932) const;

  // Every file and folder below `folder`, by relative path: a file's entry
  // holds its bytes, a folder's kFolderEntry and anything else (a pipe)
  // kOtherEntry. Settings files read as dated the day the last run began;
  // the lock files that runs leave are not listed.
  std::map<std::string, std::string> FilesIn(const std::filesystem::path& folder) const;

  // Variables the next runs get, over the fixture's own: no DISPLAY or
  // WAYLAND_DISPLAY unless given here, so that no run opens a dialog.
  std::vector<std::string> environment;
  // Runs with standard error on a terminal; its text is then not kept.
  bool stderr_on_terminal = false;

  const TemporaryFolder temporary{"program"};
  const std::filesystem::path root = temporary.path();
  const std::filesystem::path host = root / "Kyrlen";

 private:
  LocalDate run_began_;
  LocalDate run_ended_;
};

}  // namespace brellam

#endif  // BRELLAM_TESTS_PROGRAM_FIXTURE_H_
