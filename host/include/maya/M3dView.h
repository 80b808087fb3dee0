#pragma once
// Embedded host: a 3D model view. A view handle refers to one of the scene's
// views by position; views are made and removed by the scene harness.
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MVector.h>

class M3dView {
public:
    enum DisplayStyle { kBoundingBox = 0, kFlatShaded = 1, kGouraudShaded = 2, kWireFrame = 3, kPoints = 4 };
    enum DisplayStatus {
        kActive = 0,
        kLive = 1,
        kDormant = 2,
        kInvisible = 3,
        kHilite = 4,
        kTemplate = 5,
        kActiveTemplate = 6,
        kActiveComponent = 7,
        kLead = 8,
        kIntermediateObject = 9,
        kActiveAffected = 10,
        kNoStatus = 11
    };

    M3dView();
    M3dView(const M3dView& other);
    M3dView& operator=(const M3dView& other);
    virtual ~M3dView();

    static M3dView active3dView(MStatus* ReturnStatus = nullptr);
    static DisplayStatus displayStatus(const MDagPath& path, MStatus* ReturnStatus = nullptr);

    // Viewport pixel coordinates, origin at the bottom-left corner. False when
    // the point is not in front of the camera (the coordinates are written
    // anyway).
    bool worldToView(const MPoint& worldPt, short& x_pos, short& y_pos,
                     MStatus* ReturnStatus = nullptr) const;
    // The ray through a pixel: its point on the near plane and its direction.
    MStatus viewToWorld(short x_pos, short y_pos, MPoint& worldPt, MVector& worldVector) const;
    MStatus viewToWorld(short x_pos, short y_pos, MPoint& nearClipPt, MPoint& farClipPt) const;

    int portWidth(MStatus* ReturnStatus = nullptr);
    int portHeight(MStatus* ReturnStatus = nullptr);
    MStatus refresh(bool all = false, bool force = false);

    static unsigned int numberOf3dViews();
    static MStatus get3dView(const unsigned int index, M3dView& view);

private:
    int impl_ = -1;  // index of the scene view; -1 when not attached
};
