#include "app/entry.hpp"
#include "runtime/application.hpp"

int main() {
    return entry(rt::runtimeVersion);
}
