// A skin text's bytes into the pages the host reads.
#ifndef BRELLAM_CONVERSION_SKIN_PAGES_H_
#define BRELLAM_CONVERSION_SKIN_PAGES_H_

#include "conversion/skin_text.h"
#include "conversion/text_encoding.h"
#include "platform/platform.h"

namespace brellam {

// The three pages in the ANSI code page. A skin text in the code page is
// split as it is; one in UTF-8 or UTF-16 is split on its own characters,
// then each page is written in the code page, characters it lacks as HTML
// references, over the text itself: no character takes more bytes there
// than in UTF-8, so a large skin needs no second buffer.
SkinPages PagesInAnsi(DecodedText skin_text, const Platform& platform);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_PAGES_H_
