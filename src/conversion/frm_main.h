// The run: one dropped skin text in, one skin folder and one message out.
#ifndef BRELLAM_CONVERSION_FRM_MAIN_H_
#define BRELLAM_CONVERSION_FRM_MAIN_H_

#include <string>

#include "platform/platform.h"

namespace brellam {

// The program's one object. It has no window: all a run shows is the
// message box that ends it.
class frmMain {
 public:
  explicit frmMain(Platform& platform) : platform_(platform) {}

  // Converts the skin text named by the command line, shows the outcome and
  // answers the exit status: 0 after a conversion that wrote every file.
  int ConvertSkin();

  // The host program's install path, or the empty text.
  std::string GetSkinPath() const;

 private:
  Message Convert();

  Platform& platform_;
};

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_FRM_MAIN_H_
