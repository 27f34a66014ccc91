// Copying one file: the data goes to a temporary name in the target folder and
// is renamed into place only when complete, so the real name never shows a
// half-written file.
#pragma once

#include "options.hpp"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace rc {

struct CopyRequest {
    std::string source;  // full path of the source file
    std::string destDir; // full path of the target folder
    std::string name;    // final name in the target folder
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

// Copies the data of "in" to "out" up to "size" bytes or the end of "in",
// with copy_file_range when "useRange" is set (falling back to read and write
// where the kernel refuses it). Returns 0 or an errno value.
int copyData(int in, int out, std::uint64_t size, bool useRange, const std::string& source,
             std::uint64_t& copied);

// Prefix of the temporary names; leftovers of a killed run carry it.
inline constexpr const char* tempPrefix = ".~copy.";

// A hook that tests install to make a copy fail after some data was written:
// it is called after each chunk and returns an errno value to fail with, or 0.
using FaultHook = int (*)(const std::string& source, std::uint64_t copied);
void setFaultHook(FaultHook hook);

} // namespace rc
