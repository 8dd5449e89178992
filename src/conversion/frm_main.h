// The run: the items dropped on the program in (skin texts become skin
// folders under the host, skin folders become skin texts beside them), one
// message out.
#ifndef BRELLAM_CONVERSION_FRM_MAIN_H_
#define BRELLAM_CONVERSION_FRM_MAIN_H_

#include <string>

#include "platform/platform.h"

namespace brellam {

// Where the host's skins go.
struct HostFolder {
  std::string path;   // on this system, ending with a separator; empty: no host
  std::string shown;  // as the host, a Windows program, is shown it, ending with "\"
};

// The program's one object. It has no window: all a run shows is the
// message box that ends it.
class frmMain {
 public:
  explicit frmMain(Platform& platform) : platform_(platform) {}

  // Converts the skin texts named by the command line into skin folders,
  // and packs the skin folders it names into skin texts; shows the outcome
  // in one message and answers the exit status: 0 when every item wrote
  // every file.
  int ConvertSkin();

  // The host program's install path, and in `folder` the host's folder:
  // the folder it names, else the folder it is in. kMissing when none is
  // stored; kFailed, with the reason in words, for one that cannot be read
  // (`path` is then empty), holds a NUL, is not absolute, names what
  // Windows cannot open, is not in a folder that is there, or holds a
  // character the host's ANSI code page lacks (`path` then holds what is
  // stored).
  Status GetSkinPath(std::string* path, std::string* reason, HostFolder* folder) const;

 private:
  Message ConvertDropped();
  // Each item's failures end only that item.
  Message ConvertItem(const std::string& path, FileKind kind, const HostFolder& host);
  // A skin text into its skin folder under the host.
  Message Convert(const std::string& source_path, FileKind kind, const HostFolder& host);
  // A skin folder into one skin text beside it.
  Message Pack(const std::string& folder);

  Platform& platform_;
};

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_FRM_MAIN_H_
