#pragma once
// Embedded host: base class of every node type a plug-in defines. The host
// creates the object through the registered creator, links it to its node
// and destroys it through the virtual destructor when the node goes away.
#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class MDataBlock;

class MPxNode {
public:
    // Only the kinds this host knows are named; the numbering is the host's.
    enum Type {
        kDependNode = 0,
        kLocatorNode = 1,
        kDeformerNode = 2,
        kManipContainer = 3,
        kSurfaceShape = 4,
        kBlendShape = 25,
        kLast = 26
    };

    MPxNode() = default;
    virtual ~MPxNode() = default;

    virtual MObject thisMObject() const;
    virtual MString name() const;
    virtual MString typeName() const;
    virtual MTypeId typeId() const;
    virtual void postConstructor() {}
    virtual MStatus compute(const MPlug& /*plug*/, MDataBlock& /*dataBlock*/) {
        return MStatus::kUnknownParameter;
    }
    virtual Type type() const { return kDependNode; }

    static MStatus addAttribute(const MObject& attr);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);
    static MStatus inheritAttributesFrom(const MString& parentClassName);

    // Attributes every node has.
    static MObject message;
    static MObject isHistoricallyInteresting;
    static MObject caching;
    static MObject state;  // "nodeState": 0 normal .. 5 waiting-blocking
    static MObject frozen;

private:
    friend struct MHostAccess;
    MPxNode(const MPxNode&);
    MPxNode& operator=(const MPxNode&);
    // The host node this object belongs to; set by the host after the creator returns.
    MObject::Node* node_ = nullptr;
};
