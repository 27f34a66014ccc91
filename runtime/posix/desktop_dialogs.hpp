// The program's dialogs as windows of a graphical desktop session (X11 or Wayland), for a
// program started from a launcher or file manager, where there is no terminal to answer
// on. GTK 3 (libgtk-3.so.0) is loaded when first needed, so that the program starts and
// builds without it.
#pragma once

#include "runtime/posix/dialog_host.hpp"

#include <memory>
#include <string>

namespace rt::posix {

// True when a graphical session is named in the environment (WAYLAND_DISPLAY or DISPLAY).
bool graphicalSessionNamed();

class DesktopDialogs : public DialogHost {
  public:
    // A window bearing the program's name, with the text (which can be selected and
    // copied) and "OK"; for what the program wrote where nobody could see it.
    virtual void showText(const std::string& text) = 0;
};

// Dialog windows on the session's display, or nullptr when GTK cannot be loaded or the
// display cannot be opened. programName is the title of ALERT's window and of showText's
// (message boxes carry the title they are given). The windows carry the German labels
// Windows shows, the default button and icon the style names, answer Esc and the close
// box as the Windows boxes do, and come to the front.
std::unique_ptr<DesktopDialogs> openDesktopDialogs(const std::string& programName);

} // namespace rt::posix
