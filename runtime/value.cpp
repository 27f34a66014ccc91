#include "runtime/value.hpp"

#include "runtime/date.hpp"
#include "runtime/error.hpp"
#include "runtime/procedure_stack.hpp"

#include <cmath>

namespace rt {

char Value::typeLetter() const {
    static constexpr char letters[] = {'U', 'C', 'N', 'L', 'D', 'A', 'O', 'B'};
    return letters[data_.index()];
}

ArrayRef makeArray(std::initializer_list<Value> values) {
    return std::make_shared<Array>(values);
}

ArrayRef makeArray(std::size_t size) {
    return std::make_shared<Array>(size);
}

bool exactlyEqual(const Value& a, const Value& b) {
    if (a.typeLetter() != b.typeLetter()) {
        return false;
    }
    switch (a.typeLetter()) {
    case 'U':
        return true;
    case 'C':
        return a.text() == b.text();
    case 'N':
        return a.number() == b.number();
    case 'L':
        return a.logical() == b.logical();
    case 'D':
        return a.date() == b.date();
    case 'A':
        return a.array() == b.array();
    case 'O':
        return a.object() == b.object();
    default:
        return a.block() == b.block();
    }
}

namespace {

// An operator that cannot combine its operands: the error block's answer becomes the
// result (there is nothing to retry and no default outcome).
Value operandError(int genCode, const char* operation, const Value& a, const Value& b) {
    auto error = makeError(genCode, genCode, operation, Value(makeArray({a, b})));
    error->canSubstitute = true;
    return raise(error).value;
}

// A numeric result that is not a finite number is an overflow.
Value checked(double result, const char* operation, const Value& a, const Value& b) {
    if (std::isfinite(result)) {
        return result;
    }
    return operandError(gen::NUMERIC_OVERFLOW, operation, a, b);
}

} // namespace

Value operator+(const Value& a, const Value& b) {
    if (a.isText() && b.isText()) {
        return a.text() + b.text();
    }
    if (a.isNumber() && b.isNumber()) {
        return checked(a.number() + b.number(), "+", a, b);
    }
    if (a.isDate() && b.isNumber()) {
        return addDays(a.date(), static_cast<int>(b.number()));
    }
    if (a.isNumber() && b.isDate()) {
        return addDays(b.date(), static_cast<int>(a.number()));
    }
    return operandError(gen::ARGUMENT, "+", a, b);
}

Value operator-(const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) {
        return checked(a.number() - b.number(), "-", a, b);
    }
    if (a.isDate() && b.isNumber()) {
        return addDays(a.date(), -static_cast<int>(b.number()));
    }
    return operandError(gen::ARGUMENT, "-", a, b);
}

Value operator*(const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) {
        return checked(a.number() * b.number(), "*", a, b);
    }
    return operandError(gen::ARGUMENT, "*", a, b);
}

Value operator/(const Value& a, const Value& b) {
    if (!a.isNumber() || !b.isNumber()) {
        return operandError(gen::ARGUMENT, "/", a, b);
    }
    if (b.number() == 0) {
        return operandError(gen::ZERO_DIVIDE, "/", a, b);
    }
    return checked(a.number() / b.number(), "/", a, b);
}

Value operator%(const Value& a, const Value& b) {
    if (!a.isNumber() || !b.isNumber()) {
        return operandError(gen::ARGUMENT, "%", a, b);
    }
    if (b.number() == 0) {
        return operandError(gen::ZERO_DIVIDE, "%", a, b);
    }
    return checked(std::fmod(a.number(), b.number()), "%", a, b);
}

Value element(const Value& array, int index, Loc loc) {
    trace(loc);
    if (array.isArray()) {
        const auto& elements = *array.array();
        const int size = static_cast<int>(elements.size());
        const int position = index < 0 ? size + index + 1 : index;
        if (position >= 1 && position <= size) {
            return elements[static_cast<std::size_t>(position - 1)];
        }
        return operandError(gen::BOUND, "[]", array, index);
    }
    return operandError(gen::ARGUMENT, "[]", array, index);
}

} // namespace rt
