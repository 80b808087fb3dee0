#include "overlay/curve_cache.h"

#include <maya/MPoint.h>
#include <maya/MStringArray.h>

#include <cmath>
#include <cstddef>

#include "overlay/curve_sampling.h"

namespace {

// The generation of the next evaluation, shared by every cache of the
// process so that no two evaluations share one.
uint64_t nextGeneration = 1;

bool allFinite(const std::vector<CurveSample>& samples) {
    for (const CurveSample& sample : samples) {
        const MPoint& p = sample.position;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) || !std::isfinite(p.w)) {
            return false;
        }
    }
    return true;
}

// Cached samples made from `cachedCvs` are valid for `cvs`: same CV count and
// every CV within 1e-10 of where it was.
bool cachedCvsMatch(const MPointArray& cachedCvs, const MPointArray& cvs) {
    if (cachedCvs.length() != cvs.length()) {
        return false;
    }
    for (unsigned int i = 0; i < cvs.length(); ++i) {
        if (!cvs[i].isEquivalent(cachedCvs[i], 1e-10)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void CurveCache::clear() {
    entries_.clear();
    byWalkPosition_.clear();
}

void CurveCache::checkSelection(const MSelectionList& selection, std::string& sharedKey) {
    MStringArray strings;
    selection.getSelectionStrings(strings);
    std::string& key = newSelectionKey_;
    key.clear();
    for (unsigned int i = 0; i < strings.length(); ++i) {
        key += strings[i].asChar();
    }
    if (key != selectionKey_) {
        clear();
        selectionKey_ = key;
    }
    if (key != sharedKey) {
        sharedKey = key;
    }
}

const CachedCurve& CurveCache::samplesFor(MFnNurbsCurve& curve, const char* pathName, const MPointArray& cvs,
                                          int32_t divisions, uint32_t walkPosition) {
    // Samples made with another division count are stale for every curve,
    // not only for the first one sampled after the change.
    if (divisions != cachedCurveDivisions_) {
        clear();
        cachedCurveDivisions_ = divisions;
    }

    // The entry of the curve at this walk position in the previous frame is
    // most likely this curve's; otherwise the map is asked.
    if (walkPosition >= byWalkPosition_.size()) {
        byWalkPosition_.resize(static_cast<std::size_t>(walkPosition) + 1, nullptr);
    }
    Entries::value_type*& remembered = byWalkPosition_[walkPosition];
    if (remembered == nullptr || remembered->first.compare(pathName) != 0) {
        pathKey_.assign(pathName);
        remembered = &*entries_.try_emplace(pathKey_).first;
    }
    CachedCurve& entry = remembered->second;
    if (entry.generation != 0 && cachedCvsMatch(entry.cvs, cvs)) {
        return entry;
    }

    entry.cvs = cvs;
    entry.samples.clear();
    appendCurveSamples(curve, 0, divisions, MColor(), entry.samples);
    entry.generation = nextGeneration++;
    entry.finite = allFinite(entry.samples);
    return entry;
}

void appendCachedSamples(const CachedCurve& entry, uint32_t curveIndex, const MColor& color,
                         std::vector<CurveSample>& samples) {
    // Copies take the frame's colour, so a colour change reaches every curve
    // at once, and the curve's current number in the walk, so samples of two
    // curves never share a segment group.
    const std::size_t first = samples.size();
    samples.insert(samples.end(), entry.samples.begin(), entry.samples.end());
    for (std::size_t i = first; i < samples.size(); ++i) {
        samples[i].color = color;
        samples[i].curveIndex = curveIndex;
    }
}

const MPointArray* CurveCache::cvsOf(const std::string& pathName) const {
    const auto found = entries_.find(pathName);
    return found != entries_.end() ? &found->second.cvs : nullptr;
}

const std::vector<CurveSample>* CurveCache::samplesOf(const std::string& pathName) const {
    const auto found = entries_.find(pathName);
    return found != entries_.end() ? &found->second.samples : nullptr;
}

std::vector<std::string> CurveCache::curveNames() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const auto& entry : entries_) {
        names.push_back(entry.first);
    }
    return names;
}
