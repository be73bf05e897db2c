// The fuzz targets' one check: a property that does not hold stops the run with the input kept.
#pragma once

#include <cstdio>
#include <cstdlib>

#define REQUIRE(condition)                                                                         \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "failed: %s\n", #condition);                                      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
