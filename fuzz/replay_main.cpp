// Replays scene inputs without libFuzzer (any compiler): each argument is a
// file or a directory of files. Prints every input that breaks an invariant
// and exits non-zero if any did. Used by CTest on the seed corpus and the
// saved regression inputs, and to reproduce a fuzzer finding under a
// debugger.
//
//   --passes N   replays all inputs N times in this one process and prints
//                the processor time and resident size after each pass
//   --flat       with --passes: fails unless the last pass took at most
//                twice the processor time of the first and the resident
//                size grew by at most half of what it was after the first
//                pass (plus 16 MiB): the host keeps nothing of a replayed
//                scene, its nodes or an unloaded module
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

// Resident set size in bytes (Linux /proc); 0 where it cannot be read.
double residentBytes() {
    std::ifstream statm("/proc/self/statm");
    double pages = 0.0;
    double resident = 0.0;
    if (!(statm >> pages >> resident)) {
        return 0.0;
    }
    return resident * 4096.0;
}

struct Pass {
    double seconds = 0.0;  // processor time
    double resident = 0.0;
};

}  // namespace

int main(int argc, char** argv) {
    int passes = 1;
    bool flat = false;
    std::string error;
    if (!scenefuzz::loadModule(&error)) {
        std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--passes" && i + 1 < argc) {
            passes = std::max(1, std::atoi(argv[++i]));
            continue;
        }
        if (option == "--flat") {
            flat = true;
            continue;
        }
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
    std::vector<std::vector<uint8_t>> contents;
    for (const fs::path& input : inputs) {
        contents.push_back(readFile(input));
    }
    int failures = 0;
    std::vector<Pass> timeline;
    for (int pass = 0; pass < passes; ++pass) {
        const std::clock_t start = std::clock();
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            const std::string problem = scenefuzz::playScene(contents[i].data(), contents[i].size());
            if (!problem.empty()) {
                std::printf("FAIL %s: %s\n", inputs[i].string().c_str(), problem.c_str());
                ++failures;
            }
        }
        Pass p;
        p.seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        p.resident = residentBytes();
        timeline.push_back(p);
        if (passes > 1) {
            std::printf("pass %d: %.3f s processor time, %.1f MiB resident\n", pass + 1, p.seconds,
                        p.resident / (1024.0 * 1024.0));
        }
    }
    if (flat && passes > 1) {
        const Pass& first = timeline.front();
        const Pass& last = timeline.back();
        if (last.seconds > 2.0 * first.seconds + 0.05) {
            std::printf("FAIL the last pass took %.3f s, the first %.3f s\n", last.seconds, first.seconds);
            ++failures;
        }
        const double allowed = first.resident * 1.5 + 16.0 * 1024.0 * 1024.0;
        if (first.resident > 0.0 && last.resident > allowed) {
            std::printf("FAIL resident size grew from %.1f MiB after the first pass to %.1f MiB\n",
                        first.resident / (1024.0 * 1024.0), last.resident / (1024.0 * 1024.0));
            ++failures;
        }
    }
    uint64_t frames = 0;
    uint64_t cvs = 0;
    scenefuzz::referenceCounts(frames, cvs);
    std::printf(
        "%zu inputs replayed, %d failed; %llu frames and %llu CV records compared with the reference\n",
        inputs.size() * static_cast<std::size_t>(passes), failures, static_cast<unsigned long long>(frames),
        static_cast<unsigned long long>(cvs));
    return failures == 0 ? 0 : 1;
}
