// The message in a desktop dialog, for a run started from a file manager:
// there nobody reads standard output or standard error. The dialog comes
// from a program the desktop has (zenity, kdialog or notify-send), started
// without a shell, so that no file name in the message is ever interpreted.
#ifndef BRELLAM_PLATFORM_DESKTOP_DIALOG_H_
#define BRELLAM_PLATFORM_DESKTOP_DIALOG_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace brellam {

// The programs tried, in order.
inline constexpr std::string_view kDialogPrograms[] = {"zenity", "kdialog", "notify-send"};

// Whether the message also wants a dialog: no terminal shows standard
// error, and a graphical session is there (either variable set and not
// empty).
bool WantsDialog(bool stderr_is_terminal, const char* display, const char* wayland_display);

// `text` with the characters that start markup (&, <, >) as entities.
std::string EscapeMarkup(std::string_view text);

// The command line, the program's name first, that shows `message` titled
// with the program's name: information on success, an error otherwise. The
// message fits one argument, its long lines cut as a box cuts them.
std::vector<std::string> DialogCommand(std::string_view program, const Message& message);

// Starts the first of kDialogPrograms on PATH that can be started and waits
// until it ends; false when none could be started. How the dialog ended
// does not matter: a user may close it any way.
bool ShowDialog(const Message& message);

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_DESKTOP_DIALOG_H_
