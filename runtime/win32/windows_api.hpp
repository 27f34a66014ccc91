// The Windows API for the Windows layer. Every file here includes it instead of
// <windows.h>: the runtime's interface comes first, because <windows.h> defines the
// message-box result codes (IDOK, IDYES, ...) as macros, which would otherwise replace
// the runtime's own constants of the same names (rt::mb).
#pragma once

#include "runtime/platform.hpp"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
