#include "runtime/posix/paths.hpp"

#include <algorithm>

namespace rt::posix {

std::string nativePath(std::string_view path) {
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

} // namespace rt::posix
