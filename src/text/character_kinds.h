// Kinds of characters that a message cannot show as they are: each of
// them would hide, move or change the text around it.
#ifndef BRELLAM_TEXT_CHARACTER_KINDS_H_
#define BRELLAM_TEXT_CHARACTER_KINDS_H_

namespace brellam {

// A control character: C0, DEL or C1.
inline bool IsControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// A format character (Unicode's Cf), invisible but for what it does to
// the text around it: a bidirectional override, a zero-width space, a tag.
bool IsFormatCharacter(char32_t c);

// Whether the character, set apart, shows as itself: no control, format,
// combining (a lone mark would fuse with the text before it) or space
// character.
bool StandsAlone(char32_t c);

}  // namespace brellam

#endif  // BRELLAM_TEXT_CHARACTER_KINDS_H_
