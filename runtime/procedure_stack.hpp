// The procedure stack: every procedure and code-block activation is a level with a
// name and its current source line, which the error dialog and the error log list.
#pragma once

#include "runtime/value.hpp"

#include <optional>
#include <string>

namespace rt {

// One activation. A procedure opens its frame first thing, handing over the place it
// was called from so that the caller's level shows the line of the call:
//     Value KOPIEREN(const Value& cText, Loc loc) { Frame frame{"KOPIEREN", loc}; ... }
class Frame {
  public:
    explicit Frame(std::string name, std::optional<Loc> calledFrom = std::nullopt,
                   Loc opened = Loc::current());
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
};

// Records the source line of the innermost activation: every runtime operation calls
// this with the place it was called from, so each level shows the line it is at.
void trace(const Loc& loc);

// Gives the value back after recording the line: an operator has no place to take the
// caller's line from, so an expression whose operator may raise starts with this, and the
// error shows the line of the expression.
inline const Value& traced(const Value& value, Loc loc = Loc::current()) {
    trace(loc);
    return value;
}

// PROCNAME(n) / PROCLINE(n): level 0 is the caller; beyond the outermost level the name
// is the empty text and the line 0.
std::string PROCNAME(int level = 0, Loc loc = Loc::current());
int PROCLINE(int level = 0, Loc loc = Loc::current());

// The number of active levels.
int stackDepth();

} // namespace rt
