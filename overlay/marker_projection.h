#pragma once
// Projection of first-CV markers into the pixels of the view being prepared.
#include <maya/MFrameContext.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

// The view-projection matrix and viewport of one view.
struct ViewProjection {
    MMatrix viewProjection;
    int originX = 0;
    int originY = 0;
    int width = 0;
    int height = 0;
};

// Reads the view being prepared from its frame context.
ViewProjection viewProjectionOf(const MHWRender::MFrameContext& frameContext);

// A pixel coordinate as a 16-bit view coordinate: non-finite gives 0,
// otherwise clamped to the short range and truncated toward zero.
short toViewCoordinate(double pixel);

// The marker position of a world point: its pixel coordinates in the view
// (origin at the bottom-left corner of the viewport) as (x, y, 0, 1), with
// the same 16-bit values M3dView::worldToView gives for that view. False,
// and `marker` untouched, for a point behind the camera or on its plane
// (clip w <= 0) or whose projection is not finite: such a point has no
// place in the view, and dividing by its w would mirror it into the view.
bool markerPosition(const ViewProjection& view, const MPoint& worldPoint, MPoint& marker);
