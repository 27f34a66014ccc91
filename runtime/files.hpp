// Files: low-level open, read and close, and the existence test.
#pragma once

#include "runtime/value.hpp"

#include <string>
#include <string_view>

namespace rt {

namespace fo {
inline constexpr int READ = 0;       // read access, others may share the file
inline constexpr int EXCLUSIVE = 16; // read access, no other process may have it open
} // namespace fo

// FOPEN(name, mode): a handle, or -1 when the file cannot be opened (FERROR tells why).
int FOPEN(std::string_view name, int mode = fo::READ, Loc loc = Loc::current());
// FREAD(handle, buffer, count): reads up to count bytes into the front of the buffer
// (which must hold at least count bytes) and returns the number read.
int FREAD(int handle, std::string& buffer, int count, Loc loc = Loc::current());
bool FCLOSE(int handle, Loc loc = Loc::current());
// The operating-system code of the last file operation; 0 after success.
int FERROR();

// FEXISTS(name[, attribute]): with "D" true when a folder of that name exists, without
// it when a file of that name exists.
bool FEXISTS(std::string_view name, std::string_view attribute = "", Loc loc = Loc::current());

} // namespace rt
