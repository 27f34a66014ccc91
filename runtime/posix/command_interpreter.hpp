// The runtime's own command interpreter, which stands in for cmd.exe when the
// program runs a command rather than a program. It does the work itself and never
// hands the text to a shell.
//
// Understood: "/C MD <folders>" and "/C MKDIR <folders>", "/C RD <folders>" and
// "/C RMDIR <folders>" (letter case ignored, blanks before and between allowed). The folders are
// the words of the rest of the text, split at blanks and tabs; double quotes only group (a quoted
// "a b" is one folder) and are dropped, backslashes never escape anything, so "C:\a b\" is the
// folder C:\a b\. No other character has a meaning of its own: "x & y" names the
// three folders "x", "&" and "y". Each folder is made with every missing level, "\"
// counting as a folder separator. RD removes each folder only when it is empty, never
// through a link and never recursively (the switches /S and /Q are not understood).
// A folder on a drive ("C:\Sicherung") names nothing on this system: it is refused
// with cmd's message for a missing drive, and nothing is made.
//
// Result: 0 when every folder was made (or removed); 1 when any folder already existed
// or could not be made, or could not be removed (as cmd's MD and RD, with a message on
// the error stream for each), when no folder is named, and for any other command (with
// a message that it is not understood).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace rt::posix {

int runCommandInterpreter(std::string_view parameters, std::ostream& err);

// The folder words of an MD command line, as described above.
std::vector<std::string> commandWords(std::string_view text);

} // namespace rt::posix
