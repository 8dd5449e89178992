// Drives a GUI program as a person would: starts it, reads each message box
// it shows, presses OK, and waits for it to end.
#ifndef BRELLAM_TESTS_WIN32_MESSAGE_BOX_DRIVER_H_
#define BRELLAM_TESTS_WIN32_MESSAGE_BOX_DRIVER_H_

#include <windows.h>

#include <string>
#include <vector>

namespace brellam {

struct MessageBoxSeen {
  std::wstring caption;
  std::wstring prompt;   // the static control 0xFFFF
  std::wstring buttons;  // the visible buttons' texts, joined with ","
  bool icon = false;
  long width = 0;  // in pixels
};

struct DrivenRun {
  bool ended = false;  // false: still running at the deadline, then killed
  DWORD exit_code = 0;
  std::vector<MessageBoxSeen> boxes;
};

// Runs `"exe" arguments` in `folder` (the caller's when empty).
DrivenRun RunAndAnswer(const std::wstring& exe, const std::wstring& arguments,
                       const std::wstring& folder = L"", DWORD timeout_ms = 20000);

}  // namespace brellam

#endif  // BRELLAM_TESTS_WIN32_MESSAGE_BOX_DRIVER_H_
