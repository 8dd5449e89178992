#include "program_fixture.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/platform-posix.h"

namespace brellam {

namespace fs = std::filesystem;

namespace {

// An instrumented program should report the way the tests are told to.
constexpr const char* kPassedVariables[] = {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"};

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string ReadBack(std::FILE* file) {
  std::string bytes;
  std::rewind(file);
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
    bytes.push_back(static_cast<char>(c));
  return bytes;
}

// The day as the program itself reads it.
LocalDate Today() { return PosixPlatform(0, nullptr).Today(); }

}  // namespace

std::string ProgramTest::SettingsFor(const std::string& title_932) const {
  return fixture::SettingsFor(title_932, run_began_);
}

std::map<std::string, std::string> ProgramTest::FilesIn(const fs::path& folder) const {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    // Left in each skin folder on purpose, for the next run to lock.
    if (entry.path().filename() == ".brellam.lock") continue;
    if (entry.is_regular_file()) {
      files[name] = Slurp(entry.path());
      if (name.ends_with("setting.skn")) {
        files[name] = fixture::AsDatedWhenBegun(files[name], run_began_, run_ended_);
      }
    } else {
      files[name] = entry.is_directory() ? kFolderEntry : kOtherEntry;
    }
  }
  return files;
}

void ProgramTest::SetUp() {
  fs::create_directories(host);
  SetHostPath((host / "kyrlen.exe").string());
}

void ProgramTest::SetHostPath(const std::string& path) {
  Spit(root / "config/Kyrlen/settings.ini", "[Path]\nPath=" + path + "\n");
}

Outcome ProgramTest::Run(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& wrapper) {
  std::vector<std::string> env_strings = {"XDG_CONFIG_HOME=" + (root / "config").string(),
                                          "HOME=" + root.string(), "PATH=/usr/bin:/bin"};
  for (const char* name : kPassedVariables) {
    if (const char* value = std::getenv(name))
      env_strings.push_back(std::string(name) + "=" + value);
  }
  for (const std::string& variable : environment) {
    const std::string name = variable.substr(0, variable.find('=') + 1);
    std::erase_if(env_strings, [&](const std::string& e) { return e.starts_with(name); });
    env_strings.push_back(variable);
  }
  std::vector<std::string> arg_strings = wrapper;
  arg_strings.push_back(BRELLAM_EXE);
  arg_strings.insert(arg_strings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : arg_strings) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : env_strings) envp.push_back(e.data());
  envp.push_back(nullptr);

  // Unnamed files, so that the output leaves no trace in the folders.
  const File out(std::tmpfile(), std::fclose);
  const File err(std::tmpfile(), std::fclose);
  Outcome outcome;
  if (!out || !err) return outcome;
  int terminal = -1;
  const int pty = stderr_on_terminal ? ::posix_openpt(O_RDWR | O_NOCTTY) : -1;
  if (pty >= 0 && ::grantpt(pty) == 0 && ::unlockpt(pty) == 0) {
    terminal = ::open(::ptsname(pty), O_RDWR | O_NOCTTY);
  }
  if (stderr_on_terminal && terminal < 0) {
    if (pty >= 0) ::close(pty);
    ADD_FAILURE() << "no terminal to run on";
    return outcome;
  }
  const int err_fd = terminal >= 0 ? terminal : ::fileno(err.get());
  run_began_ = Today();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::dup2(::fileno(out.get()), 1) < 0 || ::dup2(err_fd, 2) < 0 || ::chdir(root.c_str()) != 0) {
      ::_exit(127);
    }
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  int wait_status = 0;
  if (child > 0 && ::waitpid(child, &wait_status, 0) == child && WIFEXITED(wait_status)) {
    outcome.status = WEXITSTATUS(wait_status);
  }
  run_ended_ = Today();
  if (terminal >= 0) ::close(terminal);
  if (pty >= 0) ::close(pty);
  outcome.out = ReadBack(out.get());
  outcome.err = ReadBack(err.get());
  return outcome;
}

std::string ProgramTest::Line(std::string_view prompt) {
  return "brellam: " + std::string(prompt) + "\n";
}

}  // namespace brellam
