// The database session in use, classes and procedures found by name at run time, and
// the operating system's error texts.
#pragma once

#include "runtime/value.hpp"

#include <string>
#include <string_view>

namespace rt {

// DBSESSION(): the database session in use, or the empty value when none was set.
Value DBSESSION(Loc loc = Loc::current());
// Makes `session` the session in use (the empty value: none); returns the previous one.
Value setDbSession(const Value& session);

// Makes a class known by name, so that ISFUNCTION finds it and evaluating "Name()" gives
// the class object, as a class function does.
void registerClass(const std::string& name, const Value& classObject);

// Evaluates an expression text at run time. Understood is a call without arguments of a
// procedure or class known by name, "Name()" (blanks allowed around the parts); its
// result is the value. An unknown name raises "unknown function" (42), any other text an
// argument error; the error block's answer is then the value.
Value evaluateText(std::string_view expression, Loc loc = Loc::current());

// DOSERRORMESSAGE(code): the operating system's own text for an error code; a value that
// is no whole 32-bit number is no code the system knows, and has the empty text.
std::string DOSERRORMESSAGE(const Value& osCode, Loc loc = Loc::current());

} // namespace rt
