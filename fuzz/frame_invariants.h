#pragma once
// What must hold after every viewport frame, whatever the scene holds:
//  - the draw calls of each draw manager node in each view form at most one
//    begin/end pair of matching kinds, with every other call inside it;
//  - every mesh call has one colour per point, line lists have an even
//    number of points, and marker circles follow a non-empty point list;
//  - no point, colour, width, size or radius handed to the draw manager is
//    NaN or infinite;
//  - the record's parallel arrays have equal lengths, line lists are even,
//    and there are no more markers than points or tracked curves;
//  - the override's two caches hold the same keys, and only curves that were
//    tracked since the caches were last emptied; a frame on an empty tracked
//    selection leaves them empty.
#include <maya/MDagPath.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class DrawOverride;

namespace scenefuzz {

// One broken invariant. The kind is a short stable tag (e.g.
// "nonfinite-point"), so that a fault already reported can be set aside
// while fuzzing for others (see decoder.h, SCENEFUZZ_KNOWN).
struct Violation {
    std::string kind;
    std::string message;
};

class FrameInvariants {
public:
    // Call right before khost::drawFrame().
    void beforeFrame();
    // Call right after it, with the draw manager nodes that may exist.
    // Returns every violation found (empty when everything holds).
    std::vector<Violation> afterFrame(const std::vector<MDagPath>& managers);
    // Forget every override (a new scene).
    void reset();

private:
    void checkNode(const std::string& node, std::size_t trackedCurves, std::vector<Violation>& out) const;
    void checkCaches(const std::string& node, bool selectionWasEmpty, bool prepared,
                     std::vector<Violation>& out);

    std::set<std::string> trackedBefore_;
    bool trackedEmptyBefore_ = true;
    uint64_t preparesBefore_ = 0;
    // Per override: every curve tracked in a frame since the override last
    // saw an empty tracked selection (a superset of what it may cache).
    std::map<const DrawOverride*, std::set<std::string>> sampledSinceClear_;
    std::set<std::string> trackedThisFrame_;
};

}  // namespace scenefuzz
