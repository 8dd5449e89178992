// brellam on Windows: a skin text dropped on the program's icon.
#include <windows.h>

#include "conversion/frm_main.h"
#include "platform/platform-win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  brellam::Win32Platform platform;
  return brellam::frmMain(platform).ConvertSkin();
}
