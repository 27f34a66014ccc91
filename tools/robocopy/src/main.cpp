#include "app.hpp"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const std::vector<std::string> words(argv + 1, argv + argc);
    const int code = rc::run(words, stdout);
    std::fflush(stdout);
    return code;
}
