#include "overlay/cv_points.h"

#include <cstddef>

#include "overlay/marker_projection.h"

void emitDepthOrderedCvs(UserData& data, bool rampByRank, const RampSettings& cvRamp,
                         const MHWRender::MFrameContext& frameContext) {
    std::vector<CvRecord>& records = data.cvRecords;
    const auto count = static_cast<unsigned int>(records.size());
    const float rankCount = static_cast<float>(records.size());
    data.cvPoints.setLength(count);
    data.cvColors.setLength(count);

    bool haveView = false;
    ViewProjection view;
    for (unsigned int i = 0; i < count; ++i) {
        CvRecord& record = records[i];
        if (rampByRank) {
            record.rampPosition = static_cast<float>(i) / rankCount;
        }
        data.cvPoints[i] = record.position;
        if (record.cvIndex == 0) {
            if (!haveView) {
                view = viewProjectionOf(frameContext);
                haveView = true;
            }
            data.markerPoints.append(markerPosition(view, record.position));
            data.markerColors.append(markerColor(record, data, cvRamp));
        }
        data.cvColors[i] = pointColor(record, data, cvRamp);
    }
}
