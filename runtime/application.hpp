// The running program: its name, type, keyboard and desktop, the procedures known by
// name, and the start routine that drives a run.
#pragma once

#include "runtime/object.hpp"
#include "runtime/value.hpp"

#include <functional>
#include <string>
#include <vector>

namespace rt {

// APPNAME(): the executable's file name without folder, as the program was started (a
// link's name); APPNAME(true): the full path of the program file.
std::string APPNAME(bool fullPath = false, Loc loc = Loc::current());
// APPTYPE(): 3 graphical application, 1 or 2 text console.
int APPTYPE(Loc loc = Loc::current());
// APPKEYSTATE(key): 1 while the key is held down, 0 otherwise. Keys are 0x10000 plus the
// Windows virtual-key code; only Ctrl (65553) is known.
inline constexpr int KEY_CTRL = 65553;
int APPKEYSTATE(int key, Loc loc = Loc::current());
// APPDESKTOP(): the desktop window object (message currentSize: {width, height}).
Value APPDESKTOP(Loc loc = Loc::current());
// The same object for the runtime's own use: records no source line on the procedure stack.
Value desktopWindow();
// SETAPPWINDOW(): the registered application window or the empty value;
// SETAPPWINDOW(w): registers w and returns the previous one.
Value SETAPPWINDOW(Loc loc = Loc::current());
Value SETAPPWINDOW(const Value& window, Loc loc = Loc::current());

// Procedures known by name.
struct ProcedureEntry {
    std::string name;
    int parameters = 0;
    std::function<Value(const std::vector<Value>&)> call;
};
void registerProcedure(ProcedureEntry entry);
// The procedure of that name (letter case ignored), or nullptr.
const ProcedureEntry* findProcedure(std::string_view name);
// ISFUNCTION(name, kind): true when a procedure of that name can be called.
bool ISFUNCTION(std::string_view name, int kind, Loc loc = Loc::current());

// The runtime's version number and build.
long runtimeVersion();
std::string VERSION(int which = 0);
std::string OS();
// The marker every program calls once to state the runtime version it was built for.
void This_executable_needs_version_1_70_0();

// The start record a program hands to the start routine.
using Procedure = std::function<void()>;
struct Module {
    std::string name;
    Procedure prepareConstants;
    std::vector<ProcedureEntry> procedures;
};
struct StartRecord {
    std::vector<Module> modules;
    long parameters[3] = {0, 0, 0};
    // Registers the exit procedure with setExitProcedure().
    Procedure registerExit;
    std::vector<Procedure> startup;
    Procedure main;
    Procedure exit;
    long initHook = 0;
};
void setExitProcedure(Procedure exit);

// The value the runtime gives for its own initialisation, handed back in the record.
long initialisationHook();

// The start routine: prepares every module's constants, registers the procedures known
// by name and the exit procedure, runs the start-up procedures and the main procedure
// once each and in order, then the exit procedure once; returns the exit code.
// A break that no guarded sequence catches ends the procedure it was raised in (the
// one the start routine called) and the run goes on with the next; QUIT skips the
// remaining procedures.
int start(const StartRecord& record);

// Forgets everything a run left in the runtime (settings, error block, procedures,
// application window, exit code, database engines and work areas, window observer) and
// closes an alternate output file left open: for tests that run the program more than
// once. Needs the platform the run used.
void resetRuntime();

} // namespace rt
