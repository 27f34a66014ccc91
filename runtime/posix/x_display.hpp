// What the program asks of the X display: whether Ctrl is held down and the size
// of the screen. The X library (libX11.so.6) is loaded when first needed, so that
// the program starts and builds without it; without the library or a reachable
// display the answers are "not held" and "no size".
#pragma once

#include <optional>
#include <string>

namespace rt::posix {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// The display is named as in $DISPLAY; an empty name means none. Each call opens its
// own connection and closes it again, so a display that went away in between does
// no harm.
bool ctrlHeldOnDisplay(const std::string& displayName);
std::optional<ScreenSize> screenSizeOfDisplay(const std::string& displayName);

} // namespace rt::posix
