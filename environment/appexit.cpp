#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

void prepareAppExitConstants() {}

void APPEXIT() {
    rt::Frame frame{"APPEXIT"};
}
