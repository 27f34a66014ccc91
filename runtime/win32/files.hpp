// Files through CreateFileW: the existence tests, the read modes with their sharing,
// creating for writing, and reading and writing through the program's handle numbers.
// Failures carry the Windows error code (2 missing, 3 folder missing, 5 access denied or
// a folder, 32 sharing violation, ...).
#pragma once

#include "runtime/platform.hpp"

#include <string>

namespace rt::win32 {

bool isFolder(const std::string& path);
// True for anything that exists and is not a folder.
bool isFile(const std::string& path);

// Read access; the sharing comes from the mode's sharing bits:
//   16 (0x10) others may not open the file at all, and the open fails with 32 while
//              another process has it open
//   32 (0x20) others may only read, 48 (0x30) others may only write
//   0, 64     others may read and write (the compatibility mode and "deny none")
// A device or pipe is refused with 5, a name holding a NUL with 123.
OpenResult openForReading(const std::string& path, int mode);

// Creates or truncates a file for writing; others may read it meanwhile. A link (any
// reparse point) of that name is not followed, and a device or a file with further
// hard links is not written: all fail with 5, and nothing is emptied. A name holding a NUL fails with 123.
OpenResult createForWriting(const std::string& path);

long readFrom(int handle, char* buffer, long count, int* osCode);
long writeTo(int handle, const char* data, long count, int* osCode);
bool closeHandle(int handle);

} // namespace rt::win32
