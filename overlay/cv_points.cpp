#include "overlay/cv_points.h"

#include <cstddef>

#include "overlay/colour_rules.h"
#include "overlay/marker_projection.h"

void emitDepthOrderedCvs(UserData& data, const std::vector<uint32_t>& order, std::vector<CvRecord>& sorted,
                         bool rampByRank, const FrameSettings& settings,
                         const MHWRender::MFrameContext& frameContext) {
    const RampSettings ramp = cvRamp(settings);
    const std::vector<CvRecord>& records = data.cvRecords;
    const auto count = static_cast<unsigned int>(records.size());
    const float rankCount = static_cast<float>(records.size());

    // The records' reads are scattered; a loop that does nothing but copy
    // keeps many of them in flight at once.
    sorted.resize(records.size());
    for (unsigned int i = 0; i < count; ++i) {
        sorted[i] = records[order[i]];
    }
    data.cvRecords.swap(sorted);

    data.cvPoints.setLength(count);
    data.cvColors.setLength(count);
    bool haveView = false;
    ViewProjection view;
    MPoint marker;
    for (unsigned int i = 0; i < count; ++i) {
        CvRecord& record = data.cvRecords[i];
        if (rampByRank) {
            record.rampPosition = static_cast<float>(i) / rankCount;
        }
        data.cvPoints[i] = record.position;
        if (record.cvIndex == 0) {
            if (!haveView) {
                view = viewProjectionOf(frameContext);
                haveView = true;
            }
            // A first CV with no place in the view gets no marker; its point
            // is still drawn, since the draw manager clips points in 3D.
            if (markerPosition(view, record.position, marker)) {
                data.markerPoints.append(marker);
                data.markerColors.append(markerColor(record, settings, ramp));
            }
        }
        data.cvColors[i] = pointColor(record, settings, ramp);
    }
}
