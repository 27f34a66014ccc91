// The program's dialogs as Windows shows them: message boxes (MessageBoxW, codes as
// numbers) and ALERT, a dialog made in memory whose buttons carry the option texts.
#pragma once

#include "runtime/win32/windows_api.hpp"

#include <functional>
#include <string>
#include <vector>

namespace rt::win32 {

// MessageBoxW with the type (button set + icon + default button + flags) as given, its
// title shown whole on one line (title_fitting.hpp). Returns the code of the button
// pressed. onShown as for alertDialog.
int messageBox(HWND owner, const std::string& text, const std::string& title, UINT type,
               const std::function<void(HWND)>& onShown = {});

// The text with every ";" as a line break, one button per option (in order, the first
// one the default for Enter), the title shown whole as in a message box. Returns the 1-based
// position of the button pressed, 0 when the dialog is closed without a choice (Esc or the close
// box), -1 when it could not be shown. onShown, when given, is called with the dialog window once
// it is laid out and before it takes input (tests press its buttons from there).
int alertDialog(HWND owner, const std::string& title, const std::string& text,
                const std::vector<std::string>& options,
                const std::function<void(HWND)>& onShown = {});

// The control id of the button of option i (0-based) in the alert dialog.
int alertButtonId(std::size_t option);

} // namespace rt::win32
