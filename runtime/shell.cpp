#include "runtime/shell.hpp"

#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"

#include <string>

namespace rt {

int RUNSHELL(std::string_view parameters, std::string_view program, bool async, Loc loc) {
    trace(loc);
    return platform().run(std::string(program), std::string(parameters), !async);
}

} // namespace rt
