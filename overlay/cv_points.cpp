#include "overlay/cv_points.h"

#include <cstddef>

#include "overlay/marker_projection.h"

void emitDepthOrderedCvs(UserData& data, const std::vector<uint32_t>& order, std::vector<CvRecord>& sorted,
                         bool rampByRank, const RampSettings& cvRamp,
                         const MHWRender::MFrameContext& frameContext) {
    const std::vector<CvRecord>& records = data.cvRecords;
    const auto count = static_cast<unsigned int>(records.size());
    const float rankCount = static_cast<float>(records.size());
    sorted.resize(records.size());
    data.cvPoints.setLength(count);
    data.cvColors.setLength(count);

    bool haveView = false;
    ViewProjection view;
    // The reads are scattered over the whole record array, so the record a
    // few steps ahead is requested early to overlap the cache misses.
    constexpr unsigned int kPrefetchDistance = 8;
    for (unsigned int i = 0; i < count; ++i) {
        if (i + kPrefetchDistance < count) {
            __builtin_prefetch(&records[order[i + kPrefetchDistance]]);
        }
        CvRecord& record = sorted[i];
        record = records[order[i]];
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
    data.cvRecords.swap(sorted);
}
