#pragma once
// Turns an arbitrary byte string into a sequence of scene edits and viewport
// frames on the embedded host, with the knotlens module loaded, and checks
// the overlay after every frame (see frame_invariants.h).
//
// Byte format (every read past the end yields zero bytes, so every input is
// valid and decoding always terminates):
//   input := op*
//   op    := opcode-byte operands...     (opcode = byte % kOpCount)
// Operands are single bytes (counts, choices, indices), 16-bit little-endian
// integers, or reals. A real starts with a selector byte s:
//   s < 0x80          (s - 64) / 2, i.e. -32 .. 31.5 in halves
//   0x80 <= s < 0xA0  entry s - 0x80 of a table of extreme values
//                     (0, -0, tiny, denormal, huge, DBL_MAX, inf, NaN ...)
//   0xA0 <= s < 0xC0  a 16-bit integer / 256
//   s >= 0xC0         the next 8 bytes as a raw IEEE double
// fuzz/make_seeds.py writes inputs in this format; keep the two in step.
#include <cstddef>
#include <cstdint>
#include <string>

namespace scenefuzz {

// Operation codes, in the order the first operand byte selects them.
enum Op : uint8_t {
    kOpCreateCurve = 0,
    kOpCreateMesh,
    kOpCreateCamera,
    kOpCreateManager,
    kOpCreateGroup,
    kOpDelete,
    kOpFlushUndo,
    kOpRename,
    kOpParent,
    kOpTransform,
    kOpSetCV,
    kOpSetCVs,
    kOpSelectObjects,
    kOpSelectComponents,
    kOpRichSelection,
    kOpSetHilite,
    kOpApiSelection,
    kOpClearSelection,
    kOpSetAttr,
    kOpOccluderName,
    kOpDisplayStatus,
    kOpAddView,
    kOpSetActiveView,
    kOpDrawFrame,
    kOpCycleModule,
    kOpCount
};

// Per-input budgets that keep every execution small in time and memory.
struct Limits {
    int maxOps = 400;
    int maxCurves = 64;
    int maxTotalCVs = 2000;
    int maxFrames = 32;
    int maxMeshes = 8;
    int maxMeshFaces = 64;
    int maxCameras = 6;
    int maxViews = 4;
    int maxManagers = 4;
    int maxGroups = 8;
};

// Loads the module's entry points (linked into this program) into the host.
// Returns false with a reason when the host refuses them.
bool loadModule(std::string* error);

// Plays one input on a fresh scene. Returns an empty string when every
// invariant held after every frame, else a description of the first
// violation (the input stops there). The module must be loaded.
std::string playScene(const uint8_t* data, std::size_t size, const Limits& limits = Limits());

// Frames and CV records the reference frame has compared in this process.
void referenceCounts(uint64_t& frames, uint64_t& cvs);

}  // namespace scenefuzz
