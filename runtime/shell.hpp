// Starting programs.
#pragma once

#include "runtime/value.hpp"

#include <string_view>

namespace rt {

// RUNSHELL(parameters[, program[, async]]): without a program, the command interpreter
// with the parameters; otherwise the program (looked up as Windows does when it has no
// folder). Unless async is true it waits for the end and returns the exit status; -1
// when the program could not be started.
int RUNSHELL(std::string_view parameters, std::string_view program = "", bool async = false,
             Loc loc = Loc::current());

} // namespace rt
