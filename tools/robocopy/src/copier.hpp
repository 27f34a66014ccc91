// Copying one file: the data goes to a temporary name in the target folder and
// is renamed into place only when complete, so the real name never shows a
// half-written file.
#pragma once

#include "data_copy.hpp"
#include "options.hpp"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace rc {

struct CopyRequest {
    std::string source;     // full path of the source file, for messages
    int sourceDir = -1;     // the open source folder
    std::string sourceName; // the file's name in it
    bool followLink = true; // the source name may be a symbolic link to follow
    int destDir = -1;       // the open target folder
    std::string name;       // final name in the target folder
    CopyFlags flags;
    bool asLink = false;       // copy a symbolic link as a link
    mode_t newFileMode = 0644; // mode of the copy when permission bits are not carried over
    mode_t creationMask = 022; // the umask of the process
};

struct CopyOutcome {
    int error = 0;           // errno of the failing step, 0 on success
    std::uint64_t bytes = 0; // bytes written
};

CopyOutcome copyFile(const CopyRequest& request);

// Prefix of the temporary names; leftovers of a killed run carry it.
inline constexpr const char* tempPrefix = ".~copy.";

} // namespace rc
