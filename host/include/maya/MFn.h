#pragma once
// Embedded host: the object type identifiers that MObject::apiType and the
// function sets use.
#include <maya/MApiNamespace.h>

class MFn {
public:
    enum Type {
        // Values shared with the host: kInvalid, kBase, kDagNode, kTransform,
        // kCamera, kCurve, kNurbsCurve, kLocator, kMesh, kPluginLocatorNode,
        // kComponent, kCurveCVComponent, kMeshVertComponent,
        // kSingleIndexedComponent and kLast. Every other value below is this
        // embedded host's own numbering (1100 and up): code must use the
        // names, never the numbers.
        kInvalid = 0,
        kBase = 1,
        kDagNode = 107,
        kTransform = 110,
        kCamera = 250,
        kCurve = 266,
        kNurbsCurve = 267,
        kLocator = 281,
        kMesh = 296,
        kPluginLocatorNode = 460,
        kComponent = 535,
        kCurveCVComponent = 536,
        kMeshVertComponent = 554,
        kSingleIndexedComponent = 713,

        kDependencyNode = 1100,
        kPlugin = 1101,
        kAttribute = 1102,
        kNumericAttribute = 1103,
        kTypedAttribute = 1104,
        kEnumAttribute = 1105,
        kData = 1106,
        kNumericData = 1107,
        kStringData = 1108,
        kCurveEPComponent = 1109,
        kCurveKnotComponent = 1110,
        kCurveParamComponent = 1111,
        kPluginDependNode = 1112,

        kLast = 1150
    };
};
