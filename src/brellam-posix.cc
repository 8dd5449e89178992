// brellam on POSIX systems: `brellam SKIN.txt`.
#include "conversion/frm_main.h"
#include "platform/platform-posix.h"

int main(int argc, char** argv) {
  brellam::PosixPlatform platform(argc, argv);
  return brellam::frmMain(platform).ConvertSkin();
}
