// Paths as the program writes them ("root\subfolder") turned into paths for the
// POSIX file system.
#pragma once

#include <string>
#include <string_view>

namespace rt::posix {

// Every "\" becomes "/". Used for every path handed to the file system.
std::string nativePath(std::string_view path);

} // namespace rt::posix
