#include "app/procedures.hpp"
#include "runtime/runtime.hpp"

void prepareAppSysConstants() {}

void APPSYS() {
    rt::Frame frame{"APPSYS"};
}
