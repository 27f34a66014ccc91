// The fuzz targets' property check: a property that does not hold ends the run, and
// libFuzzer keeps the input that broke it.
#pragma once

#include <cstdlib>

#define REQUIRE(condition)                                                                         \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
