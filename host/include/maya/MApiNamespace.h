#pragma once
// Embedded host: forward declarations of the host classes. The real header
// declares them in a versioned namespace and re-exports them globally; the
// embedded host declares them globally (plus namespace MHWRender) directly.

class M3dView;
class MBoundingBox;
class MCallbackIdArray;
class MColor;
class MColorArray;
class MDagPath;
class MEventMessage;
class MFloatPoint;
class MFloatPointArray;
class MFloatVector;
class MFloatVectorArray;
class MFn;
class MFnAttribute;
class MFnBase;
class MFnCamera;
class MFnComponent;
class MFnDagNode;
class MFnData;
class MFnMesh;
class MFnNumericAttribute;
class MFnNumericData;
class MFnNurbsCurve;
class MFnPlugin;
class MFnSingleIndexedComponent;
class MFnTypedAttribute;
class MGlobal;
class MIntArray;
class MItSelectionList;
class MMatrix;
class MMeshIsectAccelParams;
class MMessage;
class MObject;
class MPlug;
class MPoint;
class MPointArray;
class MPxLocatorNode;
class MPxNode;
class MRichSelection;
class MSelectionList;
class MSpace;
class MStatus;
class MString;
class MStringArray;
class MTypeId;
class MUintArray;
class MUserData;
class MVector;
class MVectorArray;
class MWeight;

namespace MHWRender {
class MDrawRegistry;
class MFrameContext;
class MPxDrawOverride;
class MUIDrawManager;
}  // namespace MHWRender
