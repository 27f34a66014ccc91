#include "runtime/console_windows.hpp"

#include "runtime/procedure_stack.hpp"

#include <map>
#include <string>

namespace rt {

namespace {

class ConsoleWindow : public Object {
  public:
    explicit ConsoleWindow(std::string cls) : class_(std::move(cls)) {}
    std::string className() const override { return class_; }
    Value get(std::string_view member) override {
        const auto found = members_.find(std::string(member));
        return found == members_.end() ? NIL : found->second;
    }
    void set(std::string_view member, const Value& value) override {
        members_[std::string(member)] = value;
    }
    Value send(std::string_view message, const std::vector<Value>& args) override {
        if (sameName(message, "Create") || sameName(message, "PresSpace")) {
            return NIL;
        }
        if (sameName(message, "isDerivedFrom") && !args.empty() && args[0].isObject()) {
            return isDerivedFrom(args[0].object()->className());
        }
        return Object::send(message, args);
    }

  private:
    std::string class_;
    std::map<std::string, Value> members_;
};

class WindowClass : public Object {
  public:
    explicit WindowClass(std::string name) : name_(std::move(name)) {}
    std::string className() const override { return name_; }
    Value send(std::string_view message, const std::vector<Value>& args) override {
        if (sameName(message, "New")) {
            return Value(std::make_shared<ConsoleWindow>(name_));
        }
        return Object::send(message, args);
    }

  private:
    std::string name_;
};

} // namespace

Value XBPCRT(Loc loc) {
    trace(loc);
    static const Value cls(std::make_shared<WindowClass>("GraphicalConsole"));
    return cls;
}

Value ROOTCRT(Loc loc) {
    trace(loc);
    static const Value cls(std::make_shared<WindowClass>("RootConsole"));
    return cls;
}

} // namespace rt
