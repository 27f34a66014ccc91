// Paths as the program writes them ("root\subfolder") turned into paths for the
// POSIX file system.
#pragma once

#include <string>
#include <string_view>

namespace rt::posix {

// Every "\" becomes "/". Used for every path handed to the file system.
std::string nativePath(std::string_view path);

// True when the text holds a NUL. The system takes its texts up to the first NUL, so
// such a text would reach it cut short: a shorter path, a shorter argument. Such a text
// is refused wherever one would reach the system.
bool holdsNul(std::string_view text);

} // namespace rt::posix
