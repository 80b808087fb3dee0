#include "overlay/curve_cache.h"

#include <maya/MPoint.h>
#include <maya/MStringArray.h>

#include "overlay/curve_sampling.h"

namespace {

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

void CurveCache::appendSamples(MFnNurbsCurve& curve, const char* pathName, const MPointArray& cvs,
                               uint32_t curveIndex, int32_t divisions, const MColor& color,
                               std::vector<CurveSample>& samples) {
    // Samples made with another division count are stale for every curve,
    // not only for the first one sampled after the change.
    if (divisions != cachedCurveDivisions_) {
        clear();
        cachedCurveDivisions_ = divisions;
    }

    pathKey_.assign(pathName);
    const auto found = entries_.find(pathKey_);
    if (found != entries_.end() && cachedCvsMatch(found->second.cvs, cvs)) {
        // A cached sample takes the current colour, so a colour change
        // reaches every curve at once, and the curve's current number in the
        // walk, so samples of two curves never share a segment group.
        const std::vector<CurveSample>& cached = found->second.samples;
        const std::size_t first = samples.size();
        samples.insert(samples.end(), cached.begin(), cached.end());
        for (std::size_t i = first; i < samples.size(); ++i) {
            samples[i].color = color;
            samples[i].curveIndex = curveIndex;
        }
        return;
    }

    Entry& entry = found != entries_.end() ? found->second : entries_[pathKey_];
    entry.cvs = cvs;
    entry.samples.clear();
    appendCurveSamples(curve, curveIndex, divisions, color, entry.samples);
    samples.insert(samples.end(), entry.samples.begin(), entry.samples.end());
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
