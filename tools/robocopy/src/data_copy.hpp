// Copying the data of one open file into another: a clone where the file
// system shares blocks, the kernel's copy_file_range, or read and write,
// holes kept, and the source checked to be still the version it was when the
// copy began.
#pragma once

#include <cerrno>
#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace rc {

// The ways of copying data, fastest first. Each one that a pair of files does
// not offer falls back to the next: clones only exist on file systems that
// share blocks (btrfs, XFS), copy_file_range is refused across file systems
// and by many network mounts (CIFS, NFS).
enum class CopyMethod { clone, range, readWrite };

// The way tried first, for all copies of the process (clone by default); tests
// choose a later one to run the fallbacks a file system would force.
void setFirstCopyMethod(CopyMethod method);

// The error a copy ends with when its source changed while it was copied: the
// file is in use by someone else, as on Windows (ERROR 32), and worth a retry.
inline constexpr int sourceChangedError = EBUSY;

// Copies the data of the regular file "in" to the empty file "out", which ends
// up with the same size and with holes where "in" has them. "before" is the
// fstat of "in" taken before anything was read; if size, modification time or
// change time differ after the copy, the result is sourceChangedError.
// "copied" counts the bytes of data copied. Returns 0 or an errno value.
int copyContents(int in, int out, const struct stat& before, const std::string& source,
                 std::uint64_t& copied);

// A hook that tests install to act between two chunks of a copy: it is called
// after each chunk and returns an errno value to fail with, or 0.
using FaultHook = int (*)(const std::string& source, std::uint64_t copied);
void setFaultHook(FaultHook hook);

} // namespace rc
