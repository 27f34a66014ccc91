// Windows error codes and their texts.
#pragma once

#include <string>

namespace rt::win32 {

// The system's message text for a Windows error code (FormatMessageW, in the language
// of the user's Windows), without the line end Windows puts after it; "Fehler <n>" when
// Windows has no text for the code.
std::string windowsErrorText(int code);

} // namespace rt::win32
