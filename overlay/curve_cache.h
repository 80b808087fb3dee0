#pragma once
// The per-curve sample cache of one draw override: for each curve (keyed by
// the full DAG path name of its shape) the world-space CVs its samples were
// made from, and those samples. A curve is evaluated again only when its CVs
// move or the division count changes; the cache empties itself when the
// selection empties or changes and when the division count changes.
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

    // Appends the samples of `curve` (whose CVs in world space are `cvs`) to
    // `samples`, evaluated with `divisions` per span or taken from the cache
    // while the curve's CVs are all within 1e-10 of those the cached samples
    // were made from. A division count other than the last one forgets
    // every curve first. Appended samples carry `color` and `curveIndex`,
    // cached or not.
    void appendSamples(MFnNurbsCurve& curve, const char* pathName, const MPointArray& cvs,
                       uint32_t curveIndex, int32_t divisions, const MColor& color,
                       std::vector<CurveSample>& samples);

    // The number of curves cached, and their path names in no particular order.
    std::size_t size() const { return entries_.size(); }
    std::vector<std::string> curveNames() const;
    // The cached CVs and samples of a curve, or null when it is not cached.
    const MPointArray* cvsOf(const std::string& pathName) const;
    const std::vector<CurveSample>* samplesOf(const std::string& pathName) const;
    // The division count the cached samples were made with (0 before any).
    int32_t cachedCurveDivisions() const { return cachedCurveDivisions_; }

private:
    struct Entry {
        MPointArray cvs;
        std::vector<CurveSample> samples;
    };
    // Hashed: nothing depends on the order, and a frame looks up every drawn curve.
    std::unordered_map<std::string, Entry> entries_;
    int32_t cachedCurveDivisions_ = 0;
    std::string selectionKey_;
    // Working storage: the key of the curve being looked up, and the selection key being compared.
    std::string pathKey_;
    std::string newSelectionKey_;
};
