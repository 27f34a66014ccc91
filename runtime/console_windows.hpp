// The two console window classes the program can make its application window from: the
// graphical console window (a text screen of rows and columns inside a desktop window)
// and the root console (the console of a text-mode program). Classes are objects: send
// them "New" for a new window; windows take their members before "Create".
//
// Graphical console window, class "GraphicalConsole":
//   New(parent, owner, position, rows, columns): parent and owner default to the desktop
//   (the owner to the parent), the position {x, y} to {0, 0}, rows and columns to 25 and
//   80. The position is kept as given, fractions and negative values included.
//   Members FontWidth, FontHeight, title and FontName are read and set by name; they take
//   effect at Create. Create shows the window through the platform's GraphicalConsoleHost;
//   where the platform has none, Create raises a runtime error. PresSpace answers the
//   window's presentation space once it is created, the empty value before.
// Root console, class "RootConsole":
//   New() without arguments; member CreateBuffer (logical, default false) before Create.
//   On POSIX the root console is the terminal the program runs in, so Create only
//   attaches the object to it.
// The two classes are separate: the graphical console window does not derive from the
// root console, so isDerivedFrom(ROOTCRT()) is true for the root console only. The error
// log relies on this to tell a text console (keep echoing to the screen) from a window.
#pragma once

#include "runtime/object.hpp"
#include "runtime/value.hpp"

#include <functional>
#include <string>

namespace rt {

// XBPCRT(): the graphical console window class. ROOTCRT(): the root console class.
Value XBPCRT(Loc loc = Loc::current());
Value ROOTCRT(Loc loc = Loc::current());

// What a graphical console window asks of the screen when it is created.
struct GraphicalConsoleLayout {
    double x = 0;
    double y = 0;
    int rows = 25;
    int columns = 80;
    int fontWidth = 0;
    int fontHeight = 0;
    std::string title;
    std::string fontName;
};

// Implemented by a platform that can show a graphical console window. A platform that
// does not implement it has no graphical console windows.
class GraphicalConsoleHost {
  public:
    virtual ~GraphicalConsoleHost() = default;
    // Shows the window; false when it could not be made.
    virtual bool createGraphicalConsole(const GraphicalConsoleLayout& layout) = 0;
};

// Everything a console window or window class receives, in order: "new" (the class got
// New; value: the arguments as an array), "set" (member assignment; value: the new
// value), "send" (a message; value: the arguments as an array).
struct WindowEvent {
    std::string className; // "GraphicalConsole" or "RootConsole"
    std::string kind;      // "new", "set" or "send"
    std::string name;      // the member or message name as the caller spelt it
    Value value;
};
using WindowObserver = std::function<void(const WindowEvent&)>;

// Installs an observer of window events (nullptr removes it). resetRuntime() removes it.
void setWindowObserver(WindowObserver observer);

} // namespace rt
