// The fuzz targets' one check: a property that does not hold stops the run with the input kept
// (libFuzzer prints where).
#pragma once

#include <cstdlib>

#define REQUIRE(condition) ((condition) ? void() : std::abort())
