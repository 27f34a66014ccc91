#include "runtime/settings.hpp"

#include "runtime/procedure_stack.hpp"
#include "runtime/text.hpp"

#include <map>

namespace rt {

namespace {

std::map<int, Value> startValues() {
    return {
        {setting::DATEFORMAT, Value("dd.mm.yyyy")},
        {setting::CONSOLE, Value("ON")},
        {setting::ALTERNATE, Value("OFF")},
        {setting::ALTFILE, Value("")},
        {setting::EXTRA, Value(false)},
        {setting::PRINTER, Value("OFF")},
        {setting::CENTURY, Value(true)},
        {setting::SETTING_41, Value(0)},
    };
}

std::map<int, Value>& values() {
    static std::map<int, Value> table = startValues();
    return table;
}

std::map<int, SettingHandler>& handlers() {
    static std::map<int, SettingHandler> table;
    return table;
}

SettingObserver& currentObserver() {
    static SettingObserver current;
    return current;
}

Value change(int number, const Value& value, const std::optional<Value>& additive, Loc loc) {
    trace(loc);
    if (currentObserver()) {
        currentObserver()(number, value, additive);
    }
    Value previous = values()[number];
    if (const auto handler = handlers().find(number); handler != handlers().end()) {
        // The handler may raise; the setting then keeps its value.
        handler->second(value, additive, loc);
    }
    values()[number] = value;
    return previous;
}

} // namespace

Value SET(int number, Loc loc) {
    trace(loc);
    const auto found = values().find(number);
    return found == values().end() ? NIL : found->second;
}

Value SET(int number, const Value& value, Loc loc) {
    return change(number, value, std::nullopt, loc);
}

Value SET(int number, const Value& value, const Value& additive, Loc loc) {
    return change(number, value, additive, loc);
}

void onSetting(int number, SettingHandler handler) {
    handlers()[number] = std::move(handler);
}

void setSettingObserver(SettingObserver observer) {
    currentObserver() = std::move(observer);
}

bool isOn(const Value& v) {
    if (v.isLogical()) {
        return v.logical();
    }
    if (v.isText()) {
        const std::string word = ALLTRIM(v.text());
        return word.size() == 2 && (word[0] == 'O' || word[0] == 'o') &&
               (word[1] == 'N' || word[1] == 'n');
    }
    return false;
}

void resetSettings() {
    values() = startValues();
    currentObserver() = nullptr;
}

} // namespace rt
