#include "runtime/win32/dpi.hpp"

namespace rt::win32 {

UINT systemDpi() {
    const UINT dpi = ::GetDpiForSystem();
    return dpi != 0 ? dpi : standardDpi;
}

UINT windowDpi(HWND window) {
    const UINT dpi = window != nullptr ? ::GetDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : systemDpi();
}

int toDevice(int programPixels, UINT dpi) {
    return ::MulDiv(programPixels, static_cast<int>(dpi), static_cast<int>(standardDpi));
}

int toProgram(int devicePixels, UINT dpi) {
    return ::MulDiv(devicePixels, static_cast<int>(standardDpi), static_cast<int>(dpi));
}

} // namespace rt::win32
