// Splitting and quoting of command lines by the rules Windows programs use
// (the C runtime's argument parser since 2008), so that a parameter text written
// for Windows reaches a program on any platform as the same list of arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wincmd {

// Splits a parameter text into arguments: blanks and tabs separate arguments
// outside double quotes; 2n backslashes before a quote give n backslashes and the
// quote opens or closes a quoted part; 2n+1 backslashes before a quote give n
// backslashes and a literal quote; inside a quoted part "" gives a literal quote;
// other backslashes are literal.
std::vector<std::string> split(std::string_view text);

// Quotes one argument so that split() gives it back unchanged: wraps it in double
// quotes when it is empty or holds a blank, a tab or a quote, doubling backslashes
// that precede a quote or the closing quote.
std::string quote(std::string_view argument);

// Joins arguments with single blanks, each quoted as quote() does.
std::string join(const std::vector<std::string>& arguments);

} // namespace wincmd
