#include "win32/message_box_driver.h"

#include <algorithm>

namespace brellam {

namespace {

constexpr DWORD kPollMilliseconds = 25;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  const int got = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256];
  const int got = ::GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<std::size_t>(std::max(got, 0)));
}

BOOL CALLBACK CollectControl(HWND control, LPARAM param) {
  MessageBoxSeen& box = *reinterpret_cast<MessageBoxSeen*>(param);
  if (!::IsWindowVisible(control)) return TRUE;
  const std::wstring kind = ClassName(control);
  if (::lstrcmpiW(kind.c_str(), L"Button") == 0) {
    if (!box.buttons.empty()) box.buttons += L',';
    box.buttons += WindowText(control);
  } else if (::lstrcmpiW(kind.c_str(), L"Static") == 0) {
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON && ::SendMessageW(control, STM_GETICON, 0, 0) != 0) {
      box.icon = true;
    }
  }
  return TRUE;
}

MessageBoxSeen Inspect(HWND dialog) {
  MessageBoxSeen box;
  box.caption = WindowText(dialog);
  if (HWND text = ::GetDlgItem(dialog, 0xFFFF)) box.prompt = WindowText(text);
  ::EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&box));
  RECT frame{};
  if (::GetWindowRect(dialog, &frame)) box.width = frame.right - frame.left;
  return box;
}

struct Search {
  DWORD process_id;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
  Search& search = *reinterpret_cast<Search*>(param);
  DWORD process_id = 0;
  ::GetWindowThreadProcessId(window, &process_id);
  // Only shown dialogs: a box still being built has no text yet.
  if (process_id == search.process_id && ::IsWindowVisible(window) &&
      ClassName(window) == L"#32770") {
    search.found.push_back(window);
  }
  return TRUE;
}

void PressOk(HWND dialog) {
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
}

}  // namespace

DrivenRun RunAndAnswer(const std::wstring& exe, const std::wstring& arguments,
                       const std::wstring& folder, DWORD timeout_ms) {
  std::wstring command_line = L"\"" + exe + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  DrivenRun run;
  if (!::CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    return run;
  }
  ::CloseHandle(process.hThread);

  std::vector<HWND> seen;
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  while (!run.ended && ::GetTickCount64() < deadline) {
    Search search{process.dwProcessId, {}};
    ::EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    for (HWND dialog : search.found) {
      // A pressed box lingers for a moment; pressing it again is harmless.
      if (std::find(seen.begin(), seen.end(), dialog) == seen.end()) {
        seen.push_back(dialog);
        run.boxes.push_back(Inspect(dialog));
      }
      PressOk(dialog);
    }
    run.ended = ::WaitForSingleObject(process.hProcess, kPollMilliseconds) == WAIT_OBJECT_0;
  }
  if (run.ended) {
    ::GetExitCodeProcess(process.hProcess, &run.exit_code);
  } else {
    ::TerminateProcess(process.hProcess, 255);
    ::WaitForSingleObject(process.hProcess, 5000);
  }
  ::CloseHandle(process.hProcess);
  return run;
}

}  // namespace brellam
