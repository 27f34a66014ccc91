// Making a folder with every missing level above it.
#pragma once

#include <string>

namespace rt::posix {

enum class FolderResult { made, existed, failed };

// Makes the folder (a POSIX path) and every missing folder above it. existed when
// it was there already as a folder; failed when a level could not be made (for
// example a file stands in its place).
FolderResult makeFolders(const std::string& path);

} // namespace rt::posix
