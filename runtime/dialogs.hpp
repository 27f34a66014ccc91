// Modal dialogs. Button, icon and answer codes are those of the Windows message box.
#pragma once

#include "runtime/value.hpp"

#include <string_view>

namespace rt {

// MSGBOX(text): a message the user acknowledges.
void MSGBOX(std::string_view text, Loc loc = Loc::current());

// CONFIRMBOX(owner, text, title, buttons, style): the answer code of the pressed
// button. The owner is a window object or the empty value.
int CONFIRMBOX(const Value& owner, std::string_view text, std::string_view title, int buttons,
               int style, Loc loc = Loc::current());

// ALERT(text, options): ";" in the text breaks lines; the 1-based choice, or 0 when the
// dialog was closed without one.
int ALERT(std::string_view text, const Value& options, Loc loc = Loc::current());

// True once an ALERT has found that no answer can ever come (its input has ended), so
// that code which asks again can stop asking.
bool alertCannotBeAnswered();
void resetDialogs();

// TONE(frequency, duration in eighteenths of a second).
void TONE(int frequency, int duration, Loc loc = Loc::current());

} // namespace rt
