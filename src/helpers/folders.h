// Creating a chain of folders below one that is there.
#ifndef BRELLAM_HELPERS_FOLDERS_H_
#define BRELLAM_HELPERS_FOLDERS_H_

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace brellam {

// Makes each of `names` in turn, the next inside the one before, below
// `folder` (ending with a separator), which must be there: it and the
// folders above it are never made. A name that is there in another letter
// case is the one used, as the host under Wine would find it, and a folder
// it made that another run made meanwhile in another case is given up for
// that one: Windows would count the two as one. Sets `path`
// to the last folder, without a separator at its end, and adds each folder
// it made to `made`, with its separator. When a folder cannot be looked
// for or made, the status and reason of that step: `path` is then that
// folder, and the folders made before it stay.
Status MakeFolders(Platform& platform, std::string folder,
                   std::initializer_list<std::string_view> names, std::string* path,
                   std::string* reason, std::vector<std::string>* made = nullptr);

// Removes each folder of `made`, the innermost (last) first, as long as
// they are empty: what a run made and then left unused.
void RemoveMadeFolders(Platform& platform, std::span<const std::string> made);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_FOLDERS_H_
