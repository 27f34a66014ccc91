// The runtime's settings, numbered as the program uses them. SET(n) reads a setting,
// SET(n, v) changes it and returns the previous value.
#pragma once

#include "runtime/value.hpp"

#include <functional>
#include <optional>

namespace rt {

namespace setting {
inline constexpr int DATEFORMAT = 4;  // date format text, e.g. "dd.mm.yyyy"
inline constexpr int CONSOLE = 17;    // console output switch
inline constexpr int ALTERNATE = 18;  // alternate output switch
inline constexpr int ALTFILE = 19;    // alternate output file name
inline constexpr int EXTRA = 21;      // extra output file switch
inline constexpr int PRINTER = 23;    // printer output switch
inline constexpr int CENTURY = 40;    // four-digit years
inline constexpr int SETTING_41 = 41; // kept for the program, without effect of its own
} // namespace setting

Value SET(int number, Loc loc = Loc::current());
Value SET(int number, const Value& value, Loc loc = Loc::current());
// The three-argument form: for the alternate output file the third argument says
// whether to add to an existing file (true) or to create it new (false).
Value SET(int number, const Value& value, const Value& additive, Loc loc = Loc::current());

// A setting whose change has an effect beyond storing the value (opening a file, ...)
// registers a handler; it gets the new value and the third argument, and may raise.
using SettingHandler =
    std::function<void(const Value& newValue, const std::optional<Value>& additive, Loc loc)>;
void onSetting(int number, SettingHandler handler);

// Sees every change of a setting, in order, as it is asked for: the number, the new value
// and the third argument when one was given. For tests that follow what a procedure does
// with the settings; nullptr removes it, and so does resetSettings().
using SettingObserver =
    std::function<void(int number, const Value& newValue, const std::optional<Value>& additive)>;
void setSettingObserver(SettingObserver observer);

// "ON"/"OFF" texts and logicals both count as switches.
bool isOn(const Value& v);

// Puts every setting back to its start value (for a fresh run in the same process).
void resetSettings();

} // namespace rt
