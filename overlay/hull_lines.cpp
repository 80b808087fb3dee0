#include "overlay/hull_lines.h"

#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <cstdint>
#include <iterator>
#include <map>

#include "overlay/point_colors.h"

void buildHullLines(UserData& data, bool useHullDistanceColor, float distanceColorMin, float rampTop) {
    // The records are in depth order; the maps restore curve and CV index order.
    std::map<uint32_t, std::map<uint32_t, MPoint>> positions;
    std::map<uint32_t, std::map<uint32_t, MColor>> colors;
    const RampSettings ramp{useHullDistanceColor, distanceColorMin, rampTop};
    for (const CvRecord& record : data.cvRecords) {
        positions[record.curveIndex][record.cvIndex] = record.position;
        colors[record.curveIndex][record.cvIndex] = hullVertexColor(record, data, ramp);
    }

    if (positions.empty()) {
        return;
    }
    const uint32_t lastCurve = positions.rbegin()->first;
    for (uint32_t k = 0;; ++k) {
        MPointArray points;
        MColorArray vertexColors;
        const auto curvePositions = positions.find(k);
        if (curvePositions != positions.end()) {
            const std::map<uint32_t, MColor>& curveColors = colors[k];
            for (auto cv = std::next(curvePositions->second.begin()); cv != curvePositions->second.end();
                 ++cv) {
                const auto previous = std::prev(cv);
                points.append(previous->second);
                points.append(cv->second);
                vertexColors.append(curveColors.at(previous->first));
                vertexColors.append(curveColors.at(cv->first));
            }
        }
        data.hullLinePoints.push_back(points);
        data.hullLineColors.push_back(vertexColors);
        if (k == lastCurve) {
            break;
        }
    }
}
