#pragma once
// The hull overlay of one frame.
#include <maya/MColorArray.h>
#include <maya/MPointArray.h>

#include <vector>

#include "overlay/cv_record.h"
#include "overlay/frame_settings.h"

// Colours every CV record as a hull vertex and appends one segment list per
// curve index from 0 to the largest one present (an index without records
// gets an empty pair) to `points` / `colors`: segments between consecutive
// CVs in CV index order, never closed.
void buildHullLines(const std::vector<CvRecord>& records, const FrameSettings& settings,
                    std::vector<MPointArray>& points, std::vector<MColorArray>& colors);
