#!/usr/bin/env python3
"""Writes code_page_932.txt from Wine's own code page data (c_932.nls).

The tests hold the program's code page tables and encoders against this
table, which owes nothing to them or to the C library. Each line is a code
that reads as a character, in hex, then the character, then "=" when
Windows writes that character as this code (some characters have two
codes; only one is written). The line "lead" lists the lead bytes.

Usage: make_code_page_932_table.py [/usr/share/wine/nls/c_932.nls] > code_page_932.txt
"""
import struct
import sys

data = open(sys.argv[1] if len(sys.argv) > 1 else "/usr/share/wine/nls/c_932.nls", "rb").read()


def word(at):
    return struct.unpack_from("<H", data, at)[0]


header_words = word(0)
code_page, _, default_char, unicode_default = (word(2), word(4), word(6), word(8))
assert code_page == 932, code_page
at = 2 * header_words + 2  # past the header and the offset of the wide table
single = [word(at + 2 * b) for b in range(256)]
at += 512
glyphs = word(at)
at += 2 + (512 if glyphs else 0)
assert word(at) != 0, "no double-byte table"
at += 2
offsets = [word(at + 2 * b) for b in range(256)]
wide = data[len(data) - 2 * 0x10000:]


def written_as(char):
    return struct.unpack_from("<H", wide, 2 * char)[0]


print("# code page 932 from Wine's c_932.nls: code, character, '=' when written so")
print("lead " + " ".join(f"{b:02X}" for b in range(256) if offsets[b]))
for code in range(0x10000):
    lead, trail = code >> 8, code & 0xFF
    if code < 0x100:
        char = single[code]
        if offsets[code]:
            continue  # a lead byte reads as nothing alone
    elif offsets[lead]:
        char = word(at + 2 * offsets[lead] + 2 * trail)
    else:
        continue
    if char == unicode_default and code != 0x8145:
        continue
    if code >= 0x100 and char == 0:
        continue
    mark = " =" if written_as(char) == code else ""
    print(f"{code:04X} {char:04X}{mark}")
