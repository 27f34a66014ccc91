// Files for the program: existence checks, the two read modes, creating for
// writing, and plain reading and writing through handles (file descriptors).
// Paths may use "\" as a folder separator. Failures carry Windows error codes
// (see os_errors.hpp).
#pragma once

#include "runtime/platform.hpp"

#include <string>

namespace rt::posix {

bool isFolder(const std::string& path);
// True for anything that exists and is not a folder.
bool isFile(const std::string& path);

// Only plain files are opened: a folder, a FIFO or a device fails with 5, without
// waiting (nothing can block the open). A path holding a NUL fails with 123.
//
// mode 16 ("deny all sharing" on Windows): fails with 2 when the file is missing,
// 5 when it is a folder, and 32 (sharing violation) while another process has it
// open or holds an advisory lock on it; on success the handle holds an exclusive
// advisory lock (flock) until it is closed.
// Any other mode: plain read access with a shared advisory lock when one can be had
// (when not, the file is opened all the same).
OpenResult openForReading(const std::string& path, int mode);

// Creates or truncates a file for writing (permissions 0644 before the umask). Fails
// with 5 when a folder, a FIFO or a device has that name and 3 when the folder it goes
// into is missing; a symbolic link of that name is never followed and fails (with the
// wrapped ELOOP), so the file it points to is left as it is; a file with further hard
// links fails with 5 as well, untouched.
OpenResult createForWriting(const std::string& path);

long readFrom(int handle, char* buffer, long count, int* osCode);
long writeTo(int handle, const char* data, long count, int* osCode);
bool closeHandle(int handle);

} // namespace rt::posix
