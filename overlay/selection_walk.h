#pragma once
// Which items of the tracked selection give curves and CV records.
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cstdint>
#include <vector>

#include "overlay/curve_cache.h"
#include "overlay/curve_name_set.h"
#include "overlay/record_sink.h"

// How the walk samples each curve: with the curve overlay off there is no
// cache and no samples are made. The walk lists each curve whose samples the
// overlay draws, in walk order, in `curves`; it copies no sample.
struct CurveSampling {
    CurveCache* cache = nullptr;
    int32_t divisions = 0;  // per span, within the sampling range
    std::vector<SampledCurve>* curves = nullptr;
};

class SelectionWalk {
public:
    // Walks `selection` in list order. Each NURBS curve shape is taken once,
    // through the first item that names it, and numbered in walk order;
    // other items give nothing. A curve with a non-finite CV keeps its
    // number but gives no samples and no records, and so does a curve whose
    // samples are not all finite (its samples only). Only curves shown
    // dormant or hilited give CV records: with no component one unselected
    // record per CV in index order; with a CV component the named CVs in
    // component order (with their weights, 1 without; out-of-range indices
    // skipped, a repeated one taken once), then the others in index order.
    // False when an item names its curve with another component type: the
    // frame is to be abandoned.
    bool walk(const MSelectionList& selection, const CurveSampling& sampling, RecordSink& sink);

private:
    // Working storage, kept between frames so that a steady frame does not
    // allocate: the curves already walked, one curve's CVs, and the
    // selected marks of one curve's CVs.
    CurveNameSet seenCurves_;
    MPointArray curveCvs_;
    std::vector<char> selectedMarks_;
};
