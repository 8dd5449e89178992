#include "platform/desktop_dialog.h"

#include <errno.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include "text/shown_text.h"

extern char** environ;

namespace brellam {

namespace {

// Linux takes one argument of at most 128 KiB, its NUL among them, and the
// markup of kdialog and notify-send makes a text up to five times longer.
constexpr std::size_t kMostShownBytes = ((std::size_t{128} << 10) - 64) / 5;

// The message as the dialog shows it: its long lines cut as a box cuts
// them, and its lines after those one argument holds left out.
std::string Shown(std::string_view prompt) {
  std::string shown = CutLongLines(prompt);
  if (shown.size() <= kMostShownBytes) return shown;
  const std::size_t end = shown.rfind('\n', kMostShownBytes - 4);
  shown.resize(end == std::string::npos ? 0 : end);
  return shown + "\n…";
}

}  // namespace

bool WantsDialog(bool stderr_is_terminal, const char* display, const char* wayland_display) {
  const auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
  return !stderr_is_terminal && (set(display) || set(wayland_display));
}

std::string EscapeMarkup(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped.push_back(c);
    }
  }
  return escaped;
}

std::vector<std::string> DialogCommand(std::string_view program, const Message& message) {
  const std::string title(kProgramName);
  const std::string text = Shown(message.prompt);
  if (program == "zenity") {
    return {
        "zenity", message.success ? "--info" : "--error", "--title", title, "--no-markup", "--text",
        text};
  }
  if (program == "kdialog") {
    // A text Qt takes for plain text would show the entities as they are:
    // <qt> makes it rich text, where line breaks must be written as tags.
    std::string body = "<qt>";
    for (const char c : EscapeMarkup(text)) {
      if (c == '\n') {
        body += "<br>";
      } else {
        body.push_back(c);
      }
    }
    body += "</qt>";
    return {"kdialog", "--title", title, message.success ? "--msgbox" : "--error", body};
  }
  // notify-send: --wait keeps the run until the notification is closed, as
  // a dialog would; "--" lets a body start with a dash.
  return {"notify-send",
          "--wait",
          "--app-name",
          title,
          "--urgency",
          message.success ? "normal" : "critical",
          "--icon",
          message.success ? "dialog-information" : "dialog-error",
          "--",
          title,
          EscapeMarkup(text)};
}

bool ShowDialog(const Message& message) {
  for (const std::string_view program : kDialogPrograms) {
    std::vector<std::string> command = DialogCommand(program, message);
    std::vector<char*> argv;
    for (std::string& argument : command) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    // posix_spawnp searches PATH and answers an error when it cannot run
    // the program: that one alone counts as failing.
    if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) continue;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
  }
  return false;
}

}  // namespace brellam
