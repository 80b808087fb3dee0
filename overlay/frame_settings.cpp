// Reading the node's settings for one frame. A connection can deliver values
// no artist can type: beyond an attribute's range, or not finite. What the
// draw manager receives is held to the settings table: non-finite sizes,
// widths and colour components take their defaults, the ramp bounds and the
// sampling divisions are held to their ranges.
#include "overlay/frame_settings.h"

#include <maya/MFnNumericData.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include <cmath>

#include "node/node_attributes.h"
#include "node/settings_table.h"
#include "overlay/colour_rules.h"

namespace {

// `value` when finite, else the row's default.
float finiteOr(float value, SettingRow row) {
    return std::isfinite(value) ? value : settingDefault(row);
}

// A colour attribute delivers r, g, b as numeric data; alpha comes from its
// separate alpha attribute. Each non-finite component takes its default.
void readColor(const MObject& node, SettingRow colorRow, SettingRow alphaRow, MColor& color) {
    {
        MObject numericData = MPlug(node, *kSettings[colorRow].attribute).asMObject();
        MFnNumericData numeric(numericData);
        numeric.getData(color.r, color.g, color.b);
    }
    color.a = MPlug(node, *kSettings[alphaRow].attribute).asFloat();
    color.r = std::isfinite(color.r) ? color.r : settingDefault(colorRow, 0);
    color.g = std::isfinite(color.g) ? color.g : settingDefault(colorRow, 1);
    color.b = std::isfinite(color.b) ? color.b : settingDefault(colorRow, 2);
    color.a = finiteOr(color.a, alphaRow);
}

// A ramp bound within its attribute's range, its default when not finite.
float rampBound(float value, SettingRow row) {
    if (!std::isfinite(value)) {
        return settingDefault(row);
    }
    const auto low = static_cast<float>(kSettings[row].minValue);
    const auto high = static_cast<float>(kSettings[row].maxValue);
    if (value < low) {
        return low;
    }
    return value > high ? high : value;
}

}  // namespace

bool readLazyUpdate(const MObject& node) {
    return MPlug(node, attr::lazyUpdate).asBool();
}

int32_t readNodeState(const MObject& node) {
    return MPlug(node, MPxNode::state).asInt();
}

void readDrawSettings(const MObject& node, FrameSettings& settings) {
    settings.drawOnTop = MPlug(node, attr::drawOnTop).asBool();
    settings.pointSize = finiteOr(MPlug(node, attr::pointSize).asFloat(), kPointSizeRow);
    settings.lineWidth = finiteOr(MPlug(node, attr::lineWidth).asFloat(), kLineWidthRow);
    settings.hullWidth = finiteOr(MPlug(node, attr::hullWidth).asFloat(), kHullWidthRow);
    settings.curveDivisions = MPlug(node, attr::curveDivisions).asInt();
    readColor(node, kSelectedPointColorRow, kSelectedPointAlphaRow, settings.selectedPointColor);
    readColor(node, kDeselectedPointColorRow, kDeselectedPointAlphaRow, settings.deselectedPointColor);
    readColor(node, kCurveColorRow, kCurveAlphaRow, settings.curveColor);
    readColor(node, kHullColorRow, kHullAlphaRow, settings.hullColor);
    settings.showCurve = MPlug(node, attr::showCurve).asBool();
    settings.showHull = MPlug(node, attr::showHull).asBool();
}

bool readOccluder(const MObject& node, MString& occluderName) {
    if (!MPlug(node, attr::useCVOcclusion).asBool()) {
        return false;
    }
    occluderName = MPlug(node, attr::occluderMeshName).asString();
    return true;
}

void readDistanceColors(const MObject& node, FrameSettings& settings) {
    settings.useCVDistanceColor = MPlug(node, attr::useCVDistanceColor).asBool();
    settings.useHullDistanceColor = MPlug(node, attr::useHullDistanceColor).asBool();
    settings.useCurveDistanceColor = MPlug(node, attr::useCurveDistanceColor).asBool();
    settings.distanceColorMin =
        rampBound(MPlug(node, attr::distanceColorMin).asFloat(), kDistanceColorMinRow);
    const float distanceColorMax =
        rampBound(MPlug(node, attr::distanceColorMax).asFloat(), kDistanceColorMaxRow);
    settings.rampTop = rampTop(settings.distanceColorMin, distanceColorMax);
}

int32_t samplingDivisions(int32_t curveDivisions) {
    const auto low = static_cast<int32_t>(kSettings[kCurveDivisionsRow].minValue);
    const auto high = static_cast<int32_t>(kSettings[kCurveDivisionsRow].maxValue);
    if (curveDivisions < low) {
        return low;
    }
    return curveDivisions > high ? high : curveDivisions;
}

void copySnapshot(const FrameSettings& settings, UserData& data) {
    data.drawOnTop = settings.drawOnTop;
    data.pointSize = settings.pointSize;
    data.lineWidth = settings.lineWidth;
    data.hullWidth = settings.hullWidth;
    data.curveDivisions = settings.curveDivisions;
    data.selectedPointColor = settings.selectedPointColor;
    data.deselectedPointColor = settings.deselectedPointColor;
    data.curveColor = settings.curveColor;
    data.hullColor = settings.hullColor;
    data.showCurve = settings.showCurve;
    data.showHull = settings.showHull;
}
