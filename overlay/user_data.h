#pragma once
// The per-object draw data record: filled once per frame by
// DrawOverride::prepareForDraw and read by DrawOverride::addUIDrawables.
// The host owns it between the two calls and hands it back to the next
// frame's preparation, which reuses its storage.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPointArray.h>
#include <maya/MUserData.h>

#include <cstdint>
#include <vector>

#include "node/settings_table.h"
#include "overlay/curve_line_source.h"
#include "overlay/curve_sample.h"
#include "overlay/cv_record.h"

// A colour attribute's default with the default of its alpha attribute.
inline MColor defaultColor(SettingRow colorRow, SettingRow alphaRow) {
    return MColor(settingDefault(colorRow, 0), settingDefault(colorRow, 1), settingDefault(colorRow, 2),
                  settingDefault(alphaRow));
}

class UserData : public MUserData {
public:
    UserData() = default;
    ~UserData() override;

    UserData(const UserData&) = delete;
    UserData& operator=(const UserData&) = delete;

    // Empties every container at the start of a frame (and again when a frame
    // is abandoned). Sequences keep their storage; the settings and nodeState
    // are left as they are.
    void reset();

    // Curve samples of all tracked curves for this frame.
    std::vector<CurveSample> curveSamples;
    // Curve overlay: each entry is a list of independent segments, two points
    // per segment, with one colour per point in the parallel entry.
    std::vector<MPointArray> curveLinePoints;
    std::vector<MColorArray> curveLineColors;
    // One record per drawn CV; the source of the CV points and markers.
    std::vector<CvRecord> cvRecords;
    // CV points in world space with one colour each.
    MPointArray cvPoints;
    MColorArray cvColors;
    // First-CV markers in viewport pixels (x, y, 0, 1) with one colour each.
    MPointArray markerPoints;
    MColorArray markerColors;
    // Hull overlay: one entry per curve, segments laid out as in curveLinePoints.
    std::vector<MPointArray> hullLinePoints;
    std::vector<MColorArray> hullLineColors;

    // The segment lists of the latest frame that made any, moved aside by
    // reset with their arrays and storage, for the next frame's builders to
    // fill again: a steady frame then allocates no array.
    std::vector<MPointArray> spareCurvePoints;
    std::vector<MColorArray> spareCurveColors;
    // With the curve lists, the samples they were made from and what those
    // were made from: a frame with the same inputs takes all three back
    // (overlay/curve_overlay.h) instead of building them again.
    std::vector<CurveSample> spareCurveSamples;
    CurveLineSource spareCurveSource;
    std::vector<MPointArray> spareHullPoints;
    std::vector<MColorArray> spareHullColors;

    // Settings snapshot (DrawOverride::snapshotSettings), starting at the
    // attributes' defaults except showCurve, which starts off.
    float pointSize = settingDefault(kPointSizeRow);
    float lineWidth = settingDefault(kLineWidthRow);
    float hullWidth = settingDefault(kHullWidthRow);
    int32_t curveDivisions = static_cast<int32_t>(kSettings[kCurveDivisionsRow].defaultValue[0]);
    MColor selectedPointColor = defaultColor(kSelectedPointColorRow, kSelectedPointAlphaRow);
    MColor deselectedPointColor = defaultColor(kDeselectedPointColorRow, kDeselectedPointAlphaRow);
    MColor curveColor = defaultColor(kCurveColorRow, kCurveAlphaRow);
    MColor hullColor = defaultColor(kHullColorRow, kHullAlphaRow);
    bool drawOnTop = kSettings[kDrawOnTopRow].defaultValue[0] != 0.0;
    bool showCurve = false;
    bool showHull = kSettings[kShowHullRow].defaultValue[0] != 0.0;

    // The node state (built-in state attribute) read by the preparation that
    // filled this record; drawing is suppressed while it is not 0. Each node
    // decides from its own state, so a disabled node never hides the overlay
    // of another. A preparation that ends before reading the state (empty
    // selection) leaves the value of this record's previous frame.
    int32_t nodeState = 0;
};
