// STANDARDEH: the program's answer to every runtime error. It answers four kinds of error
// at once; otherwise it asks the person at the keyboard, in a console dialog or a message
// box by the application type, and retries, takes the default outcome, breaks out, or
// ends the program after writing the error log.
#include "errors/error_system.hpp"
#include "runtime/output.hpp"
#include "runtime/runtime.hpp"
#include "runtime/session.hpp"

using namespace rt;

namespace {

// Windows message-box codes the handler uses beyond the button sets and answers.
constexpr int ICON_STOP = 16;
constexpr int ICON_EXCLAMATION = 48;
constexpr int ICON_INFORMATION = 64;
constexpr int STYLE_FLAGS = 65536 + 65536;
constexpr int CONFIRM_STYLE = ICON_EXCLAMATION + STYLE_FLAGS; // 131120
constexpr int SHARING_VIOLATION = 32;

// The number of handler activations on the procedure stack.
int nesting = 0;

struct Activation {
    Activation() { ++nesting; }
    ~Activation() { --nesting; }
    Activation(const Activation&) = delete;
    Activation& operator=(const Activation&) = delete;
};

bool isTrue(const Value& v) {
    return v.isLogical() && v.logical();
}

bool isNumber(const Value& v, double n) {
    return v.isNumber() && v.number() == n;
}

bool contains(const Value& text, const char* part) {
    return text.isText() && AT(part, text.text()) > 0;
}

// The immediate answers, without asking anybody; std::nullopt when the error needs the
// dialog.
std::optional<Value> immediateAnswer(Object& e) {
    const Value genCode = e.get("genCode");
    if (isNumber(genCode, gen::NUMERIC_OVERFLOW)) {
        return Value(0);
    }
    if (isNumber(genCode, gen::ZERO_DIVIDE)) {
        // The divisor is the last operand. Without operands there is nothing to test,
        // and the dialog follows.
        const Value operation = e.get("operation");
        const Value args = e.get("args");
        if ((contains(operation, "/") || contains(operation, "%")) && args.isArray() &&
            !args.array()->empty() && isNumber(element(args, -1), 0)) {
            return Value(0);
        }
        return std::nullopt;
    }
    if (isNumber(genCode, gen::SHARING)) {
        if (isNumber(e.get("osCode"), SHARING_VIOLATION) && isTrue(e.get("canDefault"))) {
            return Value(false);
        }
        return std::nullopt;
    }
    if (isNumber(genCode, gen::LOCK) && isTrue(e.get("canDefault"))) {
        return Value(false);
    }
    return std::nullopt;
}

// A database session holding an error of its own puts it into cargo:
// {previous cargo, error code, message}.
void attachSessionError(Object& e) {
    Value oSession = DBSESSION();
    if (oSession.isNil() && ISFUNCTION("DacSession", 67)) {
        const Value oClass = evaluateText("DacSession()");
        oSession = oClass.isObject() ? oClass.object()->send("getDefault", {}) : NIL;
    }
    // Only an object can be asked; anything else in its place is passed over.
    if (!oSession.isObject()) {
        return;
    }
    // Any answer but the number 0 is a pending error, also one that is no number.
    const Value lastError = oSession.object()->send("getLastError", {});
    if (!isNumber(lastError, 0)) {
        const Value previous = e.get("cargo");
        const Value code = oSession.object()->send("getLastError", {});
        const Value message = oSession.object()->send("getLastMessage", {});
        e.set("cargo", Value(makeArray({previous, code, message})));
    }
}

[[noreturn]] void logAndEnd(const Value& oError) {
    ERRORLOG(oError, 2);
    ERRORLEVEL(1);
    QUIT();
}

// The console dialog. Returns the handler's answer, or leaves by a break or the end of
// the program.
Value consoleDialog(const Value& oError, const std::string& cMessage, const Value& aOptions) {
    const ErrorSysTexts& t = errorSysTexts();
    if (!SETAPPWINDOW().isNil()) {
        int nChoice = 0;
        const int nRow = ROW();
        const int nCol = COL();
        while (nChoice == 0) {
            nChoice = ALERT(cMessage, aOptions);
            // No answer can come any more (the input has ended): go on as without a
            // window, rather than asking for ever.
            if (nChoice == 0 && alertCannotBeAnswered()) {
                break;
            }
        }
        SETPOS(nRow, nCol);
        if (nChoice == 0) {
            logAndEnd(oError);
        }
        if (nChoice >= 1 && nChoice <= LEN(aOptions)) {
            const Value chosen = element(aOptions, nChoice);
            if (chosen.text() == t.ignore) {
                return false;
            }
            if (chosen.text() == t.retry) {
                return true;
            }
            if (chosen.text() == t.cancel) {
                BREAK(oError);
            }
            if (chosen.text() == t.endWithLog) {
                ERRORLOG(oError, 2);
            }
        }
    } else {
        ERRORLOG(oError, 2);
    }
    ERRORLEVEL(1);
    QUIT();
}

int iconFor(const Value& severity) {
    if (isNumber(severity, 3) || isNumber(severity, 2)) {
        return ICON_STOP;
    }
    if (isNumber(severity, 1)) {
        return ICON_EXCLAMATION;
    }
    return ICON_INFORMATION;
}

// The message box. Returns the handler's answer, or leaves by a break or the end of the
// program.
Value messageBoxDialog(const Value& oError, std::string cMessage) {
    const ErrorSysTexts& t = errorSysTexts();
    Object& e = *oError.object();
    const bool canDefault = isTrue(e.get("canDefault"));
    const bool canRetry = isTrue(e.get("canRetry"));
    int nButtons = mb::OK;
    if (canDefault && canRetry) {
        nButtons = mb::ABORTRETRYIGNORE;
    } else if (canRetry) {
        nButtons = mb::RETRYCANCEL;
    } else if (canDefault) {
        nButtons = mb::OKCANCEL;
    }

    // The procedures active when the error arose, innermost first: level 0 is this
    // handler, level 1 the standard error block.
    for (int nLevel = 2; !EMPTY(PROCNAME(nLevel)); ++nLevel) {
        cMessage +=
            t.calledFrom + TRIM(PROCNAME(nLevel)) + "(" + LTRIM(STR(PROCLINE(nLevel))) + ")";
    }

    const int nIcon = iconFor(e.get("severity"));
    const int nChoice =
        CONFIRMBOX(NIL, STRTRAN(cMessage, ";", CHR(13)), t.title, nButtons, nIcon + STYLE_FLAGS);
    switch (nChoice) {
    case mb::IDRETRY:
        return true;
    case mb::IDIGNORE:
        return false;
    case mb::IDCANCEL:
        if (CONFIRMBOX(NIL, t.endWithLog, t.title, mb::YESNO, CONFIRM_STYLE) != mb::IDYES) {
            BREAK(oError);
        }
        break;
    default:
        break;
    }
    logAndEnd(oError);
}

} // namespace

Value STANDARDEH(const Value& oError, Loc loc) {
    Frame frame{"STANDARDEH", loc};
    const Activation activation;
    if (nesting > MAX_HANDLER_NESTING) {
        // Errors keep arising while errors are handled. The log is written for this
        // record; should writing it fail as well, the program just ends.
        if (nesting == MAX_HANDLER_NESTING + 1) {
            ERRORLOG(oError, 2);
        }
        ERRORLEVEL(1);
        QUIT();
    }
    const ErrorSysTexts& t = errorSysTexts();
    Object& e = *oError.object();

    if (const auto answer = immediateAnswer(e)) {
        return *answer;
    }

    attachSessionError(e);

    std::string cMessage = ERRORMESSAGE(oError);
    const Value aOptions(makeArray({Value(t.cancel), Value(t.endWithLog)}));
    if (isTrue(e.get("canRetry"))) {
        aOptions.array()->push_back(Value(t.retry));
    }
    if (isTrue(e.get("canDefault"))) {
        aOptions.array()->push_back(Value(t.ignore));
    }

    const Value osCode = e.get("osCode");
    if (!EMPTY(osCode)) {
        const std::string cCode =
            osCode.isNumber() ? LTRIM(STR(osCode.number())) : VAR2CHAR(osCode);
        cMessage += t.osErrorLabel + cCode + ";" + DOSERRORMESSAGE(osCode);
    }

    if (APPTYPE() != 3) {
        return consoleDialog(oError, cMessage, aOptions);
    }
    return messageBoxDialog(oError, cMessage);
}
