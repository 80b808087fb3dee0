// Every process-wide object of the plug-in, in one translation unit so that
// they are constructed at load in exactly this order and destroyed at unload
// in the reverse order: the selection state block first, then the
// registration constants, then the 23 attribute objects in attribute table
// order. The plain flags are zero-initialised data.
#include <maya/MCallbackIdArray.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <cstdint>
#include <string>

#include "node/node_attributes.h"
#include "plugin/process_objects.h"
#include "plugin/registration.h"

MCallbackIdArray selectionCallbackIds;
MSelectionList trackedSelection;
std::string lastSelectionKey;

const MTypeId drawManagerNodeTypeId(kDrawManagerNodeTypeIdValue);
const MString drawDbClassification("drawdb/geometry/QVTK_Tessark_DrawManager_cpp");
const MString drawRegistrantId("QVTK_Tessark_DrawManagerPlugin");

namespace attr {

MObject drawOnTop;
MObject pointSize;
MObject lineWidth;
MObject hullWidth;
MObject curveDivisions;
MObject deselectedPointColor;
MObject deselectedPointAlpha;
MObject selectedPointColor;
MObject selectedPointAlpha;
MObject curveColor;
MObject curveAlpha;
MObject hullColor;
MObject hullAlpha;
MObject useCVDistanceColor;
MObject useHullDistanceColor;
MObject useCurveDistanceColor;
MObject distanceColorMin;
MObject distanceColorMax;
MObject occluderMeshName;
MObject useCVOcclusion;
MObject showCurve;
MObject showHull;
MObject lazyUpdate;

}  // namespace attr

bool softSelectionActive = false;
bool selectionPrimed = false;
int32_t lastNodeState = 0;

void resetProcessState() {
    selectionCallbackIds.clear();
    trackedSelection.clear();
    lastSelectionKey.clear();
    softSelectionActive = false;
    selectionPrimed = false;
    lastNodeState = 0;
}
