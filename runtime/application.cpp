#include "runtime/application.hpp"

#include "runtime/console_windows.hpp"
#include "runtime/control.hpp"
#include "runtime/database.hpp"
#include "runtime/dialogs.hpp"
#include "runtime/error.hpp"
#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/settings.hpp"

#include <utility>
#include <vector>

namespace rt {

namespace {

// The desktop window: its size in pixels is all the program asks of it.
class Desktop : public Object {
  public:
    std::string className() const override { return "Desktop"; }
    Value send(std::string_view message, const std::vector<Value>& args) override {
        if (sameName(message, "currentSize")) {
            const auto size = platform().desktopSize();
            return Value(makeArray({Value(size.width), Value(size.height)}));
        }
        return Object::send(message, args);
    }
};

struct State {
    Value appWindow;
    Value desktop;
    std::vector<ProcedureEntry> procedures;
    Procedure exitProcedure;
};

State& state() {
    static State s;
    return s;
}

} // namespace

std::string APPNAME(bool fullPath, Loc loc) {
    trace(loc);
    return fullPath ? platform().executablePath() : platform().startedName();
}

int APPTYPE(Loc loc) {
    trace(loc);
    return platform().appType();
}

int APPKEYSTATE(int key, Loc loc) {
    trace(loc);
    return key == KEY_CTRL && platform().ctrlHeld() ? 1 : 0;
}

Value APPDESKTOP(Loc loc) {
    trace(loc);
    return desktopWindow();
}

Value desktopWindow() {
    if (state().desktop.isNil()) {
        state().desktop = Value(std::make_shared<Desktop>());
    }
    return state().desktop;
}

Value SETAPPWINDOW(Loc loc) {
    trace(loc);
    return state().appWindow;
}

Value SETAPPWINDOW(const Value& window, Loc loc) {
    trace(loc);
    return std::exchange(state().appWindow, window);
}

void registerProcedure(ProcedureEntry entry) {
    for (auto& known : state().procedures) {
        if (sameName(known.name, entry.name)) {
            known = std::move(entry);
            return;
        }
    }
    state().procedures.push_back(std::move(entry));
}

const ProcedureEntry* findProcedure(std::string_view name) {
    for (const auto& known : state().procedures) {
        if (sameName(known.name, name)) {
            return &known;
        }
    }
    return nullptr;
}

bool ISFUNCTION(std::string_view name, int /*kind*/, Loc loc) {
    trace(loc);
    return findProcedure(name) != nullptr;
}

// Version 1.70 of the runtime: the high bits carry the version the program checks.
long runtimeVersion() {
    return 0x01500000L + 70;
}

std::string VERSION(int which) {
    return which == 3 ? "1" : "1.70";
}

std::string OS() {
    return platform().osName();
}

void This_executable_needs_version_1_70_0() {}

long initialisationHook() {
    return 0;
}

void setExitProcedure(Procedure exit) {
    state().exitProcedure = std::move(exit);
}

namespace {

// An alternate output file still open (an error log cut short by an error that ended the
// program) is closed, so that what was written to it is kept and the file is free.
void closeAlternateOutput() {
    if (SET(setting::ALTFILE).isText() && !SET(setting::ALTFILE).text().empty()) {
        SET(setting::ALTFILE, Value(""));
    }
}

} // namespace

int start(const StartRecord& record) {
    for (const auto& module : record.modules) {
        if (module.prepareConstants) {
            module.prepareConstants();
        }
    }
    for (const auto& module : record.modules) {
        for (const auto& procedure : module.procedures) {
            registerProcedure(procedure);
        }
    }
    state().exitProcedure = nullptr;
    if (record.registerExit) {
        record.registerExit();
    }
    if (!state().exitProcedure) {
        state().exitProcedure = record.exit;
    }

    bool quitting = false;
    // A break that no guarded sequence caught ends the procedure the start routine
    // called; QUIT ends the run.
    const auto run = [&quitting](const Procedure& procedure) {
        if (quitting || !procedure) {
            return;
        }
        try {
            procedure();
        } catch (const BreakSignal&) {
        } catch (const QuitSignal&) {
            quitting = true;
        }
    };
    for (const auto& procedure : record.startup) {
        run(procedure);
    }
    run(record.main);
    quitting = false;
    run(state().exitProcedure);
    closeAlternateOutput();
    platform().endOutput();
    return ERRORLEVEL();
}

void resetRuntime() {
    // Observers set by a test see nothing of the reset (what they write to may be gone).
    setSettingObserver(nullptr);
    setWindowObserver(nullptr);
    ERRORBLOCK(NIL);
    closeAlternateOutput();
    ERRORLEVEL(0);
    resetSettings();
    resetDialogs();
    db::reset();
    state() = State{};
}

} // namespace rt
