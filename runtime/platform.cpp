#include "runtime/platform.hpp"

#include "runtime/encoding.hpp"

namespace rt {

namespace {
std::shared_ptr<Platform>& current() {
    static std::shared_ptr<Platform> p;
    return p;
}
} // namespace

Platform& platform() {
    if (!current()) {
        current() = makeNativePlatform();
    }
    return *current();
}

void setPlatform(std::shared_ptr<Platform> p) {
    current() = std::move(p);
}

std::string Platform::startedName() {
    const std::string path = executablePath();
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Platform::textFromFile(std::string bytes) {
    return std::string(withoutByteOrderMark(bytes));
}

} // namespace rt
