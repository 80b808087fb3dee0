#include "overlay/cv_points.h"

#include <algorithm>
#include <cstddef>

#include "overlay/colour_rules.h"
#include "overlay/marker_projection.h"

namespace {

// Records copied into depth order per block before the block's points,
// colours and markers are made: the copy's scattered reads stay in flight
// together in a loop that does nothing else, and the block is still in the
// cache when it is read again.
constexpr unsigned int kBlock = 256;

}  // namespace

void emitDepthOrderedCvs(UserData& data, const std::vector<uint32_t>& order, std::vector<CvRecord>& sorted,
                         bool rampByRank, const FrameSettings& settings,
                         const MHWRender::MFrameContext& frameContext) {
    const RampSettings ramp = cvRamp(settings);
    const std::vector<CvRecord>& records = data.cvRecords;
    const auto count = static_cast<unsigned int>(records.size());
    const float rankCount = static_cast<float>(records.size());
    sorted.resize(records.size());
    data.cvPoints.setLength(count);
    data.cvColors.setLength(count);

    bool haveView = false;
    ViewProjection view;
    MPoint marker;
    for (unsigned int begin = 0; begin < count; begin += kBlock) {
        const unsigned int end = std::min(count, begin + kBlock);
        for (unsigned int i = begin; i < end; ++i) {
            sorted[i] = records[order[i]];
        }
        for (unsigned int i = begin; i < end; ++i) {
            CvRecord& record = sorted[i];
            if (rampByRank) {
                record.rampPosition = static_cast<float>(i) / rankCount;
            }
            data.cvPoints[i] = record.position;
            if (record.cvIndex == 0) {
                if (!haveView) {
                    view = viewProjectionOf(frameContext);
                    haveView = true;
                }
                // A first CV with no place in the view gets no marker; its
                // point is still drawn, since the draw manager clips points in 3D.
                if (markerPosition(view, record.position, marker)) {
                    data.markerPoints.append(marker);
                    data.markerColors.append(markerColor(record, settings, ramp));
                }
            }
            data.cvColors[i] = pointColor(record, settings, ramp);
        }
    }
    data.cvRecords.swap(sorted);
}
