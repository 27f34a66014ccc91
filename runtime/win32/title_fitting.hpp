// Dialogs that show their title whole. Windows sizes a message box to its text and
// buttons and cuts a longer title at the right edge, so a person would not see where a
// backup goes. These functions widen the box to its title (as far as the work area of its
// monitor allows), move the buttons along, and show the title on one line, shortened in
// the middle of its last path only when even the work area is too narrow.
#pragma once

#include "runtime/win32/windows_api.hpp"

#include <functional>
#include <string>

namespace rt::win32 {

// Fits a laid-out dialog (not yet shown) to its title.
void fitToTitle(HWND dialog, const std::string& title);

// The width the text takes in the window's title bar (the caption font at the window's
// DPI), in pixels of its monitor.
int titleTextWidth(HWND window, const std::wstring& title);

// MessageBoxW with the title shown whole (fitToTitle). onShown, when given, is called with
// the box once it is laid out and fitted, before it takes input (tests press its buttons
// from there).
int fittedMessageBox(HWND owner, const std::wstring& text, const std::string& title, UINT type,
                     const std::function<void(HWND)>& onShown);

} // namespace rt::win32
