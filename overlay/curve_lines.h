#pragma once
// The curve overlay of one frame.
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <vector>

#include "overlay/curve_sample.h"
#include "overlay/frame_settings.h"

// Sets every curve sample's camera distance, applies the distance ramp to the
// sample colours when useCurveDistanceColor is on (nearest sample rampTop,
// farthest the floor, normalised over all samples of the frame), then
// appends one segment list for all curves to `points` / `colors`:
// consecutive samples of each curve, curves in ascending curve index.
// When `points` / `colors` are empty and `sparePoints` / `spareColors` hold
// an earlier frame's arrays, the list is written into those (their storage
// kept) rather than into new arrays.
void buildCurveLines(std::vector<CurveSample>& samples, const MPoint& cameraPoint,
                     const FrameSettings& settings, std::vector<MPointArray>& points,
                     std::vector<MColorArray>& colors, std::vector<MPointArray>* sparePoints = nullptr,
                     std::vector<MColorArray>* spareColors = nullptr);
