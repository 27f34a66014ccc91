// The two console window classes the program can make its application window from: the
// graphical console window (a text screen of rows and columns inside a desktop window)
// and the root console (the console of a text-mode program). Classes are objects: send
// them "New" for a new window; windows take their members before "Create".
#pragma once

#include "runtime/object.hpp"
#include "runtime/value.hpp"

namespace rt {

// XBPCRT(): the graphical console window class. ROOTCRT(): the root console class.
Value XBPCRT(Loc loc = Loc::current());
Value ROOTCRT(Loc loc = Loc::current());

} // namespace rt
