#include "runtime/object.hpp"

#include "runtime/error.hpp"
#include "runtime/procedure_stack.hpp"

#include <cctype>

namespace rt {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool Object::isDerivedFrom(std::string_view name) const {
    return sameName(name, className());
}

namespace {
Value noMember(Object& object, std::string_view member) {
    auto error = makeError(gen::NO_METHOD, gen::NO_METHOD, std::string(member),
                           Value(makeArray({Value(object.shared_from_this())})));
    error->canSubstitute = true;
    return raise(error).value;
}
// A message or assignment to a value that is not an object.
Value notAnObject(const Value& target, std::string_view name) {
    auto error =
        makeError(gen::NO_METHOD, gen::NO_METHOD, std::string(name), Value(makeArray({target})));
    error->canSubstitute = true;
    return raise(error).value;
}
} // namespace

Value send(const Value& target, std::string_view message, const std::vector<Value>& args, Loc loc) {
    trace(loc);
    if (!target.isObject()) {
        return notAnObject(target, message);
    }
    return target.object()->send(message, args);
}

void assign(const Value& target, std::string_view member, const Value& value, Loc loc) {
    trace(loc);
    if (!target.isObject()) {
        notAnObject(target, member);
        return;
    }
    target.object()->set(member, value);
}

Value Object::get(std::string_view member) {
    return noMember(*this, member);
}

void Object::set(std::string_view member, const Value&) {
    noMember(*this, member);
}

Value Object::send(std::string_view message, const std::vector<Value>&) {
    return noMember(*this, message);
}

Value Block::eval(const std::vector<Value>& args, std::optional<Loc> loc) const {
    Frame frame{name_, loc};
    return body_(args);
}

BlockRef makeBlock(std::string name, Block::Body body) {
    return std::make_shared<Block>(std::move(name), std::move(body));
}

Value EVAL(const Value& block, const std::vector<Value>& args, Loc loc) {
    trace(loc);
    if (!block.isBlock()) {
        auto error = makeError(gen::ARGUMENT, gen::ARGUMENT, "EVAL", Value(makeArray({block})));
        error->canSubstitute = true;
        return raise(error).value;
    }
    return block.block()->eval(args, loc);
}

void AEVAL(const Value& array, const Value& block, Loc loc) {
    trace(loc);
    if (!array.isArray()) {
        auto error = makeError(gen::ARGUMENT, gen::ARGUMENT, "AEVAL", Value(makeArray({array})));
        error->canSubstitute = true;
        raise(error);
        return;
    }
    // The array may change while the block runs; read the length anew each time.
    const ArrayRef elements = array.array();
    for (std::size_t i = 0; i < elements->size(); ++i) {
        const Value item = (*elements)[i];
        EVAL(block, {item, Value(static_cast<int>(i + 1))}, loc);
    }
}

} // namespace rt
