// Control flow of the runtime: breaks out of guarded sequences, the end of the
// program, and its exit code.
#pragma once

#include "runtime/value.hpp"

#include <functional>

namespace rt {

// Thrown by BREAK; carries the value to the recovery branch.
struct BreakSignal {
    Value value;
};

// Thrown by QUIT; caught only by the start routine.
struct QuitSignal {};

// BREAK(v): leaves the innermost guarded sequence for its recovery branch with v.
// (The language's _BREAK has the same effect and is the same function here.)
[[noreturn]] void BREAK(const Value& value = NIL, Loc loc = Loc::current());

// The language's _QUIT: ends the program; the exit procedure still runs.
[[noreturn]] void QUIT(Loc loc = Loc::current());

// ERRORLEVEL(): the exit code; ERRORLEVEL(n) sets it and returns the previous one.
int ERRORLEVEL();
int ERRORLEVEL(int code, Loc loc = Loc::current());

// A guarded sequence (BEGIN SEQUENCE ... RECOVER USING v ... END SEQUENCE): runs the
// body; a break out of it runs the recovery branch with the break value, outside the
// sequence.
void guarded(const std::function<void()>& body, const std::function<void(const Value&)>& recover);

} // namespace rt
