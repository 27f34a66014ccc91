#include "runtime/console_windows.hpp"

#include "runtime/application.hpp"
#include "runtime/error.hpp"
#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/text.hpp"

#include <string>
#include <utility>
#include <vector>

namespace rt {

namespace {

constexpr const char* GRAPHICAL = "GraphicalConsole";
constexpr const char* ROOT = "RootConsole";

WindowObserver& observer() {
    static WindowObserver o;
    return o;
}

void notify(const std::string& cls, const char* kind, std::string_view name, Value value) {
    if (observer()) {
        observer()(WindowEvent{cls, kind, std::string(name), std::move(value)});
    }
}

Value arrayOf(const std::vector<Value>& values) {
    auto array = makeArray(values.size());
    std::copy(values.begin(), values.end(), array->begin());
    return Value(array);
}

Value argument(const std::vector<Value>& args, std::size_t i) {
    return i < args.size() ? args[i] : NIL;
}

// The class name of an isDerivedFrom argument: a class object or a class name.
std::string classNameOf(const Value& v) {
    if (v.isObject()) {
        return v.object()->className();
    }
    return v.isText() ? v.text() : std::string();
}

ErrorRef argumentError(const std::string& operation, const std::vector<Value>& args) {
    auto error = makeError(gen::ARGUMENT, gen::ARGUMENT, operation, arrayOf(args));
    error->canDefault = true;
    return error;
}

int wholeNumber(const Value& v, int fallback) {
    return v.isNumber() ? static_cast<int>(v.number()) : fallback;
}

// The runtime's own calls here record no source line: the procedure that sent the message
// keeps the line it sent it from.

// Members common to both windows: a table of named values where only the names the class
// knows can be read or set; any other name raises the runtime's unknown-member error.
class ConsoleWindow : public Object {
  public:
    Value get(std::string_view member) override {
        if (Value* slot = find(member)) {
            return *slot;
        }
        return Object::get(member);
    }
    void set(std::string_view member, const Value& value) override {
        notify(className(), "set", member, value);
        if (Value* slot = find(member); slot && !readOnly(member)) {
            *slot = value;
            return;
        }
        Object::set(member, value);
    }
    Value send(std::string_view message, const std::vector<Value>& args) override {
        notify(className(), "send", message, arrayOf(args));
        if (sameName(message, "isDerivedFrom")) {
            return isDerivedFrom(classNameOf(argument(args, 0)));
        }
        if (sameName(message, "className")) {
            return className();
        }
        if (sameName(message, "Create")) {
            // A second Create leaves the window that is already there.
            if (!created_) {
                created_ = create();
            }
            return Value(shared_from_this());
        }
        return answer(message, args);
    }

    bool created() const { return created_; }

  protected:
    void define(std::string name, Value initial, bool readOnly = false) {
        members_.push_back({std::move(name), std::move(initial), readOnly});
    }
    // Makes the window; false when it was not made (the error has been raised).
    virtual bool create() = 0;
    // Messages other than the common ones.
    virtual Value answer(std::string_view message, const std::vector<Value>& args) {
        return Object::send(message, args);
    }

  private:
    struct Member {
        std::string name;
        Value value;
        bool readOnly;
    };
    Value* find(std::string_view name) {
        for (auto& member : members_) {
            if (sameName(member.name, name)) {
                return &member.value;
            }
        }
        return nullptr;
    }
    bool readOnly(std::string_view name) const {
        for (const auto& member : members_) {
            if (sameName(member.name, name)) {
                return member.readOnly;
            }
        }
        return false;
    }

    std::vector<Member> members_;
    bool created_ = false;
};

// What PresSpace answers once the window is there: the surface the text screen is drawn
// on, with the window's cell size.
class PresentationSpace : public Object {
  public:
    PresentationSpace(int rows, int columns) : rows_(rows), columns_(columns) {}
    std::string className() const override { return "PresSpace"; }
    Value get(std::string_view member) override {
        if (sameName(member, "rows")) {
            return rows_;
        }
        if (sameName(member, "columns")) {
            return columns_;
        }
        return Object::get(member);
    }

  private:
    int rows_;
    int columns_;
};

class GraphicalConsole : public ConsoleWindow {
  public:
    GraphicalConsole(const Value& parent, const Value& owner, const Value& position, int rows,
                     int columns) {
        define("parent", parent, true);
        define("owner", owner, true);
        define("position", position, true);
        define("rows", rows, true);
        define("columns", columns, true);
        define("FontWidth", 8);
        define("FontHeight", 16);
        define("title", "");
        define("FontName", "");
    }
    std::string className() const override { return GRAPHICAL; }

  protected:
    bool create() override {
        GraphicalConsoleLayout layout;
        const Value position = get("position");
        // Checked at New: a pair of numbers.
        layout.x = (*position.array())[0].number();
        layout.y = (*position.array())[1].number();
        layout.rows = static_cast<int>(get("rows").number());
        layout.columns = static_cast<int>(get("columns").number());
        layout.fontWidth = wholeNumber(get("FontWidth"), 8);
        layout.fontHeight = wholeNumber(get("FontHeight"), 16);
        const Value title = get("title");
        layout.title = title.isText() ? title.text() : std::string();
        const Value fontName = get("FontName");
        layout.fontName = fontName.isText() ? fontName.text() : std::string();

        auto* host = dynamic_cast<GraphicalConsoleHost*>(&platform());
        auto error = makeError(gen::NO_WINDOW, gen::NO_WINDOW, "Create",
                               Value(makeArray({Value(shared_from_this())})));
        error->canRetry = true;
        error->canDefault = true;
        const Value made = tryOperation(
            error,
            [&]() -> std::optional<Value> {
                if (host && host->createGraphicalConsole(layout)) {
                    return Value(true);
                }
                return std::nullopt;
            },
            Value(false));
        return made.isLogical() && made.logical();
    }
    Value answer(std::string_view message, const std::vector<Value>& args) override {
        if (sameName(message, "PresSpace")) {
            if (!created()) {
                return NIL;
            }
            if (presSpace_.isNil()) {
                presSpace_ = Value(
                    std::make_shared<PresentationSpace>(static_cast<int>(get("rows").number()),
                                                        static_cast<int>(get("columns").number())));
            }
            return presSpace_;
        }
        return ConsoleWindow::answer(message, args);
    }

  private:
    Value presSpace_;
};

// The root console is the terminal on POSIX: there is nothing to make, only to attach.
class RootConsole : public ConsoleWindow {
  public:
    RootConsole() { define("CreateBuffer", false); }
    std::string className() const override { return ROOT; }

  protected:
    bool create() override { return true; }
};

class WindowClass : public Object {
  public:
    explicit WindowClass(std::string name) : name_(std::move(name)) {}
    std::string className() const override { return name_; }
    Value send(std::string_view message, const std::vector<Value>& args) override {
        if (sameName(message, "New")) {
            notify(name_, "new", message, arrayOf(args));
            return name_ == GRAPHICAL ? newGraphical(args) : Value(std::make_shared<RootConsole>());
        }
        if (sameName(message, "className")) {
            return name_;
        }
        return Object::send(message, args);
    }

  private:
    static Value newGraphical(const std::vector<Value>& args) {
        Value parent = argument(args, 0);
        if (parent.isNil()) {
            parent = desktopWindow();
        }
        Value owner = argument(args, 1);
        if (owner.isNil()) {
            owner = parent;
        }
        Value position = argument(args, 2);
        if (position.isNil()) {
            position = Value(makeArray({Value(0), Value(0)}));
        }
        const Value rows = argument(args, 3);
        const Value columns = argument(args, 4);
        const bool positionUsable = position.isArray() && position.array()->size() >= 2 &&
                                    (*position.array())[0].isNumber() &&
                                    (*position.array())[1].isNumber();
        if (!positionUsable || !(rows.isNil() || rows.isNumber()) ||
            !(columns.isNil() || columns.isNumber())) {
            // The default outcome of a window that cannot be described is no window.
            raise(argumentError("New", args));
            return NIL;
        }
        // The position is copied: the caller's array stays the caller's.
        const Value ownPosition(makeArray({(*position.array())[0], (*position.array())[1]}));
        return Value(std::make_shared<GraphicalConsole>(
            parent, owner, ownPosition, wholeNumber(rows, 25), wholeNumber(columns, 80)));
    }

    std::string name_;
};

} // namespace

Value XBPCRT(Loc loc) {
    trace(loc);
    static const Value cls(std::make_shared<WindowClass>(GRAPHICAL));
    return cls;
}

Value ROOTCRT(Loc loc) {
    trace(loc);
    static const Value cls(std::make_shared<WindowClass>(ROOT));
    return cls;
}

void setWindowObserver(WindowObserver o) {
    observer() = std::move(o);
}

} // namespace rt
