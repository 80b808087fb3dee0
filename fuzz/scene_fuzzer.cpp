// libFuzzer entry points: the knotlens module is linked in and loaded into
// the embedded host once; every input is played on a fresh scene and the
// overlay's invariants are checked after every frame (fuzz/decoder.h).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/decoder.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    std::string error;
    if (!scenefuzz::loadModule(&error)) {
        std::fprintf(stderr, "scene_fuzzer: cannot load the module: %s\n", error.c_str());
        __builtin_trap();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string problem = scenefuzz::playScene(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "scene_fuzzer: invariant violated: %s\n", problem.c_str());
        __builtin_trap();
    }
    return 0;
}
