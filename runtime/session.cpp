#include "runtime/session.hpp"

#include "runtime/application.hpp"
#include "runtime/error.hpp"
#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/text.hpp"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <utility>

namespace rt {

namespace {

Value& currentSession() {
    static Value session;
    return session;
}

bool nameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The procedure name of "Name()", or the empty text when the expression is not of that
// form.
std::string calledName(std::string_view expression) {
    const std::string text = ALLTRIM(expression);
    std::size_t end = 0;
    while (end < text.size() && nameCharacter(text[end])) {
        ++end;
    }
    if (end == 0 || std::isdigit(static_cast<unsigned char>(text[0])) != 0) {
        return "";
    }
    const std::string rest = ALLTRIM(std::string_view(text).substr(end));
    if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')' ||
        ALLTRIM(std::string_view(rest).substr(1, rest.size() - 2)) != "") {
        return "";
    }
    return text.substr(0, end);
}

} // namespace

Value DBSESSION(Loc loc) {
    trace(loc);
    return currentSession();
}

Value setDbSession(const Value& session) {
    return std::exchange(currentSession(), session);
}

void registerClass(const std::string& name, const Value& classObject) {
    registerProcedure({name, 0, [classObject](const std::vector<Value>&) { return classObject; }});
}

Value evaluateText(std::string_view expression, Loc loc) {
    trace(loc);
    const std::string name = calledName(expression);
    if (name.empty()) {
        auto error = makeError(gen::ARGUMENT, gen::ARGUMENT, "&",
                               Value(makeArray({Value(std::string(expression))})));
        error->canSubstitute = true;
        return raise(error).value;
    }
    if (const ProcedureEntry* procedure = findProcedure(name)) {
        // A copy: the procedure may make further names known while it runs.
        const auto call = procedure->call;
        return call({});
    }
    auto error = makeError(gen::NO_FUNCTION, gen::NO_FUNCTION, name, Value(makeArray()));
    error->canSubstitute = true;
    return raise(error).value;
}

std::string DOSERRORMESSAGE(const Value& osCode, Loc loc) {
    trace(loc);
    // Codes are 32-bit (Windows gives them unsigned); anything else is no code at all.
    const double n = osCode.isNumber() ? osCode.number() : 0.5;
    if (n != std::trunc(n) || n < INT32_MIN || n > UINT32_MAX) {
        return {};
    }
    const int code = n < 0 ? static_cast<int>(n) : static_cast<int>(static_cast<std::uint32_t>(n));
    return platform().osErrorMessage(code);
}

} // namespace rt
