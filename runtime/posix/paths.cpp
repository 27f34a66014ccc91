#include "runtime/posix/paths.hpp"

#include <algorithm>

namespace rt::posix {

std::string nativePath(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

bool holdsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

} // namespace rt::posix
