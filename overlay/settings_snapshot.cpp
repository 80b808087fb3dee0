// DrawOverride::snapshotSettings: the node's drawing settings copied into the
// frame's record, each plug read once. The distance-colour, occlusion and
// lazy-update settings are read by prepareForDraw where they are used.
#include <maya/MColor.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

#include "node/node_attributes.h"
#include "overlay/draw_override.h"
#include "overlay/setting_guards.h"
#include "overlay/user_data.h"

namespace {

// A colour attribute delivers r, g, b as numeric data; alpha comes from its
// separate alpha attribute.
void readColor(const MObject& node, const MObject& colorAttribute, const MObject& alphaAttribute,
               MColor& color) {
    {
        MObject numericData = MPlug(node, colorAttribute).asMObject();
        MFnNumericData numeric(numericData);
        numeric.getData(color.r, color.g, color.b);
    }
    color.a = MPlug(node, alphaAttribute).asFloat();
}

// A connection can deliver a NaN or an infinity to any of these; the record
// then keeps the attribute's default instead, so nothing non-finite reaches
// the draw manager.
void keepSettingsFinite(UserData& data) {
    const UserData defaults;
    data.pointSize = finiteOr(data.pointSize, defaults.pointSize);
    data.lineWidth = finiteOr(data.lineWidth, defaults.lineWidth);
    data.hullWidth = finiteOr(data.hullWidth, defaults.hullWidth);
    replaceNonFinite(data.selectedPointColor, defaults.selectedPointColor);
    replaceNonFinite(data.deselectedPointColor, defaults.deselectedPointColor);
    replaceNonFinite(data.curveColor, defaults.curveColor);
    replaceNonFinite(data.hullColor, defaults.hullColor);
}

}  // namespace

void DrawOverride::snapshotSettings(UserData& data) const {
    data.drawOnTop = MPlug(nodeObject, attr::drawOnTop).asBool();
    data.pointSize = MPlug(nodeObject, attr::pointSize).asFloat();
    data.lineWidth = MPlug(nodeObject, attr::lineWidth).asFloat();
    data.hullWidth = MPlug(nodeObject, attr::hullWidth).asFloat();
    data.curveDivisions = MPlug(nodeObject, attr::curveDivisions).asInt();
    readColor(nodeObject, attr::selectedPointColor, attr::selectedPointAlpha, data.selectedPointColor);
    readColor(nodeObject, attr::deselectedPointColor, attr::deselectedPointAlpha, data.deselectedPointColor);
    readColor(nodeObject, attr::curveColor, attr::curveAlpha, data.curveColor);
    readColor(nodeObject, attr::hullColor, attr::hullAlpha, data.hullColor);
    data.showCurve = MPlug(nodeObject, attr::showCurve).asBool();
    keepSettingsFinite(data);
    data.showHull = MPlug(nodeObject, attr::showHull).asBool();
}
