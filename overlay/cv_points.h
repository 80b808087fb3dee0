#pragma once
// The CV points of one frame: the records moved into depth order, and the
// points, colours and first-CV markers made from them, in one pass.
#include <maya/MFrameContext.h>

#include <cstdint>
#include <vector>

#include "overlay/cv_record.h"
#include "overlay/point_colors.h"
#include "overlay/user_data.h"

// Moves data.cvRecords into the order `order` (record indices, farthest
// first), giving the record at position i of N the ramp position i / N when
// `rampByRank`; appends one CV point and colour per record and, for each
// record of a curve's CV 0, a marker projected into the frame's view with
// its colour (none for a CV 0 behind the camera). `sorted` is working storage; it ends up holding the
// records' previous storage. Visiting each record once keeps a frame of many CVs from streaming the whole
// record array through the cache once per step.
void emitDepthOrderedCvs(UserData& data, const std::vector<uint32_t>& order, std::vector<CvRecord>& sorted,
                         bool rampByRank, const RampSettings& cvRamp,
                         const MHWRender::MFrameContext& frameContext);
