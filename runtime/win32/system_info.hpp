// What the program asks of Windows about the machine: the local time, the Ctrl key, its
// own path, the desktop, the system's name and version, the loudspeaker, and the
// standard error handle.
#pragma once

#include "runtime/platform.hpp"

#include <string>

namespace rt::win32 {

LocalTime localNow();
// GetAsyncKeyState(VK_CONTROL): either Ctrl key held at this moment.
bool ctrlKeyHeld();
// GetModuleFileNameW of the program, any length.
std::string ownExecutablePath();
// The desktop window's size (the primary screen) in the program's pixels (dpi.hpp).
DesktopSize desktopWindowSize();
// "Windows <major>.<minor> (Build <n>)", with the service pack where there is one. The
// version comes from the system itself (RtlGetVersion), not from the compatibility
// answer Windows gives programs without a manifest.
std::string systemName();
// Beep: frequency in Hz (37 to 32767), duration in eighteenths of a second.
void beep(int frequency, int duration);
// Writes to the standard error handle when the process has one (a program of the
// graphical subsystem has one only when it was started with it redirected).
void writeStandardError(const std::string& text);

} // namespace rt::win32
