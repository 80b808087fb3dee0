// Replays scene inputs without libFuzzer (any compiler): each argument is a
// file or a directory of files. Prints every input that breaks an invariant
// and exits non-zero if any did. Used by CTest on the seed corpus and the
// saved regression inputs, and to reproduce a fuzzer finding under a
// debugger.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/decoder.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!scenefuzz::loadModule(&error)) {
        std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::directory_iterator(arg)) {
                // Notes kept beside the inputs are not inputs.
                const std::string name = entry.path().filename().string();
                if (entry.is_regular_file() && name[0] != '.' && entry.path().extension() != ".md") {
                    inputs.push_back(entry.path());
                }
            }
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s INPUT_OR_DIRECTORY...\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (const fs::path& input : inputs) {
        const std::vector<uint8_t> bytes = readFile(input);
        const std::string problem = scenefuzz::playScene(bytes.data(), bytes.size());
        if (!problem.empty()) {
            std::printf("FAIL %s: %s\n", input.string().c_str(), problem.c_str());
            ++failures;
        }
    }
    uint64_t frames = 0;
    uint64_t cvs = 0;
    scenefuzz::referenceCounts(frames, cvs);
    std::printf(
        "%zu inputs replayed, %d failed; %llu frames and %llu CV records compared with the reference\n",
        inputs.size(), failures, static_cast<unsigned long long>(frames),
        static_cast<unsigned long long>(cvs));
    return failures == 0 ? 0 : 1;
}
