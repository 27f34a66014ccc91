// Runtime errors: the error record, the error block in force, and the raising of an
// error with the block's answer (retry, default outcome, substitute, or a break).
#pragma once

#include "runtime/object.hpp"
#include "runtime/value.hpp"

#include <functional>
#include <optional>
#include <string>

namespace rt {

// Generic error codes of the runtime, one table for every place that raises.
namespace gen {
inline constexpr int ARGUMENT = 1;          // an operator or function got values it cannot use
inline constexpr int BOUND = 2;             // array index out of range
inline constexpr int NUMERIC_OVERFLOW = 11; // a numeric result that is not a finite number
inline constexpr int ZERO_DIVIDE = 12;      // division or modulus by zero
inline constexpr int CREATE = 20;           // a file could not be created
inline constexpr int WRITE = 24;            // a work area could not write out or close its data
inline constexpr int NO_AREA = 35;          // no table is open in the selected work area
inline constexpr int NO_METHOD = 41;        // an object has no such member or message
inline constexpr int NO_FUNCTION = 42;      // no procedure of that name
inline constexpr int NO_WINDOW = 60;        // a window could not be made on this platform
inline constexpr int ENGINE = 61;           // a database engine could not be set up
inline constexpr int SHARING = 71;          // a file is in use by another process
inline constexpr int LOCK = 78;             // a lock could not be obtained
// The German description the runtime gives for a code ("" for an unknown code).
std::string description(int genCode);
} // namespace gen

// The error record: an object with the members the error handling reads by name.
class ErrorRecord : public Object {
  public:
    Value genCode = 0;
    Value subSystem = "BASE";
    Value subCode = 0;
    Value severity = 2;
    Value description;
    Value operation = "";
    Value fileName = "";
    Value osCode = 0;
    Value args;
    Value canRetry = false;
    Value canDefault = false;
    Value canSubstitute = false;
    Value cargo;
    Value thread = 1;
    Value tries = 0;

    std::string className() const override { return "Error"; }
    Value get(std::string_view member) override;
    void set(std::string_view member, const Value& value) override;
};

using ErrorRef = std::shared_ptr<ErrorRecord>;

// A new record with the usual members for a generic code: subsystem "BASE", the
// code's description, severity 2 (error), the thread of the program.
ErrorRef makeError(int genCode, int subCode, std::string operation, Value args = NIL);

// ERRORBLOCK(): the block in force. ERRORBLOCK(b): installs b, returns the previous.
Value ERRORBLOCK(Loc loc = Loc::current());
Value ERRORBLOCK(const Value& block, Loc loc = Loc::current());

// What the failed operation does after the error block has answered.
struct Answer {
    enum Kind { Retry, Default, Substitute } kind;
    Value value; // the substituted result
};

// Hands the record to the error block in force and interprets its answer under the
// error-block contract: true retries (only when canRetry), false takes the default
// outcome (only when canDefault), any other value becomes the operation's result (only
// when canSubstitute). An answer that the record does not allow takes the default
// outcome when there is one; otherwise the program ends with exit code 1, as it does
// when no error block is installed at all (a plain message on standard error).
// A break out of the block passes through as an exception.
Answer raise(const ErrorRef& error);

// Runs an operation that can fail: `attempt` returns the result, or std::nullopt after
// having filled the record (osCode, ...); the error is then raised, a retry runs the
// attempt again, the default outcome returns `defaultOutcome`, a substitute returns the
// block's value.
Value tryOperation(const ErrorRef& error, const std::function<std::optional<Value>()>& attempt,
                   const Value& defaultOutcome);

} // namespace rt
