#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

void prepareDbeSysConstants() {}

void DBESYS() {
    rt::Frame frame{"DBESYS"};
}
