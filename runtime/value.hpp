// The runtime's values: text, number, logical, date, array, object, code block and
// the empty value (NIL). Arrays, objects and code blocks are shared references, as in
// the language the program is written in: copying a Value copies the reference.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <source_location>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rt {

using Loc = std::source_location;

class Value;
class Object;
class Block;

using Array = std::vector<Value>;
using ArrayRef = std::shared_ptr<Array>;
using ObjectRef = std::shared_ptr<Object>;
using BlockRef = std::shared_ptr<Block>;

struct Nil {
    bool operator==(const Nil&) const = default;
};

// A calendar date; the empty date has year 0.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool empty() const { return year == 0; }
    bool operator==(const Date&) const = default;
};

class Value {
  public:
    Value() = default;
    Value(Nil) {}
    Value(const char* text) : data_(std::string(text)) {}
    Value(std::string text) : data_(std::move(text)) {}
    Value(std::string_view text) : data_(std::string(text)) {}
    Value(double number) : data_(number) {}
    Value(int number) : data_(static_cast<double>(number)) {}
    Value(long number) : data_(static_cast<double>(number)) {}
    Value(long long number) : data_(static_cast<double>(number)) {}
    Value(bool logical) : data_(logical) {}
    Value(Date date) : data_(date) {}
    Value(ArrayRef array) : data_(std::move(array)) {}
    Value(ObjectRef object) : data_(std::move(object)) {}
    Value(BlockRef block) : data_(std::move(block)) {}
    template <class T>
    requires std::is_base_of_v<Object, T> Value(std::shared_ptr<T> object)
        : data_(ObjectRef(std::move(object))) {}

    bool isNil() const { return std::holds_alternative<Nil>(data_); }
    bool isText() const { return std::holds_alternative<std::string>(data_); }
    bool isNumber() const { return std::holds_alternative<double>(data_); }
    bool isLogical() const { return std::holds_alternative<bool>(data_); }
    bool isDate() const { return std::holds_alternative<Date>(data_); }
    bool isArray() const { return std::holds_alternative<ArrayRef>(data_); }
    bool isObject() const { return std::holds_alternative<ObjectRef>(data_); }
    bool isBlock() const { return std::holds_alternative<BlockRef>(data_); }

    // Accessors for a value of known type; they throw std::bad_variant_access otherwise,
    // which is a fault of the program's own code, not a runtime error.
    const std::string& text() const { return std::get<std::string>(data_); }
    double number() const { return std::get<double>(data_); }
    bool logical() const { return std::get<bool>(data_); }
    Date date() const { return std::get<Date>(data_); }
    const ArrayRef& array() const { return std::get<ArrayRef>(data_); }
    const ObjectRef& object() const { return std::get<ObjectRef>(data_); }
    const BlockRef& block() const { return std::get<BlockRef>(data_); }

    // The one-letter type: U empty, C text, N number, L logical, D date, A array,
    // O object, B code block.
    char typeLetter() const;

  private:
    std::variant<Nil, std::string, double, bool, Date, ArrayRef, ObjectRef, BlockRef> data_;
};

inline const Value NIL{};

// A new array holding the given values.
ArrayRef makeArray(std::initializer_list<Value> values = {});
ArrayRef makeArray(std::size_t size);

// Exact equality as the language's == operator tests it for equal types: texts byte
// for byte, numbers by value, references by identity. Values of different types are
// unequal.
bool exactlyEqual(const Value& a, const Value& b);

// Operators. A combination the language does not define (adding a text to the empty
// value, dividing by zero, ...) raises a runtime error through the error block in
// force, and the operation then takes the block's answer.
Value operator+(const Value& a, const Value& b);
Value operator-(const Value& a, const Value& b);
Value operator*(const Value& a, const Value& b);
Value operator/(const Value& a, const Value& b);
Value operator%(const Value& a, const Value& b);

// Array element by 1-based index; -1 is the last element. An index out of range
// raises a runtime error.
Value element(const Value& array, int index, Loc loc = Loc::current());

} // namespace rt
