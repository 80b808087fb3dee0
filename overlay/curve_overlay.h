#pragma once
// The curve overlay of one frame, from the curves the selection walk listed.
// A record keeps the overlay of the latest frame that made one, with what it
// was made from (CurveLineSource); while the inputs stay the same the frame
// takes those finished lists back instead of copying samples, measuring
// distances and writing the segment list again.
#include <maya/MPoint.h>

#include <vector>

#include "overlay/curve_cache.h"
#include "overlay/frame_settings.h"
#include "overlay/user_data.h"

// Fills data.curveSamples, data.curveLinePoints and data.curveLineColors
// (one list for all curves) for `curves`, exactly as copying every curve's
// cached samples with the frame's curveColor and running buildCurveLines
// would. The record's kept overlay is taken back when it was made from the
// same curves (walk numbers and cached evaluations, in order), the same
// curveColor and ramp switch, and, with the ramp on, the same ramp bounds
// and camera point; when only the camera point moved with the ramp off, the
// samples' distances are measured again and nothing else is redone.
// Expects the record as reset leaves it.
void buildCurveOverlay(const std::vector<SampledCurve>& curves, const MPoint& cameraPoint,
                       const FrameSettings& settings, UserData& data);
