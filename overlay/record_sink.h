#pragma once
// Where the selection walk writes CV records: the frame's records and, in
// parallel, the depth key of each, with the record's distance from the
// camera point measured as it is written.
#include <maya/MPoint.h>

#include <cstdint>
#include <vector>

#include "overlay/cv_record.h"
#include "overlay/depth_order.h"

class RecordSink {
public:
    RecordSink(std::vector<CvRecord>& records, std::vector<uint64_t>& depthKeys, const MPoint& cameraPoint)
        : records_(records), depthKeys_(depthKeys), cameraPoint_(cameraPoint) {}

    // The curve the following records belong to (its number in the walk).
    void setCurve(uint32_t curveIndex) { curveIndex_ = curveIndex; }

    void add(uint32_t cvIndex, const MPoint& position, bool selected, float weight) {
        CvRecord& record = records_.emplace_back();
        record.curveIndex = curveIndex_;
        record.cvIndex = cvIndex;
        record.position = position;
        record.selected = selected;
        record.weight = weight;
        record.cameraDistance = position.distanceTo(cameraPoint_);
        depthKeys_.push_back(depthKey(record.cameraDistance));
    }

private:
    std::vector<CvRecord>& records_;
    std::vector<uint64_t>& depthKeys_;
    const MPoint& cameraPoint_;
    uint32_t curveIndex_ = 0;
};
