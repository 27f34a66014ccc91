// The error system's installation. Until the standard handler is in place an error
// reaches no block and ends the program with a plain message.
#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

void prepareErrorSysConstants() {}

void ERRORSYS() {
    rt::Frame frame{"ERRORSYS"};
}

rt::Value LINESPLIT(const rt::Value&, const rt::Value&, rt::Loc loc) {
    rt::Frame frame{"LINESPLIT", loc};
    return std::string();
}
