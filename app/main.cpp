#include "app/command_line.hpp"
#include "app/entry.hpp"
#include "runtime/application.hpp"

#include <iostream>

int main(int argc, char** argv) {
#ifndef _WIN32
    // A person typing "--help" must not start a backup.
    if (const auto description =
            descriptionRequested(std::vector<std::string>(argv, argv + argc))) {
        std::cout << *description;
        return 0;
    }
#else
    (void)argc;
    (void)argv;
#endif
    return entry(rt::runtimeVersion);
}
