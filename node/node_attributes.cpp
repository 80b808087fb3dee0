// DrawManagerNode::initialize: creates the 23 settings attributes in table
// order and adds each to the node type. Statuses are ignored on purpose: a
// failed step shows only as a missing or default setting.
#include "node/node_attributes.h"

#include <maya/MFnData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>

#include "node/draw_manager_node.h"

MStatus DrawManagerNode::initialize() {
    // Range and colour settings apply to the attribute each set created last.
    MFnNumericAttribute numeric;
    MFnTypedAttribute typed;

    attr::drawOnTop = numeric.create("drawOnTop", "dot", MFnNumericData::kBoolean, 1.0);
    addAttribute(attr::drawOnTop);

    attr::pointSize = numeric.create("pointSize", "psize", MFnNumericData::kFloat, 10.5);
    numeric.setMin(1.0);
    numeric.setMax(100.0);
    addAttribute(attr::pointSize);

    attr::lineWidth = numeric.create("lineWidth", "lwidth", MFnNumericData::kFloat, 4.0);
    numeric.setMin(1.0);
    numeric.setMax(100.0);
    addAttribute(attr::lineWidth);

    attr::hullWidth = numeric.create("hullWidth", "hwidth", MFnNumericData::kFloat, 3.0);
    numeric.setMin(1.0);
    numeric.setMax(100.0);
    addAttribute(attr::hullWidth);

    attr::curveDivisions = numeric.create("curveDivisions", "crvdiv", MFnNumericData::kInt64, 5.0);
    numeric.setMin(2.0);
    numeric.setMax(64.0);
    addAttribute(attr::curveDivisions);

    // Colours: created with default 0, then given their three-component
    // default; the alpha of each lives in its own attribute.
    attr::deselectedPointColor =
        numeric.create("deselectedPointColor", "dpcolor", MFnNumericData::k3Float, 0.0);
    numeric.setDefault(1.0f, 0.0f, 0.0f);
    numeric.setUsedAsColor(true);
    addAttribute(attr::deselectedPointColor);

    attr::deselectedPointAlpha =
        numeric.create("deselectedPointAlpha", "dpalpha", MFnNumericData::kFloat, 1.0);
    numeric.setMin(0.0);
    numeric.setMax(1.0);
    addAttribute(attr::deselectedPointAlpha);

    attr::selectedPointColor = numeric.create("selectedPointColor", "spcolor", MFnNumericData::k3Float, 0.0);
    numeric.setDefault(0.0f, 1.0f, 0.0f);
    numeric.setUsedAsColor(true);
    addAttribute(attr::selectedPointColor);

    attr::selectedPointAlpha = numeric.create("selectedPointAlpha", "spalpha", MFnNumericData::kFloat, 1.0);
    numeric.setMin(0.0);
    numeric.setMax(1.0);
    addAttribute(attr::selectedPointAlpha);

    attr::curveColor = numeric.create("curveColor", "ccolor", MFnNumericData::k3Float, 0.0);
    numeric.setDefault(0.0, 0.0, 1.0);
    numeric.setUsedAsColor(true);
    addAttribute(attr::curveColor);

    attr::curveAlpha = numeric.create("curveAlpha", "calpha", MFnNumericData::kFloat, 1.0);
    numeric.setMin(0.0);
    numeric.setMax(1.0);
    addAttribute(attr::curveAlpha);

    attr::hullColor = numeric.create("hullColor", "hcolor", MFnNumericData::k3Float, 0.0);
    numeric.setDefault(0.5, 0.0, 0.5);
    numeric.setUsedAsColor(true);
    addAttribute(attr::hullColor);

    attr::hullAlpha = numeric.create("hullAlpha", "halpha", MFnNumericData::kFloat, 1.0);
    numeric.setMin(0.0);
    numeric.setMax(1.0);
    addAttribute(attr::hullAlpha);

    attr::useCVDistanceColor =
        numeric.create("useCVDistanceColor", "usecvdcolor", MFnNumericData::kBoolean, 1.0);
    addAttribute(attr::useCVDistanceColor);

    attr::useHullDistanceColor =
        numeric.create("useHullDistanceColor", "usehulldcolor", MFnNumericData::kBoolean, 1.0);
    addAttribute(attr::useHullDistanceColor);

    attr::useCurveDistanceColor =
        numeric.create("useCurveDistanceColor", "usecurvedcolor", MFnNumericData::kBoolean, 1.0);
    addAttribute(attr::useCurveDistanceColor);

    attr::distanceColorMin = numeric.create("distanceColorMin", "dcolormin", MFnNumericData::kFloat, 0.25);
    numeric.setMin(0.01);
    numeric.setMax(1.0);
    addAttribute(attr::distanceColorMin);

    attr::distanceColorMax = numeric.create("distanceColorMax", "dcolormax", MFnNumericData::kFloat, 1.0);
    numeric.setMin(0.01);
    numeric.setMax(1.0);
    addAttribute(attr::distanceColorMax);

    // No default data: a new node's occluder name is empty.
    attr::occluderMeshName =
        typed.create("occluderMeshName", "oclmeshname", MFnData::kString, MObject::kNullObj);
    addAttribute(attr::occluderMeshName);

    attr::useCVOcclusion = numeric.create("useCVOcclusion", "usecvocclusion", MFnNumericData::kBoolean, 0.0);
    addAttribute(attr::useCVOcclusion);

    attr::showCurve = numeric.create("showCurve", "showcurve", MFnNumericData::kBoolean, 1.0);
    addAttribute(attr::showCurve);

    attr::showHull = numeric.create("showHull", "showhull", MFnNumericData::kBoolean, 0.0);
    addAttribute(attr::showHull);

    attr::lazyUpdate = numeric.create("lazyUpdate", "lazyupdate", MFnNumericData::kBoolean, 0.0);
    addAttribute(attr::lazyUpdate);

    return MS::kSuccess;
}
