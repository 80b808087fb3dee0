#pragma once
// A counting global allocator for the benchmark executable. The executable
// exports its operator new and delete (ENABLE_EXPORTS), so the plug-in
// module loaded at run time and the host library allocate through them too.
// Every allocation is counted; while attribution is on, each one is also
// charged to the module whose code asked for it: the innermost frame of its
// call stack that lies in the plug-in module or in the host library (frames
// of the C++ runtime are passed over, so a std::string the plug-in grows is
// the plug-in's, and an MString the host makes for the plug-in is the
// host's).
#include <cstdint>
#include <string>

namespace knotlens_bench {

struct AllocationCount {
    uint64_t allocations = 0;
    uint64_t bytes = 0;
};

// Allocations since the process started.
AllocationCount allocationCount();

struct AttributedCount {
    uint64_t plugin = 0;  // asked for by plug-in code
    uint64_t host = 0;    // asked for by the host library (also on the plug-in's behalf)
    uint64_t other = 0;   // by the benchmark itself or a stack that names neither
};

// Charges every allocation to a module until stopAttribution. False, with
// the reason in *error, when the modules cannot be located (the plug-in
// module must already be loaded from `pluginModulePath`).
bool startAttribution(const std::string& pluginModulePath, std::string* error);
AttributedCount stopAttribution();

}  // namespace knotlens_bench
