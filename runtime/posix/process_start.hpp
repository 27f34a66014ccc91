// Starting other programs.
#pragma once

#include <string>
#include <vector>

namespace rt::posix {

// Starts the program at this path with these arguments (argv[0] is the path),
// inheriting standard input, output and error and the environment.
// wait: waits for its end and returns its exit status, 128 + the signal number when a
// signal ended it. Not waiting: returns 0 once it runs (it is reaped in the
// background). -1 when it could not be started, or when the path or an argument holds
// a NUL (it would reach the program cut short).
int startProgram(const std::string& path, const std::vector<std::string>& arguments, bool wait);

} // namespace rt::posix
