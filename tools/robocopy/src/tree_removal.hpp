// Removing an entry of the destination with everything below it.
#pragma once

#include "handle.hpp"

#include <string>

namespace rc {

// Removes "name" (one component) of the open folder "parent" and, for a
// folder, all below it. Symbolic links are removed as links, never followed;
// a mount point or another file system is never entered. A file that is
// "keep" stays, and so do the folders that hold it. The walk down is a loop
// with a stack on the heap and a bounded number of open folders, so no depth
// of tree can exhaust the call stack or the descriptors. Returns 0 or the
// errno value of the first failure.
int removeTree(int parent, const std::string& name, const Identity* keep);

} // namespace rc
