// The whole program behind main(): reads the command line, checks the
// folders, runs the job and prints the header and summary around it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace rc {

// Runs the program with the words after the program name; output that is not
// sent to a log file goes to "console". Returns the exit code.
int run(const std::vector<std::string>& words, std::FILE* console);

} // namespace rc
