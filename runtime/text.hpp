// Text and number helpers. Positions count from 1; texts are byte strings in the
// runtime's encoding.
#pragma once

#include "runtime/value.hpp"

#include <string>
#include <string_view>

namespace rt {

// Turns a text written in UTF-8 in the source into the runtime's text encoding. Module
// constants are built with it before any procedure runs.
std::string text(std::string_view utf8);

// AT(needle, haystack[, start]): position of the first occurrence at or after start,
// 0 when there is none (also for an empty needle).
int AT(std::string_view needle, std::string_view haystack, int start = 1);

// SUBSTR(s, start[, count]): start 0 counts as 1, a negative start counts from the end;
// a negative count gives the empty text.
std::string SUBSTR(std::string_view s, int start);
std::string SUBSTR(std::string_view s, int start, int count);

// LEN of a text (bytes) or of an array (elements); 0 for other values.
int LEN(const Value& v);
inline int LEN(std::string_view s) {
    return static_cast<int>(s.size());
}
inline int LEN(const std::string& s) {
    return static_cast<int>(s.size());
}
inline int LEN(const char* s) {
    return LEN(std::string_view(s));
}

// Blanks (spaces) only.
std::string ALLTRIM(std::string_view s);
std::string LTRIM(std::string_view s);
std::string TRIM(std::string_view s);

std::string SPACE(int count);
std::string REPLICATE(std::string_view s, int count);
// PADL(v, width, fill): the value as text (numbers without blanks), padded on the left
// with the fill character, or cut to its last `width` characters.
std::string PADL(const Value& v, int width, char fill = ' ');

// STR(n[, width[, decimals]]): right-aligned decimal text. Without a width: 10
// characters, and no decimals for whole numbers, 2 otherwise. A number that does not fit
// gives `width` asterisks.
std::string STR(double n);
std::string STR(double n, int width);
std::string STR(double n, int width, int decimals);
// STRZERO: as STR, with leading zeros instead of blanks.
std::string STRZERO(double n, int width, int decimals = 0);
// VAL: the number at the start of the text (after blanks); 0 when there is none.
double VAL(std::string_view s);
// INT: the integer part, truncated towards zero.
double INT(double n);
std::string CHR(int code);
std::string STRTRAN(std::string_view s, std::string_view search, std::string_view replace);

// EMPTY: true for the empty value, 0, false, a text of blanks only, an empty array and
// the empty date.
bool EMPTY(const Value& v);
// VALTYPE: the one-letter type of a value.
std::string VALTYPE(const Value& v);

} // namespace rt
