#pragma once
// The hull overlay of one frame.
#include <maya/MColorArray.h>
#include <maya/MPointArray.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "overlay/cv_record.h"
#include "overlay/frame_settings.h"

// Colours every CV record as a hull vertex and appends one segment list per
// curve index from 0 to the largest one present (an index without records
// gets an empty pair) to `points` / `colors`: segments between consecutive
// CVs in CV index order, never closed.
//
// `scratch` is working storage kept between frames; `sparePoints` and
// `spareColors` hold arrays of an earlier frame, which are taken (and
// refilled) before any new array is made when `points` / `colors` are empty.
struct HullScratch {
    std::vector<std::size_t> slotsPerCurve;
    std::vector<std::size_t> tableStarts;
    std::vector<uint32_t> table;
    std::vector<uint32_t> vertices;
    std::vector<std::size_t> curveStarts;
};
void buildHullLines(const std::vector<CvRecord>& records, const FrameSettings& settings,
                    std::vector<MPointArray>& points, std::vector<MColorArray>& colors,
                    HullScratch* scratch = nullptr, std::vector<MPointArray>* sparePoints = nullptr,
                    std::vector<MColorArray>* spareColors = nullptr);
