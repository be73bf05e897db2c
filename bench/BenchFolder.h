// A scratch folder for a benchmark, in $TMPDIR (default /tmp).
#pragma once

#include <cstdlib>
#include <stdexcept>
#include <string>

inline std::string MakeBenchFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/hanavo-bench-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder in " + pattern);
    return pattern;
}
