// Path text handling and name matching.
#pragma once

#include <string>
#include <string_view>

namespace rc {

// Turns every "\" into "/".
std::string toSlashes(std::string_view path);

// Makes a path absolute against the working folder and folds it lexically:
// repeated "/" become one, "." parts go, ".." removes the part before it.
// The result has no trailing "/" except for the root itself.
std::string absolutePath(std::string_view path);

// Joins a folder and a name with exactly one "/".
std::string joinPath(std::string_view dir, std::string_view name);

// The folder as shown in output: absolute with one trailing "/".
std::string displayDir(std::string_view absolute);

// True for "C:", "C:\x" and "C:x" (a folder relative to that drive's current
// one), which name nothing on this system; never taken as a folder named "C:...".
bool hasDriveLetter(std::string_view path);

// True for "\\\\server\\share" (two separators first, either way round): a network
// share, which this system reaches only through a mount, never "/server/share".
bool isNetworkPath(std::string_view path);

// Wildcard match of a whole name: "*" is any run of characters, "?" one
// character, letters compare without regard to case (ASCII). A pattern that ends
// in ".*" also matches the name without that extension, so "*.*" matches all.
bool matchName(std::string_view pattern, std::string_view name);

// True when "path" equals "root" or lies below it (both absolute and folded).
bool isWithin(std::string_view path, std::string_view root);

} // namespace rc
