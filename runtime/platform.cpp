#include "runtime/platform.hpp"

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

} // namespace rt
