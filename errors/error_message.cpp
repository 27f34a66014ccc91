// ERRORMESSAGE: the German text of the error dialog for one error record, lines
// separated by ";". It shows nothing and changes nothing in the record.
#include "app/procedures.hpp"
#include "errors/error_system.hpp"
#include "runtime/output.hpp"
#include "runtime/runtime.hpp"

using namespace rt;

namespace {

// A number as decimal text without leading blanks; another value in its text form.
std::string digits(const Value& v) {
    return v.isNumber() ? LTRIM(STR(v.number())) : VAR2CHAR(v);
}

} // namespace

std::string ERRORMESSAGE(const Value& oError, Loc loc) {
    Frame frame{"ERRORMESSAGE", loc};
    const ErrorSysTexts& t = errorSysTexts();
    Object& e = *oError.object();

    const Value severity = e.get("severity");
    std::string cMessage = severity.isNumber() && severity.number() > 1 ? t.error : t.warning;

    const Value subSystem = e.get("subSystem");
    cMessage += VALTYPE(subSystem) == "C" ? subSystem.text() : std::string("????");

    const Value subCode = e.get("subCode");
    cMessage += VALTYPE(subCode) == "N" ? "/" + LTRIM(STR(subCode.number())) : std::string("/????");

    const Value description = e.get("description");
    if (VALTYPE(description) == "C") {
        cMessage += t.description + description.text();
    }
    const Value fileName = e.get("fileName");
    if (!EMPTY(fileName)) {
        cMessage += t.file + VAR2CHAR(fileName);
    }
    const Value operation = e.get("operation");
    if (!EMPTY(operation)) {
        cMessage += t.operation + VAR2CHAR(operation);
    }
    cMessage += t.threadId + digits(e.get("thread"));

    // A database session's message, wrapped for the dialog.
    const Value cargo = e.get("cargo");
    if (VALTYPE(cargo) == "A" && LEN(cargo) == 3) {
        const Value split = LINESPLIT(element(cargo, 3), Value(50));
        cMessage += ";" + split.text();
    }
    return cMessage;
}
