#pragma once
// The CV points of one frame: the records moved into depth order with their
// ramp positions, and the points, colours and first-CV markers made from them.
#include <maya/MFrameContext.h>

#include <cstdint>
#include <vector>

#include "overlay/cv_record.h"
#include "overlay/frame_settings.h"
#include "overlay/user_data.h"

// Moves data.cvRecords into the order `order` (record indices, farthest
// first), giving the record at position i of N the ramp position i / N when
// `rampByRank`; appends one CV point and colour per record and, for each
// record of a curve's CV 0, a marker projected into the frame's view with
// its colour (none for a CV 0 with no place in the view). `sorted` is
// working storage; it ends up holding the records' previous storage.
void emitDepthOrderedCvs(UserData& data, const std::vector<uint32_t>& order, std::vector<CvRecord>& sorted,
                         bool rampByRank, const FrameSettings& settings,
                         const MHWRender::MFrameContext& frameContext);
