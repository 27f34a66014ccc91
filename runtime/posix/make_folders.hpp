// Making a folder with every missing level above it, and removing one empty folder.
#pragma once

#include <string>

namespace rt::posix {

enum class FolderResult { made, existed, failed };

// Makes the folder (a POSIX path) and every missing folder above it. existed when
// it was there already as a folder; failed when a level could not be made (for
// example a file stands in its place).
FolderResult makeFolders(const std::string& path);

enum class RemoveResult { removed, missing, notEmpty, failed };

// Removes one empty folder (a POSIX path), never anything in it: through a handle of
// the folder above it, and never through a link (a link of that name is not removed and
// fails). notEmpty when it holds anything, missing when there is nothing of that name.
RemoveResult removeEmptyFolder(const std::string& path);

} // namespace rt::posix
