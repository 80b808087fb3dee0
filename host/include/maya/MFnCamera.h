#pragma once
// Embedded host: function set for cameras. A camera looks down its local -Z
// axis with +Y up.
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class MFnCamera : public MFnDagNode {
public:
    MFnCamera();
    MFnCamera(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnCamera(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFnCamera(const MDagPath& object, MStatus* ReturnStatus = nullptr);
    ~MFnCamera() override;

    MFn::Type type() const override;

    MPoint eyePoint(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr) const;
    MVector viewDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr) const;
};
