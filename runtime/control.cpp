#include "runtime/control.hpp"

#include "runtime/procedure_stack.hpp"

namespace rt {

namespace {
int exitCode = 0;
} // namespace

void BREAK(const Value& value, Loc loc) {
    trace(loc);
    throw BreakSignal{value};
}

void QUIT(Loc loc) {
    trace(loc);
    throw QuitSignal{};
}

int ERRORLEVEL() {
    return exitCode;
}

int ERRORLEVEL(int code, Loc loc) {
    trace(loc);
    const int previous = exitCode;
    exitCode = code;
    return previous;
}

void guarded(const std::function<void()>& body, const std::function<void(const Value&)>& recover) {
    Value breakValue;
    bool broken = false;
    try {
        body();
    } catch (const BreakSignal& signal) {
        breakValue = signal.value;
        broken = true;
    }
    // The recovery branch runs outside the sequence: a break in it goes further out.
    if (broken) {
        recover(breakValue);
    }
}

} // namespace rt
