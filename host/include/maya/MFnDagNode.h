#pragma once
// Embedded host: function set for any DAG node. Implemented directly on
// MFnBase (the host's intermediate dependency-node layer is not modelled).
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnBase.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MFnDagNode : public MFnBase {
public:
    MFnDagNode();
    MFnDagNode(MObject& object, MStatus* ret = nullptr);
    MFnDagNode(const MDagPath& object, MStatus* ret = nullptr);
    MFnDagNode(const MObject& object, MStatus* ret = nullptr);
    ~MFnDagNode() override;

    MFn::Type type() const override;

    MObject parent(unsigned int i, MStatus* ReturnStatus = nullptr) const;
    unsigned int parentCount(MStatus* ReturnStatus = nullptr) const;
    MObject child(unsigned int i, MStatus* ReturnStatus = nullptr) const;
    unsigned int childCount(MStatus* ReturnStatus = nullptr) const;

    // The node's own local matrix (identity for a shape).
    MMatrix transformationMatrix(MStatus* ReturnStatus = nullptr) const;

    MStatus getPath(MDagPath& path) const;
    MDagPath dagPath(MStatus* ReturnStatus = nullptr) const;
    MString fullPathName(MStatus* ReturnStatus = nullptr) const;

    using MFnBase::setObject;
    virtual MStatus setObject(const MDagPath& path);
};
