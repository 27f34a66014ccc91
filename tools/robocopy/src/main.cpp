#include "app.hpp"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    // Large blocks when the output goes to a file or pipe, whole lines on a terminal.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, sizeof buffer);
    const std::vector<std::string> words(argv + 1, argv + argc);
    const int code = rc::run(words, stdout);
    std::fflush(stdout);
    return code;
}
