#include "runtime/error.hpp"

#include "runtime/control.hpp"
#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/text.hpp"

#include <array>
#include <utility>

namespace rt {

std::string gen::description(int genCode) {
    static const std::pair<int, const char*> table[] = {
        {ARGUMENT, "Argumentfehler"},
        {BOUND, "Bereichsfehler"},
        {NUMERIC_OVERFLOW, "Numerischer Überlauf"},
        {ZERO_DIVIDE, "Division durch Null"},
        {CREATE, "Fehler beim Erzeugen der Datei"},
        {WRITE, "Schreibfehler"},
        {NO_AREA, "Arbeitsbereich nicht belegt"},
        {NO_METHOD, "Unbekannte Methode"},
        {NO_FUNCTION, "Unbekannte Funktion"},
        {NO_WINDOW, "Fenster kann nicht erzeugt werden"},
        {ENGINE, "Database-Engine fehlerhaft"},
        {SHARING, "Datei wird von einem anderen Prozess benutzt"},
        {LOCK, "Sperre nicht möglich"},
    };
    for (const auto& [code, text] : table) {
        if (code == genCode) {
            return rt::text(text);
        }
    }
    return "";
}

namespace {

// The members in the order the error log lists them; "args" first.
using Member = Value ErrorRecord::*;
constexpr std::array<std::pair<const char*, Member>, 15> members{{
    {"args", &ErrorRecord::args},
    {"canDefault", &ErrorRecord::canDefault},
    {"canRetry", &ErrorRecord::canRetry},
    {"canSubstitute", &ErrorRecord::canSubstitute},
    {"cargo", &ErrorRecord::cargo},
    {"description", &ErrorRecord::description},
    {"fileName", &ErrorRecord::fileName},
    {"genCode", &ErrorRecord::genCode},
    {"operation", &ErrorRecord::operation},
    {"osCode", &ErrorRecord::osCode},
    {"severity", &ErrorRecord::severity},
    {"subCode", &ErrorRecord::subCode},
    {"subSystem", &ErrorRecord::subSystem},
    {"thread", &ErrorRecord::thread},
    {"tries", &ErrorRecord::tries},
}};

Member findMember(std::string_view name) {
    for (const auto& [memberName, member] : members) {
        if (sameName(name, memberName)) {
            return member;
        }
    }
    return nullptr;
}

Value& currentBlock() {
    static Value block;
    return block;
}

} // namespace

Value ErrorRecord::get(std::string_view member) {
    if (const Member m = findMember(member)) {
        return this->*m;
    }
    return Object::get(member);
}

void ErrorRecord::set(std::string_view member, const Value& value) {
    if (const Member m = findMember(member)) {
        this->*m = value;
        return;
    }
    Object::set(member, value);
}

ErrorRef makeError(int genCode, int subCode, std::string operation, Value args) {
    auto error = std::make_shared<ErrorRecord>();
    error->genCode = genCode;
    error->subCode = subCode;
    error->description = gen::description(genCode);
    error->operation = std::move(operation);
    error->args = std::move(args);
    return error;
}

Value ERRORBLOCK(Loc loc) {
    trace(loc);
    return currentBlock();
}

Value ERRORBLOCK(const Value& block, Loc loc) {
    trace(loc);
    return std::exchange(currentBlock(), block);
}

namespace {

// No block to ask, or an answer the failed operation cannot take: the program ends.
[[noreturn]] void endWithPlainMessage(const ErrorRecord& error) {
    std::string message = "Fehler";
    if (error.subSystem.isText()) {
        message += " " + error.subSystem.text();
    }
    if (error.genCode.isNumber()) {
        message += "/" + LTRIM(STR(error.genCode.number()));
    }
    if (error.description.isText()) {
        message += " " + error.description.text();
    }
    if (error.operation.isText() && !error.operation.text().empty()) {
        message += " (" + error.operation.text() + ")";
    }
    platform().stdErrWrite(message + "\n");
    ERRORLEVEL(1);
    QUIT();
}

bool flag(const Value& v) {
    return v.isLogical() && v.logical();
}

} // namespace

Answer raise(const ErrorRef& error) {
    error->tries = error->tries.isNumber() ? error->tries.number() + 1 : 1;
    const Value block = currentBlock();
    if (!block.isBlock()) {
        endWithPlainMessage(*error);
    }
    // The block is called by the runtime, not from a line of the failed procedure: that
    // procedure's level keeps the line it was at.
    const Value answer = block.block()->eval({Value(error)}, std::nullopt);
    if (answer.isLogical() && answer.logical() && flag(error->canRetry)) {
        return {Answer::Retry, NIL};
    }
    if (answer.isLogical() && !answer.logical() && flag(error->canDefault)) {
        return {Answer::Default, NIL};
    }
    if (flag(error->canSubstitute)) {
        return {Answer::Substitute, answer};
    }
    if (flag(error->canDefault)) {
        return {Answer::Default, NIL};
    }
    endWithPlainMessage(*error);
}

Value tryOperation(const ErrorRef& error, const std::function<std::optional<Value>()>& attempt,
                   const Value& defaultOutcome) {
    for (;;) {
        if (auto result = attempt()) {
            return *result;
        }
        const Answer answer = raise(error);
        if (answer.kind == Answer::Default) {
            return defaultOutcome;
        }
        if (answer.kind == Answer::Substitute) {
            return answer.value;
        }
    }
}

} // namespace rt
