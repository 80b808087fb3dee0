#include "overlay/hull_lines.h"

#include <maya/MColor.h>
#include <maya/MPoint.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "overlay/colour_rules.h"
#include "overlay/segment_lists.h"

namespace {

constexpr uint32_t kNoRecord = 0xffffffffu;

// The hull vertices of every curve: record indices in curve then CV index
// order, curve k's from `curveStarts[k]` to `curveStarts[k + 1]`. A table
// with one slot per CV index up to each curve's largest index puts the
// records (which are in depth order) back in CV index order in linear time;
// where two records name one CV, the later one is the vertex.
void hullVertices(const std::vector<CvRecord>& records, std::size_t curveCount, HullScratch& scratch) {
    std::vector<uint32_t>& vertices = scratch.vertices;
    std::vector<std::size_t>& curveStarts = scratch.curveStarts;
    std::vector<std::size_t>& slotsPerCurve = scratch.slotsPerCurve;
    slotsPerCurve.assign(curveCount, 0);
    for (const CvRecord& record : records) {
        std::size_t& slots = slotsPerCurve[record.curveIndex];
        slots = std::max(slots, static_cast<std::size_t>(record.cvIndex) + 1);
    }
    std::vector<std::size_t>& tableStarts = scratch.tableStarts;
    tableStarts.assign(curveCount + 1, 0);
    for (std::size_t k = 0; k < curveCount; ++k) {
        tableStarts[k + 1] = tableStarts[k] + slotsPerCurve[k];
    }
    std::vector<uint32_t>& table = scratch.table;
    table.assign(tableStarts[curveCount], kNoRecord);
    for (std::size_t i = 0; i < records.size(); ++i) {
        table[tableStarts[records[i].curveIndex] + records[i].cvIndex] = static_cast<uint32_t>(i);
    }
    vertices.clear();
    curveStarts.assign(curveCount + 1, 0);
    for (std::size_t k = 0; k < curveCount; ++k) {
        curveStarts[k] = vertices.size();
        for (std::size_t slot = tableStarts[k]; slot < tableStarts[k + 1]; ++slot) {
            if (table[slot] != kNoRecord) {
                vertices.push_back(table[slot]);
            }
        }
    }
    curveStarts[curveCount] = vertices.size();
}

}  // namespace

void buildHullLines(const std::vector<CvRecord>& records, const FrameSettings& settings,
                    std::vector<MPointArray>& points, std::vector<MColorArray>& colors, HullScratch* scratch,
                    std::vector<MPointArray>* sparePoints, std::vector<MColorArray>* spareColors) {
    if (records.empty()) {
        return;
    }
    uint32_t lastCurve = 0;
    for (const CvRecord& record : records) {
        lastCurve = std::max(lastCurve, record.curveIndex);
    }
    HullScratch localScratch;
    HullScratch& work = scratch != nullptr ? *scratch : localScratch;
    const std::size_t curves = static_cast<std::size_t>(lastCurve) + 1;
    hullVertices(records, curves, work);
    const std::vector<uint32_t>& vertices = work.vertices;
    const std::vector<std::size_t>& curveStarts = work.curveStarts;

    // One list per curve after what `points` / `colors` already hold; empty
    // ones take an earlier frame's arrays first, which keep their storage.
    const std::size_t pointsBase = points.size();
    const std::size_t colorsBase = colors.size();
    takeListPairs(points, colors, sparePoints, spareColors, curves);

    const RampSettings ramp = hullRamp(settings);
    for (std::size_t k = 0; k < curves; ++k) {
        MPointArray& curvePoints = points[pointsBase + k];
        MColorArray& curveColors = colors[colorsBase + k];
        const std::size_t begin = curveStarts[k];
        const std::size_t end = curveStarts[k + 1];
        if (end - begin < 2) {
            curvePoints.clear();
            curveColors.clear();
            continue;
        }
        curvePoints.setLength(static_cast<unsigned int>(2 * (end - begin - 1)));
        curveColors.setLength(static_cast<unsigned int>(2 * (end - begin - 1)));
        unsigned int out = 0;
        MColor previousColor = hullVertexColor(records[vertices[begin]], settings, ramp);
        for (std::size_t v = begin + 1; v < end; ++v) {
            const CvRecord& previous = records[vertices[v - 1]];
            const CvRecord& current = records[vertices[v]];
            const MColor currentColor = hullVertexColor(current, settings, ramp);
            curvePoints[out] = previous.position;
            curveColors[out] = previousColor;
            curvePoints[out + 1] = current.position;
            curveColors[out + 1] = currentColor;
            out += 2;
            previousColor = currentColor;
        }
    }
}
