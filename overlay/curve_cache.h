#pragma once
// The per-curve sample cache of one draw override: for each curve (keyed by
// the full DAG path name of its shape) the world-space CVs its samples were
// made from, and those samples. A curve is evaluated again only when its CVs
// move or the division count changes; the cache empties itself when the
// selection empties or changes and when the division count changes.
//
// Every evaluation gets a generation number that no other evaluation in the
// process shares, so "same generation" means "the very same samples": a frame
// can tell that its curve overlay would be made from exactly the samples of
// an earlier frame without comparing them.
#include <maya/MColor.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "overlay/curve_sample.h"

// One curve's entry: the CVs its samples were made from and the samples
// (sample indices and positions; the curve index and colour of a frame are
// given when they are copied out).
struct CachedCurve {
    MPointArray cvs;
    std::vector<CurveSample> samples;
    uint64_t generation = 0;  // unique to this evaluation
    bool finite = true;       // every sample position is finite
};

// A curve of one frame's walk whose samples the curve overlay draws: its
// number in the walk and its cache entry, which stays in place for the rest
// of the frame.
struct SampledCurve {
    uint32_t curveIndex = 0;
    const CachedCurve* entry = nullptr;
};

// Appends copies of `entry`'s samples to `samples` with `curveIndex` and `color`.
void appendCachedSamples(const CachedCurve& entry, uint32_t curveIndex, const MColor& color,
                         std::vector<CurveSample>& samples);

class CurveCache {
public:
    // Forgets every curve (the tracked selection is empty).
    void clear();

    // Compares the concatenated selection strings of `selection` with the
    // ones this cache saw last and forgets every curve when they differ.
    // `sharedKey` (the key of the latest frame of any override) takes the
    // new key. Each cache keeps its own last key, so that it notices every
    // selection change although the shared key is written by every
    // override in the process.
    void checkSelection(const MSelectionList& selection, std::string& sharedKey);

    // The entry of `curve` (whose CVs in world space are `cvs`), evaluated
    // with `divisions` per span, or kept while the curve's CVs are all within
    // 1e-10 of those its samples were made from. A division count other than
    // the last one forgets every curve first. The entry stays where it is
    // until the cache next forgets curves (clear, checkSelection, another
    // division count). `walkPosition` (the curve's number in the frame's
    // walk) only speeds the lookup up: a curve found at the same position
    // as in the previous frame needs no hashing of its name.
    const CachedCurve& samplesFor(MFnNurbsCurve& curve, const char* pathName, const MPointArray& cvs,
                                  int32_t divisions, uint32_t walkPosition = 0);

    // The number of curves cached, and their path names in no particular order.
    std::size_t size() const { return entries_.size(); }
    std::vector<std::string> curveNames() const;
    // The cached CVs and samples of a curve, or null when it is not cached.
    const MPointArray* cvsOf(const std::string& pathName) const;
    const std::vector<CurveSample>* samplesOf(const std::string& pathName) const;
    // The division count the cached samples were made with (0 before any).
    int32_t cachedCurveDivisions() const { return cachedCurveDivisions_; }

private:
    // Hashed: nothing depends on the order, and a frame looks up every drawn
    // curve. A node-based map, so entries do not move when others are added.
    using Entries = std::unordered_map<std::string, CachedCurve>;
    Entries entries_;
    // The entry looked up at each walk position by the latest lookup there
    // (null where none was); emptied whenever entries are forgotten.
    std::vector<Entries::value_type*> byWalkPosition_;
    int32_t cachedCurveDivisions_ = 0;
    std::string selectionKey_;
    // Working storage: the key of the curve being looked up, and the selection key being compared.
    std::string pathKey_;
    std::string newSelectionKey_;
};
