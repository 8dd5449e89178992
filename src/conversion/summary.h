// The one message of a drop of several items: as much of each as the box
// can show on the screen.
#ifndef BRELLAM_CONVERSION_SUMMARY_H_
#define BRELLAM_CONVERSION_SUMMARY_H_

#include <vector>

#include "platform/platform.h"

namespace brellam {

// One box for all: each item's name and its own message; when there are
// too many to show, the failed ones, as many as fit, and then counts.
Message Summary(const std::vector<Message>& items);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SUMMARY_H_
