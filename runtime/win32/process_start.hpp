// Starting programs with CreateProcessW, and waiting for them with the program's windows
// kept responsive.
#pragma once

#include <string>

namespace rt::win32 {

// The command interpreter: COMSPEC, or cmd.exe in the system folder when COMSPEC is not
// set.
std::wstring commandInterpreter();

// The command line for a program and its parameter text: the program's name in double
// quotes, a blank and the parameters as they are (no blank and nothing after the name
// when the parameters are empty).
std::wstring commandLine(const std::wstring& program, const std::wstring& parameters);

// program empty: the command interpreter with the parameters ("/C MD ..."). Otherwise the
// program, found by Windows' own search when it has no folder (the program's own folder,
// the current folder, the system folders, PATH; ".exe" added when it has no extension).
// The started program gets a console of its own if it is a console program. wait: waits
// for its end, handling the messages of this program's windows meanwhile, and returns
// its exit status; otherwise returns 0 once it runs. -1 when it could not be started.
int startProgram(const std::string& program, const std::string& parameters, bool wait);

} // namespace rt::win32
