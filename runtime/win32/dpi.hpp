// Display scaling. The program counts in pixels of a screen at 100 % (96 DPI), as it did
// when Windows scaled its windows as pictures; the Windows layer, which draws sharp at
// every scaling, turns those pixels into the monitor's and back.
#pragma once

#include "runtime/win32/windows_api.hpp"

namespace rt::win32 {

constexpr UINT standardDpi = 96;

// The DPI of the primary monitor when the program started (96 at 100 %, 192 at 200 %).
UINT systemDpi();
// The DPI of the monitor the window is on.
UINT windowDpi(HWND window);

// The program's pixels at that DPI, and back.
int toDevice(int programPixels, UINT dpi);
int toProgram(int devicePixels, UINT dpi);

} // namespace rt::win32
