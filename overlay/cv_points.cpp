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
        // The position is read from the source record: read back from the
        // copy just written, it would straddle two of the copy's stores and
        // wait for both to retire.
        const CvRecord& source = records[order[i]];
        CvRecord& record = sorted[i];
        record = source;
        if (rampByRank) {
            record.rampPosition = static_cast<float>(i) / rankCount;
        }
        data.cvPoints[i] = source.position;
        if (record.cvIndex == 0) {
            if (!haveView) {
                view = viewProjectionOf(frameContext);
                haveView = true;
            }
            data.markerPoints.append(markerPosition(view, source.position));
            data.markerColors.append(markerColor(record, data, cvRamp));
        }
        data.cvColors[i] = pointColor(record, data, cvRamp);
    }
    data.cvRecords.swap(sorted);
}
