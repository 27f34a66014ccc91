// The walk recurses once per folder level (up to the deepest level it
// enters), so it runs on a thread whose stack is sized for that depth rather
// than on whatever stack the caller happens to have.
#pragma once

#include <cstddef>
#include <functional>

namespace rc {

// Runs "work" on a thread with a stack of "stackBytes" and waits for it. The
// stack is reserved, not used: only the pages the work touches cost memory.
// Falls back to running it here when no such thread can be made.
void runWithStack(std::size_t stackBytes, const std::function<void()>& work);

} // namespace rc
