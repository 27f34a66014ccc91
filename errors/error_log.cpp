// ERRORLOG: writes one runtime error to the error log file TVRERROR.LOG (or the first of
// TVRERROR.001 ... TVRERROR.999 that can be opened) in the current folder, through line
// output redirected into the alternate output file, and reports where the log went.
#include "errors/error_system.hpp"
#include "runtime/console_windows.hpp"
#include "runtime/output.hpp"
#include "runtime/runtime.hpp"

using namespace rt;

namespace {

constexpr int LAST_EXTENSION = 999;

// Reports a text to the person at the keyboard: a message box in a graphical
// application; otherwise a tone and a console line, and the standard error channel as
// well when the console output is off.
void report(const std::string& cText) {
    if (APPTYPE() != 3) {
        TONE(660, 5);
        QOUT({Value(cText)});
        if (!isOn(SET(setting::CONSOLE))) {
            OUTERR(CHR(10) + CHR(13) + cText);
        }
    } else {
        MSGBOX(cText);
    }
}

// True when the application window's class derives from the root console class.
bool windowIsRootConsole() {
    if (SETAPPWINDOW().isNil()) {
        return false;
    }
    const Value window = SETAPPWINDOW();
    if (!window.isObject()) {
        return false;
    }
    const Value derived = window.object()->send("isDerivedFrom", {ROOTCRT()});
    return derived.isLogical() && derived.logical();
}

// The member label: "oError:", the name padded with blanks to 13 characters, ":".
std::string label(const char* member) {
    std::string name = member;
    name.resize(13, ' ');
    return "oError:" + name + ":";
}

} // namespace

Value ERRORLOG(const Value& oError, int nStart, Loc loc) {
    Frame frame{"ERRORLOG", loc};
    const ErrorSysTexts& t = errorSysTexts();
    Object& e = *oError.object();

    // While a file is being opened, an error breaks out to the next name.
    const Value bSaved =
        ERRORBLOCK(Value(makeBlock("(B)ERRORLOG@0001", [](const std::vector<Value>& args) -> Value {
            BREAK(args.empty() ? NIL : args[0]);
        })));

    const Value lPrinter = SET(setting::PRINTER);
    const Value lConsole = SET(setting::CONSOLE);
    const Value cAltFile = SET(setting::ALTFILE);
    const Value lAlternate = SET(setting::ALTERNATE);
    const Value lExtra = SET(setting::EXTRA, Value(false));

    SET(setting::PRINTER, Value("OFF"));
    SET(setting::CONSOLE, Value("ON"));
    if (!windowIsRootConsole()) {
        SET(setting::CONSOLE, Value("OFF"));
    }

    int nCounter = 0;
    std::string cExtension = "LOG";
    std::string cLogFile;
    for (bool opened = false; !opened;) {
        cLogFile = "TVRERROR." + cExtension;
        guarded(
            [&] {
                SET(setting::ALTFILE, Value(cLogFile), Value(false));
                SET(setting::ALTERNATE, Value("ON"));
                opened = true;
            },
            [&](const Value&) {
                ++nCounter;
                cExtension = PADL(Value(nCounter), 3, '0');
                if (nCounter > LAST_EXTENSION) {
                    report(t.logImpossible);
                    ERRORLEVEL(1);
                    QUIT();
                }
            });
    }

    // From here on an error goes to the block that was in force on entry.
    ERRORBLOCK(bSaved);

    const std::string cSeparator = REPLICATE("-", 78);
    QOUT({Value(cSeparator)});
    QOUT({Value(t.logHeader + APPNAME(true) + "\"" + t.logDate), Value(DATE()), Value(TIME())});
    QOUT();
    QOUT({Value(t.versionLabel), Value(VERSION() + "." + VERSION(3))});
    QOUT({Value(t.systemLabel), Value(OS())});
    QOUT({Value(cSeparator)});
    QOUT({Value(label("args"))});

    const Value args = e.get("Args");
    if (VALTYPE(args) == "A") {
        AEVAL(args, Value(makeBlock("(B)ERRORLOG@0002", [](const std::vector<Value>& p) {
                  const Value x = p.empty() ? NIL : p[0];
                  const std::string cType = VALTYPE(x);
                  QOUT({Value(SPACE(9)), Value("-> VALTYPE:"), Value(cType)});
                  if (cType == "O") {
                      QQOUT({Value(" CLASS:"), Value(x.object()->className())});
                  } else {
                      QQOUT({Value(" VALUE:"), Value(VAR2CHAR(x))});
                  }
                  return NIL;
              })));
    } else {
        QOUT({Value(SPACE(10)), Value("-> NIL")});
    }

    for (const char* member :
         {"canDefault", "canRetry", "canSubstitute", "cargo", "description", "filename", "genCode",
          "operation", "osCode", "severity", "subCode", "subSystem", "thread", "tries"}) {
        QOUT({Value(label(member)), e.get(member)});
    }
    QOUT({Value(cSeparator)});
    QOUT({Value("CALLSTACK:")});
    QOUT({Value(cSeparator)});

    // The routines above the start level, innermost first, up to the outermost.
    nCounter = nStart;
    while (!EMPTY(PROCNAME(++nCounter))) {
        QOUT({Value(t.logCalledFrom),
              Value(TRIM(PROCNAME(nCounter)) + "(" + LTRIM(STR(PROCLINE(nCounter))) + ")")});
    }

    QOUT();
    SET(setting::ALTFILE, Value(""));
    SET(setting::ALTERNATE, Value("OFF"));
    report(t.logWritten + cLogFile + t.logWrittenEnd);

    SET(setting::PRINTER, lPrinter);
    SET(setting::CONSOLE, lConsole);
    SET(setting::ALTFILE, cAltFile);
    SET(setting::ALTERNATE, lAlternate);
    SET(setting::EXTRA, lExtra);
    return NIL;
}
