#pragma once
// The draw manager node's 23 settings attributes as one table, in creation
// order: names, types, defaults, ranges and colour use. The node's attribute
// initialiser creates the attributes from it, and the overlay takes the
// defaults and ranges it holds values to from it.
#include <maya/MObject.h>

#include <cstddef>

#include "node/node_attributes.h"

enum class SettingType {
    Boolean,       // numeric kBoolean
    Int64,         // numeric kInt64
    Float,         // numeric kFloat
    ColorFloats,   // numeric k3Float used as colour; default set with three floats
    ColorDoubles,  // numeric k3Float used as colour; default set with three doubles
    String,        // typed kString, no default data
};

struct Setting {
    const char* longName;
    const char* shortName;
    SettingType type;
    double defaultValue[3];  // one value, or r, g, b for colours
    bool hasRange;
    double minValue;
    double maxValue;
    MObject* attribute;  // the process-wide attribute object it is read through
};

// Positions of the rows in kSettings.
enum SettingRow : std::size_t {
    kDrawOnTopRow,
    kPointSizeRow,
    kLineWidthRow,
    kHullWidthRow,
    kCurveDivisionsRow,
    kDeselectedPointColorRow,
    kDeselectedPointAlphaRow,
    kSelectedPointColorRow,
    kSelectedPointAlphaRow,
    kCurveColorRow,
    kCurveAlphaRow,
    kHullColorRow,
    kHullAlphaRow,
    kUseCVDistanceColorRow,
    kUseHullDistanceColorRow,
    kUseCurveDistanceColorRow,
    kDistanceColorMinRow,
    kDistanceColorMaxRow,
    kOccluderMeshNameRow,
    kUseCVOcclusionRow,
    kShowCurveRow,
    kShowHullRow,
    kLazyUpdateRow,
    kSettingCount,
};

// clang-format off
inline constexpr Setting kSettings[kSettingCount] = {
    {"drawOnTop",             "dot",            SettingType::Boolean,      {1.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::drawOnTop},
    {"pointSize",             "psize",          SettingType::Float,        {10.5, 0.0, 0.0}, true,  1.0,  100.0, &attr::pointSize},
    {"lineWidth",             "lwidth",         SettingType::Float,        {4.0, 0.0, 0.0},  true,  1.0,  100.0, &attr::lineWidth},
    {"hullWidth",             "hwidth",         SettingType::Float,        {3.0, 0.0, 0.0},  true,  1.0,  100.0, &attr::hullWidth},
    {"curveDivisions",        "crvdiv",         SettingType::Int64,        {5.0, 0.0, 0.0},  true,  2.0,  64.0,  &attr::curveDivisions},
    {"deselectedPointColor",  "dpcolor",        SettingType::ColorFloats,  {1.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::deselectedPointColor},
    {"deselectedPointAlpha",  "dpalpha",        SettingType::Float,        {1.0, 0.0, 0.0},  true,  0.0,  1.0,   &attr::deselectedPointAlpha},
    {"selectedPointColor",    "spcolor",        SettingType::ColorFloats,  {0.0, 1.0, 0.0},  false, 0.0,  0.0,   &attr::selectedPointColor},
    {"selectedPointAlpha",    "spalpha",        SettingType::Float,        {1.0, 0.0, 0.0},  true,  0.0,  1.0,   &attr::selectedPointAlpha},
    {"curveColor",            "ccolor",         SettingType::ColorDoubles, {0.0, 0.0, 1.0},  false, 0.0,  0.0,   &attr::curveColor},
    {"curveAlpha",            "calpha",         SettingType::Float,        {1.0, 0.0, 0.0},  true,  0.0,  1.0,   &attr::curveAlpha},
    {"hullColor",             "hcolor",         SettingType::ColorDoubles, {0.5, 0.0, 0.5},  false, 0.0,  0.0,   &attr::hullColor},
    {"hullAlpha",             "halpha",         SettingType::Float,        {1.0, 0.0, 0.0},  true,  0.0,  1.0,   &attr::hullAlpha},
    {"useCVDistanceColor",    "usecvdcolor",    SettingType::Boolean,      {1.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::useCVDistanceColor},
    {"useHullDistanceColor",  "usehulldcolor",  SettingType::Boolean,      {1.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::useHullDistanceColor},
    {"useCurveDistanceColor", "usecurvedcolor", SettingType::Boolean,      {1.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::useCurveDistanceColor},
    {"distanceColorMin",      "dcolormin",      SettingType::Float,        {0.25, 0.0, 0.0}, true,  0.01, 1.0,   &attr::distanceColorMin},
    {"distanceColorMax",      "dcolormax",      SettingType::Float,        {1.0, 0.0, 0.0},  true,  0.01, 1.0,   &attr::distanceColorMax},
    {"occluderMeshName",      "oclmeshname",    SettingType::String,       {0.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::occluderMeshName},
    {"useCVOcclusion",        "usecvocclusion", SettingType::Boolean,      {0.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::useCVOcclusion},
    {"showCurve",             "showcurve",      SettingType::Boolean,      {1.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::showCurve},
    {"showHull",              "showhull",       SettingType::Boolean,      {0.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::showHull},
    {"lazyUpdate",            "lazyupdate",     SettingType::Boolean,      {0.0, 0.0, 0.0},  false, 0.0,  0.0,   &attr::lazyUpdate},
};
// clang-format on

// A row's default (component `component` of a colour) in single precision.
constexpr float settingDefault(SettingRow row, int component = 0) {
    return static_cast<float>(kSettings[row].defaultValue[component]);
}
