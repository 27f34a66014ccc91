// The two folders a job starts from, opened once by the paths the user gave,
// and whether one lies inside the other, decided by device and inode so that
// links and bind mounts cannot hide it.
#pragma once

#include "handle.hpp"

#include <string>
#include <vector>

namespace rc {

struct Roots {
    Fd source;
    FolderState sourceState;
    Fd dest; // the destination, or the deepest folder of its path that exists
    FolderState destState;
    std::vector<std::string> missing; // folders still to make below "dest", outermost first
};

// Opens the source folder (links in the path are followed). Returns 0 or errno.
int openSourceRoot(const std::string& path, Roots& roots);
// Opens the destination, or the deepest folder of its path that exists and
// notes the names still missing. Returns 0 or errno.
int openDestRoot(const std::string& path, Roots& roots);

// How many levels the open folder "inner" (named "innerPath") lies below the
// folder "outer" (0: the same folder), found by going up through ".." and
// comparing device and inode; -1 when "outer" is not above it. A folder that
// may be read but not searched has no way up through "..": its parent is then
// opened by its real path. "error" gets the errno value when the way up could
// not be followed to the top, and the result is then -1 too.
int levelsBelow(int inner, const std::string& innerPath, const Identity& outer, int& error);

} // namespace rc
