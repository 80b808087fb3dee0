#pragma once
// Embedded host: function set for NURBS curves. Knots follow the host's
// convention: numCVs + degree - 1 values, no extra end knots.
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#define kMFnNurbsEpsilon 1.0e-3

class MFnNurbsCurve : public MFnDagNode {
public:
    enum Form { kInvalid = 0, kOpen = 1, kClosed = 2, kPeriodic = 3, kLast = 4 };

    MFnNurbsCurve();
    MFnNurbsCurve(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnNurbsCurve(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFnNurbsCurve(const MDagPath& object, MStatus* ReturnStatus = nullptr);
    ~MFnNurbsCurve() override;

    MFn::Type type() const override;

    MStatus getCVs(MPointArray& array, MSpace::Space space = MSpace::kObject) const;
    MStatus getCV(unsigned int index, MPoint& pt, MSpace::Space space = MSpace::kObject) const;
    MStatus getKnotDomain(double& start, double& end) const;
    int numSpans(MStatus* ReturnStatus = nullptr) const;
    int numCVs(MStatus* ReturnStatus = nullptr) const;
    int degree(MStatus* ReturnStatus = nullptr) const;
    int numKnots(MStatus* ReturnStatus = nullptr) const;
    Form form(MStatus* ReturnStatus = nullptr) const;
    MStatus getPointAtParam(double param, MPoint& point, MSpace::Space space = MSpace::kObject) const;
    double length(double tolerance = kMFnNurbsEpsilon, MStatus* ReturnStatus = nullptr) const;
};
