#pragma once
// Sizes of the long-running tests, taken from the environment so that a
// longer run needs no rebuild.
#include <cstdlib>

namespace knotlens_test {

// The positive whole number in environment variable `name`, else `fallback`.
inline long envCount(const char* name, long fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    const long value = std::strtol(text, nullptr, 10);
    return value > 0 ? value : fallback;
}

}  // namespace knotlens_test
