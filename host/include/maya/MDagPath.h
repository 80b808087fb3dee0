#pragma once
// Embedded host: a path through the DAG from the world to a node. The
// embedded host has no instancing, so every node has exactly one path and a
// path is identified by its leaf node.
#include <maya/MApiNamespace.h>
#include <maya/MFn.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <memory>

class MDagPath {
public:
    MDagPath();
    MDagPath(const MDagPath& src);
    virtual ~MDagPath();
    MDagPath& operator=(const MDagPath& src);
    bool operator==(const MDagPath& other) const;

    // A transform with exactly one shape below it extends to that shape; a
    // shape stays as it is; anything else fails and leaves the path unchanged.
    MStatus extendToShape();
    MStatus extendToShapeDirectlyBelow(unsigned int index);

    MFn::Type apiType(MStatus* ReturnStatus = nullptr) const;
    bool hasFn(MFn::Type type, MStatus* ReturnStatus = nullptr) const;
    MString fullPathName(MStatus* ReturnStatus = nullptr) const;
    MString partialPathName(MStatus* ReturnStatus = nullptr) const;

    MMatrix inclusiveMatrix(MStatus* ReturnStatus = nullptr) const;
    MMatrix exclusiveMatrix(MStatus* ReturnStatus = nullptr) const;
    MMatrix inclusiveMatrixInverse(MStatus* ReturnStatus = nullptr) const;
    MMatrix exclusiveMatrixInverse(MStatus* ReturnStatus = nullptr) const;

    MObject node(MStatus* ReturnStatus = nullptr) const;
    MObject transform(MStatus* ReturnStatus = nullptr) const;
    bool isValid(MStatus* ReturnStatus = nullptr) const;
    unsigned int length(MStatus* ReturnStatus = nullptr) const;
    MStatus push(const MObject& child);
    MStatus pop(unsigned int num = 1);

    static MStatus getAPathTo(const MObject& node, MDagPath& path);
    unsigned int getDisplayStatus() const;

private:
    friend struct MHostAccess;
    // The leaf of the path; null for an empty path.
    std::shared_ptr<MObject::Node> node_;
};
