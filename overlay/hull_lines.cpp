#include "overlay/hull_lines.h"

#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "overlay/point_colors.h"

namespace {

constexpr uint32_t kNoRecord = 0xffffffffu;

// For each (curve, CV) pair present in the records, the last record naming
// it (records are in depth order; a CV listed twice by its component has two
// records, and the later one is the hull vertex), in curve then CV index
// order. `curveStarts[k]` .. `curveStarts[k + 1]` is curve k's range.
//
// Usually a table with one slot per CV index up to each curve's largest
// index does this in linear time; when the indices are far sparser than the
// records (possible only for hand-made records) a sort does it instead.
void hullVertices(const std::vector<CvRecord>& records, std::size_t curveCount,
                  std::vector<uint32_t>& vertices, std::vector<std::size_t>& curveStarts) {
    curveStarts.assign(curveCount + 1, 0);
    std::vector<uint32_t> slotsPerCurve(curveCount, 0);
    for (const CvRecord& record : records) {
        uint32_t& slots = slotsPerCurve[record.curveIndex];
        slots = std::max(slots, record.cvIndex == kNoRecord ? kNoRecord : record.cvIndex + 1);
    }
    std::size_t tableSize = 0;
    for (uint32_t slots : slotsPerCurve) {
        tableSize += slots;
    }

    vertices.clear();
    if (tableSize <= 4 * records.size() + 1024) {
        std::vector<std::size_t> tableStarts(curveCount, 0);
        for (std::size_t k = 1; k < curveCount; ++k) {
            tableStarts[k] = tableStarts[k - 1] + slotsPerCurve[k - 1];
        }
        std::vector<uint32_t> table(tableSize, kNoRecord);
        for (std::size_t i = 0; i < records.size(); ++i) {
            table[tableStarts[records[i].curveIndex] + records[i].cvIndex] = static_cast<uint32_t>(i);
        }
        for (std::size_t k = 0; k < curveCount; ++k) {
            curveStarts[k] = vertices.size();
            const std::size_t begin = tableStarts[k];
            for (std::size_t slot = begin; slot < begin + slotsPerCurve[k]; ++slot) {
                if (table[slot] != kNoRecord) {
                    vertices.push_back(table[slot]);
                }
            }
        }
        curveStarts[curveCount] = vertices.size();
        return;
    }

    std::vector<uint32_t> order(records.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<uint32_t>(i);
    }
    // By curve, then CV index, then the later record first, so the first of
    // each run of equal (curve, CV) pairs is the one that wins.
    std::sort(order.begin(), order.end(), [&records](uint32_t a, uint32_t b) {
        const CvRecord& ra = records[a];
        const CvRecord& rb = records[b];
        if (ra.curveIndex != rb.curveIndex) {
            return ra.curveIndex < rb.curveIndex;
        }
        if (ra.cvIndex != rb.cvIndex) {
            return ra.cvIndex < rb.cvIndex;
        }
        return a > b;
    });
    std::size_t curve = 0;
    for (std::size_t j = 0; j < order.size(); ++j) {
        const CvRecord& record = records[order[j]];
        if (j > 0 && records[order[j - 1]].curveIndex == record.curveIndex &&
            records[order[j - 1]].cvIndex == record.cvIndex) {
            continue;
        }
        while (curve <= record.curveIndex) {
            curveStarts[curve++] = vertices.size();
        }
        vertices.push_back(order[j]);
    }
    while (curve <= curveCount) {
        curveStarts[curve++] = vertices.size();
    }
}

}  // namespace

void buildHullLines(UserData& data, bool useHullDistanceColor, float distanceColorMin, float rampTop) {
    const std::vector<CvRecord>& records = data.cvRecords;
    if (records.empty()) {
        return;
    }
    uint32_t lastCurve = 0;
    for (const CvRecord& record : records) {
        lastCurve = std::max(lastCurve, record.curveIndex);
    }
    std::vector<uint32_t> vertices;
    std::vector<std::size_t> curveStarts;
    hullVertices(records, static_cast<std::size_t>(lastCurve) + 1, vertices, curveStarts);

    const RampSettings ramp{useHullDistanceColor, distanceColorMin, rampTop};
    for (std::size_t k = 0; k <= lastCurve; ++k) {
        data.hullLinePoints.emplace_back();
        data.hullLineColors.emplace_back();
        const std::size_t begin = curveStarts[k];
        const std::size_t end = curveStarts[k + 1];
        if (end - begin < 2) {
            continue;
        }
        MPointArray& points = data.hullLinePoints.back();
        MColorArray& colors = data.hullLineColors.back();
        points.setLength(static_cast<unsigned int>(2 * (end - begin - 1)));
        colors.setLength(static_cast<unsigned int>(2 * (end - begin - 1)));
        unsigned int out = 0;
        MColor previousColor = hullVertexColor(records[vertices[begin]], data, ramp);
        for (std::size_t v = begin + 1; v < end; ++v) {
            const CvRecord& previous = records[vertices[v - 1]];
            const CvRecord& current = records[vertices[v]];
            const MColor currentColor = hullVertexColor(current, data, ramp);
            points[out] = previous.position;
            colors[out] = previousColor;
            points[out + 1] = current.position;
            colors[out + 1] = currentColor;
            out += 2;
            previousColor = currentColor;
        }
    }
}
