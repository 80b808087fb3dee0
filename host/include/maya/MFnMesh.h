#pragma once
// Embedded host: function set for polygon meshes (ray tests only).
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

// Acceleration parameters for ray tests: a uniform grid over the mesh's
// triangles, sized automatically or with fixed divisions.
class MMeshIsectAccelParams {
public:
    MMeshIsectAccelParams();

private:
    friend struct MHostAccess;
    friend class MFnMesh;
    struct Data {
        bool autoSize = true;
        int divisions[3] = {0, 0, 0};
    };
    Data data_;
};

class MFnMesh : public MFnDagNode {
public:
    MFnMesh();
    MFnMesh(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnMesh(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFnMesh(const MDagPath& object, MStatus* ReturnStatus = nullptr);
    ~MFnMesh() override;

    MFn::Type type() const override;

    static MMeshIsectAccelParams autoUniformGridParams();
    static MMeshIsectAccelParams uniformGridParams(int xDiv, int yDiv, int zDiv);

    // True when the ray from raySource along rayDirection meets a triangle at
    // a ray parameter in [0, maxParam] (also [-maxParam, 0] when
    // testBothDirections). The direction is not normalised: the parameter is
    // measured in multiples of it. Outputs describe the hit that was found.
    bool anyIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                         const MIntArray* faceIds, const MIntArray* triIds, bool idsSorted,
                         MSpace::Space space, float maxParam, bool testBothDirections,
                         MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint, float* hitRayParam,
                         int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2,
                         float tolerance = 1e-6f, MStatus* ReturnStatus = nullptr);
    // The same query; outputs describe the hit nearest to the source.
    bool closestIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                             const MIntArray* faceIds, const MIntArray* triIds, bool idsSorted,
                             MSpace::Space space, float maxParam, bool testBothDirections,
                             MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint, float* hitRayParam,
                             int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2,
                             float tolerance = 1e-6f, MStatus* ReturnStatus = nullptr);
    MStatus freeCachedIntersectionAccelerator();
};
