#pragma once
// The CV points of one frame: the points, colours and first-CV markers made
// from the records in depth order, in one pass.
#include <maya/MFrameContext.h>

#include <cstdint>
#include <vector>

#include "overlay/cv_record.h"
#include "overlay/point_colors.h"
#include "overlay/user_data.h"

// Walks data.cvRecords, already in depth order (farthest first), giving the
// record at position i of N the ramp position i / N when `rampByRank`;
// writes one CV point and colour per record and, for each record of a
// curve's CV 0, appends a marker projected into the frame's view with its
// colour. Visiting each record once keeps a frame of many CVs from streaming
// the whole record array through the cache once per step.
void emitDepthOrderedCvs(UserData& data, bool rampByRank, const RampSettings& cvRamp,
                         const MHWRender::MFrameContext& frameContext);
