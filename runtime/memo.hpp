// Word wrapping of texts: MLCOUNT counts the lines of a text wrapped at a width, and
// MEMOLINE gives one of those lines. Both use the one wrapping below, so they agree on
// every text, width and option.
//
// The wrapping:
// - widths count characters, not bytes: a UTF-8 sequence is one character (a byte that
//   is not part of a well-formed sequence counts as one character of its own);
// - CR LF, CR alone and LF alone end a line; a line end at the very end of the text adds
//   no empty line after it; an empty text has no lines;
// - a tab moves to the next multiple of the tab width (default 4) counted from the start
//   of the wrapped line, and is given back as blanks;
// - with word wrapping, a line that would grow past the width breaks at its last blank
//   that has a word before it; the blanks at the break belong to neither line. A word
//   longer than the width is cut at the width. Without word wrapping every line is cut
//   at the width;
// - lines are given back without trailing blanks and without filling up to the width;
// - a width below 1 counts as the default width 79.
#pragma once

#include "runtime/value.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace rt {

inline constexpr int MEMO_DEFAULT_WIDTH = 79;
inline constexpr int MEMO_DEFAULT_TAB = 4;

// The lines of a text, wrapped as above.
std::vector<std::string> wrapLines(std::string_view text, int width = MEMO_DEFAULT_WIDTH,
                                   int tabWidth = MEMO_DEFAULT_TAB, bool wordWrap = true);

// MLCOUNT(text, width, tab width, word wrap): the number of lines; 0 for a value that is
// not a text. The empty value as tab width means the default.
int MLCOUNT(const Value& text, int width = MEMO_DEFAULT_WIDTH, const Value& tabWidth = NIL,
            bool wordWrap = true);
// MEMOLINE(text, width, line, tab width, word wrap): line number `line` (from 1) of that
// wrapping; the empty text beyond the last line.
std::string MEMOLINE(const Value& text, int width = MEMO_DEFAULT_WIDTH, int line = 1,
                     const Value& tabWidth = NIL, bool wordWrap = true);

} // namespace rt
