// Objects and code blocks of the runtime.
#pragma once

#include "runtime/value.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Base of every runtime object. Members and messages are found by name without regard
// to letter case; an unknown member or message raises a runtime error.
class Object : public std::enable_shared_from_this<Object> {
  public:
    virtual ~Object() = default;
    virtual std::string className() const = 0;
    // True when this object's class is, or derives from, the class of that name.
    virtual bool isDerivedFrom(std::string_view name) const;
    virtual Value get(std::string_view member);
    virtual void set(std::string_view member, const Value& value);
    virtual Value send(std::string_view message, const std::vector<Value>& args);
};

// target:message(args...) and target:member := value for any value. A target that is
// not an object raises the runtime's unknown-member error instead of failing in C++;
// the caller's line is recorded on the procedure stack.
Value send(const Value& target, std::string_view message, const std::vector<Value>& args = {},
           Loc loc = Loc::current());
void assign(const Value& target, std::string_view member, const Value& value,
            Loc loc = Loc::current());

// Case-insensitive comparison of ASCII names, as member and procedure look-ups use it.
bool sameName(std::string_view a, std::string_view b);

// A code block: a function of its parameters together with the name its activation
// shows on the procedure stack ("(B)", the defining procedure, "@" and four digits).
class Block {
  public:
    using Body = std::function<Value(const std::vector<Value>&)>;
    Block(std::string name, Body body) : name_(std::move(name)), body_(std::move(body)) {}
    const std::string& name() const { return name_; }
    // Runs the body as an activation of its own on the procedure stack. `loc` is the
    // place of the call, shown as the caller's line; the runtime passes none when it
    // calls a block on its own (the error block), so the caller keeps its line.
    Value eval(const std::vector<Value>& args, std::optional<Loc> loc = Loc::current()) const;

  private:
    std::string name_;
    Body body_;
};

BlockRef makeBlock(std::string name, Block::Body body);

// EVAL(block, args...): runs a code block with the given arguments.
Value EVAL(const Value& block, const std::vector<Value>& args = {}, Loc loc = Loc::current());

// AEVAL(array, block): runs the block for each element with the element and its
// 1-based index, in order.
void AEVAL(const Value& array, const Value& block, Loc loc = Loc::current());

} // namespace rt
