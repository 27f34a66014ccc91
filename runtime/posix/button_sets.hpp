// The buttons of the Windows message-box sets with the German labels Windows shows, and
// how a box answers Esc, its close box and Enter. The terminal dialogs and the desktop
// dialogs both answer by these rules, so a job is confirmed the same way in either.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rt::posix {

struct Button {
    std::string label;
    int result = 0;
};

// The buttons of a button-set code, in their order on the box. An unknown code gives the
// OK box.
std::vector<Button> buttonSet(int buttons);

// The index of the default button (the one Enter presses) from the style; a default
// beyond the last button falls back to the first, as on Windows.
std::size_t defaultIndex(int style, std::size_t buttonCount);

// What Esc and the close box answer: Cancel where the box has it, OK for the OK box.
// Boxes with neither (Yes/No, Abort/Retry/Ignore) cannot be closed that way.
std::optional<int> escapeAnswer(const std::vector<Button>& set);

} // namespace rt::posix
