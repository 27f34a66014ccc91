// Paths longer than Windows' old limit of 260 characters. The program's manifest declares
// it long-path aware, but Windows honours that only where long paths are switched on for
// the whole system; a path given the "\\?\" prefix is taken at any length (up to 32,767
// characters) everywhere.
#pragma once

#include <string>
#include <string_view>

namespace rt::win32 {

// The path (UTF-8) as a Windows file function takes it (UTF-16). A path that is short
// when made absolute stays as it is; a longer one is made absolute (GetFullPathNameW:
// "/" becomes "\", "." and ".." are resolved, as Windows does without the prefix) and
// gets "\\?\", or "\\?\UNC\" for a path on a server. One that has a prefix keeps it.
std::wstring systemPath(std::string_view path);

} // namespace rt::win32
