#include "runtime/procedure_stack.hpp"

#include <vector>

namespace rt {

namespace {

struct Level {
    std::string name;
    int line = 0;
};

std::vector<Level>& levels() {
    static std::vector<Level> stack;
    return stack;
}

} // namespace

Frame::Frame(std::string name, std::optional<Loc> calledFrom, Loc opened) {
    if (calledFrom) {
        trace(*calledFrom);
    }
    levels().push_back({std::move(name), static_cast<int>(opened.line())});
}

Frame::~Frame() {
    levels().pop_back();
}

void trace(const Loc& loc) {
    if (!levels().empty()) {
        levels().back().line = static_cast<int>(loc.line());
    }
}

std::string PROCNAME(int level, Loc loc) {
    trace(loc);
    const auto& stack = levels();
    if (level < 0 || level >= static_cast<int>(stack.size())) {
        return "";
    }
    return stack[stack.size() - 1 - static_cast<std::size_t>(level)].name;
}

int PROCLINE(int level, Loc loc) {
    trace(loc);
    const auto& stack = levels();
    if (level < 0 || level >= static_cast<int>(stack.size())) {
        return 0;
    }
    return stack[stack.size() - 1 - static_cast<std::size_t>(level)].line;
}

int stackDepth() {
    return static_cast<int>(levels().size());
}

} // namespace rt
