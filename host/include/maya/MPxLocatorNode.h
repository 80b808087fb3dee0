#pragma once
// Embedded host: base class of locator node types. Like the host's own
// header this one pulls in M3dView.h. A subclass that overrides nothing is
// complete: there are no pure virtual members.
#include <maya/M3dView.h>
#include <maya/MApiNamespace.h>
#include <maya/MBoundingBox.h>
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPxNode.h>
#include <maya/MVector.h>

class MPxLocatorNode : public MPxNode {
public:
    MPxLocatorNode();
    ~MPxLocatorNode() override;

    MPxNode::Type type() const override { return kLocatorNode; }

    // Legacy viewport drawing; the embedded host never calls it.
    virtual void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
                      M3dView::DisplayStatus status);
    virtual bool isBounded() const { return false; }
    // Object-space box; the embedded host never asks for it.
    virtual MBoundingBox boundingBox() const { return MBoundingBox(); }
    virtual bool excludeAsLocator() const { return true; }
    virtual bool isTransparent() const { return false; }
    virtual bool drawLast() const { return false; }
    virtual bool useClosestPointForSelection() const { return false; }
    virtual MPoint closestPoint(MPoint cursorRayPoint, MVector /*cursorRayDir*/) const {
        return cursorRayPoint;
    }

    // Wireframe colour of a locator in the given display status.
    unsigned int color(M3dView::DisplayStatus displayStatus);
    MColor colorRGB(M3dView::DisplayStatus displayStatus);

    static MObject underWorldObject;
    static MObject localPosition;
    static MObject localPositionX;
    static MObject localPositionY;
    static MObject localPositionZ;
    static MObject worldPosition;
    static MObject worldPositionX;
    static MObject worldPositionY;
    static MObject worldPositionZ;
    static MObject localScale;
    static MObject localScaleX;
    static MObject localScaleY;
    static MObject localScaleZ;
    static MObject nodeBoundingBox;
    static MObject nodeBoundingBoxMin;
    static MObject nodeBoundingBoxMinX;
    static MObject nodeBoundingBoxMinY;
    static MObject nodeBoundingBoxMinZ;
    static MObject nodeBoundingBoxMax;
    static MObject nodeBoundingBoxMaxX;
    static MObject nodeBoundingBoxMaxY;
    static MObject nodeBoundingBoxMaxZ;
    static MObject nodeBoundingBoxSize;
    static MObject nodeBoundingBoxSizeX;
    static MObject nodeBoundingBoxSizeY;
    static MObject nodeBoundingBoxSizeZ;
    static MObject center;
    static MObject boundingBoxCenterX;
    static MObject boundingBoxCenterY;
    static MObject boundingBoxCenterZ;
    static MObject matrix;
    static MObject inverseMatrix;
    static MObject worldMatrix;
    static MObject worldInverseMatrix;
    static MObject parentMatrix;
    static MObject parentInverseMatrix;
    static MObject visibility;
    static MObject intermediateObject;
    static MObject isTemplated;
    static MObject instObjGroups;
    static MObject objectGroups;
    static MObject objectGrpCompList;
    static MObject objectGroupId;
    static MObject objectGroupColor;
    static MObject useObjectColor;
    static MObject objectColor;
};
