// What the program learns about itself and the system it runs on.
#pragma once

#include "runtime/platform.hpp"

#include <string>

namespace rt::posix {

// The local date and time now.
LocalTime localNow();
// The running program's full path (from /proc/self/exe); empty when unknown.
std::string ownExecutablePath();
// The last part of the name the program was started under (its argv[0]); empty when
// that gives none.
std::string startedProgramName();
// "<system> <release> <machine>" from uname, e.g. "Linux 6.1.0 x86_64".
std::string systemName();
// True when standard output / error / input is a terminal.
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();
bool standardInputIsTerminal();
// True when answers can be read from standard input: it is a terminal, a pipe or a
// file. A program started from a desktop launcher or file manager gets /dev/null, a
// socket or nothing at all instead.
bool standardInputCanAnswer();
// The value of $DISPLAY, empty when not set.
std::string displayName();

} // namespace rt::posix
