// A seam between two steps of the walk, for tests: it is called when a
// destination folder is open and both sides are listed, before anything in
// it changes, so a test can change the tree at exactly that moment.
#pragma once

#include <string>

namespace rc {

using WalkHook = void (*)(const std::string& destFolder);
void setWalkHook(WalkHook hook);
void callWalkHook(const std::string& destFolder);

} // namespace rc
