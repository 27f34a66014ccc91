// Line output (QOUT, QQOUT) and its channels, the standard error channel, the console
// cursor, and the one text form of every value that line output and VAR2CHAR share.
//
// Channels, each chosen by a setting at the moment of output:
//   17 console switch     -> the console (the terminal or the application window)
//   18 alternate switch   -> the alternate output file named by setting 19
//   23 printer switch, 21 extra file switch -> this runtime has no printer and no extra
//      file; output switched there goes nowhere
// Setting 19 opens the alternate output file: SET(19, name, false) creates it new,
// SET(19, name) or SET(19, name, true) adds to an existing file, SET(19, "") closes it.
// A file that cannot be opened raises an error record (see output.cpp for the codes).
#pragma once

#include "runtime/value.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace rt {

// QOUT(values): ends the current line with CR LF, then writes the values separated by
// one blank. QOUT() writes the line end alone.
void QOUT(const std::vector<Value>& values = {}, Loc loc = Loc::current());
// QQOUT(values): writes the values separated by one blank, without a line end.
void QQOUT(const std::vector<Value>& values = {}, Loc loc = Loc::current());
// OUTERR(text): writes the text to the standard error channel as it is.
void OUTERR(std::string_view text, Loc loc = Loc::current());

// The console cursor: ROW() and COL() count from 0; SETPOS(row, col) moves it.
int ROW(Loc loc = Loc::current());
int COL(Loc loc = Loc::current());
void SETPOS(int row, int col, Loc loc = Loc::current());

// VAR2CHAR(value): the text form of a value, the same one QOUT writes:
//   text           as it is
//   number         whole numbers as digits ("12", "-3", "0"); others with as few
//                  decimals as give the number back ("2.5", "0.1")
//   logical        ".T." or ".F."
//   date           DTOC, the date format in force (blanks for the empty date)
//   empty value    "NIL"
//   array          "{" elements ", " "}", texts inside in double quotes: {10, "a", NIL};
//                  an array met again inside itself shows as "{...}"
//   object         "Object(" class name ")", e.g. Object(Error)
//   code block     "Block(" its name ")", e.g. Block((B)ERRORSYS@0000)
std::string VAR2CHAR(const Value& value);

} // namespace rt
