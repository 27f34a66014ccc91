#include "walk_hook.hpp"

#include <atomic>

namespace rc {

namespace {
std::atomic<WalkHook> walkHook{nullptr};
}

void setWalkHook(WalkHook hook) {
    walkHook.store(hook);
}

void callWalkHook(const std::string& destFolder) {
    if (const WalkHook hook = walkHook.load()) {
        hook(destFolder);
    }
}

} // namespace rc
