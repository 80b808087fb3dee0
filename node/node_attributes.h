#pragma once
// The draw manager node's 23 settings attributes. Each is one process-wide
// attribute object (defined in plugin/process_objects.cpp, empty until
// DrawManagerNode::initialize assigns it); every setting is read as
// MPlug(node object, attr::<name>).
#include <maya/MObject.h>

namespace attr {

extern MObject drawOnTop;              // bool, x-ray drawing of the whole overlay
extern MObject pointSize;              // float, CV point size in pixels, 1..100
extern MObject lineWidth;              // float, curve overlay line width, 1..100
extern MObject hullWidth;              // float, hull overlay line width, 1..100
extern MObject curveDivisions;         // int64, curve samples per span, 2..64
extern MObject deselectedPointColor;   // 3 floats, colour of unselected CVs
extern MObject deselectedPointAlpha;   // float, 0..1
extern MObject selectedPointColor;     // 3 floats, colour of selected CVs
extern MObject selectedPointAlpha;     // float, 0..1
extern MObject curveColor;             // 3 floats, base colour of the curve overlay
extern MObject curveAlpha;             // float, 0..1
extern MObject hullColor;              // 3 floats, base colour of the hull overlay
extern MObject hullAlpha;              // float, 0..1
extern MObject useCVDistanceColor;     // bool, depth ramp on CV points and markers
extern MObject useHullDistanceColor;   // bool, depth ramp on hull vertices
extern MObject useCurveDistanceColor;  // bool, distance ramp on curve samples
extern MObject distanceColorMin;       // float, floor of the ramps, 0.01..1
extern MObject distanceColorMax;       // float, top of the ramps, 0.01..1
extern MObject occluderMeshName;       // string, mesh that hides the CVs behind it
extern MObject useCVOcclusion;         // bool, turns CV occlusion on
extern MObject showCurve;              // bool, draw the curve overlay
extern MObject showHull;               // bool, draw the hull overlay
extern MObject lazyUpdate;             // bool, fetch the selection only on selection events

}  // namespace attr
