// Texts read from files, turned into the runtime's encoding.
//
// The runtime's texts are UTF-8 on every platform. Files written for the program come in
// two kinds: UTF-8 (with or without a byte-order mark, as Notepad writes it today) and
// 8-bit text in the Windows code page 1252 (Western European, as Notepad wrote "ANSI"
// text on German Windows, and as job files for the older program are written).
#pragma once

#include <string>
#include <string_view>

namespace rt {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF). With allowCutEnd, a sequence that is merely cut off by the end of the
// bytes counts as well formed: a file read up to a byte count may end in the middle of a
// character.
bool isUtf8(std::string_view bytes, bool allowCutEnd = false);

// The text for display: every byte that is not part of a well-formed UTF-8 character
// becomes the replacement character U+FFFD. Only what is shown changes; the bytes handed
// to the system stay as they are.
std::string withReplacementCharacters(std::string_view bytes);

// Code page 1252 to UTF-8. The five bytes that code page leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, as Windows maps
// them.
std::string utf8FromCodePage1252(std::string_view bytes);

// The bytes without a leading UTF-8 byte-order mark.
std::string_view withoutByteOrderMark(std::string_view bytes);

// The rule for a text file of unknown kind: a leading UTF-8 byte-order mark is dropped;
// the rest is taken as it is when it is UTF-8 (a character cut off at the very end
// allowed), otherwise converted from code page 1252. Plain ASCII is unchanged either way.
std::string utf8FromFileText(std::string_view bytes);

// The text of a file the program reads (its job file) in the runtime's encoding, by the
// platform's convention: on Windows by utf8FromFileText, on POSIX systems unchanged but for a
// byte-order mark.
std::string textFromFile(std::string_view bytes);

} // namespace rt
