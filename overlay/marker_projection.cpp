#include "overlay/marker_projection.h"

#include <cmath>

ViewProjection viewProjectionOf(const MHWRender::MFrameContext& frameContext) {
    ViewProjection view;
    view.viewProjection = frameContext.getMatrix(MHWRender::MFrameContext::kViewProjMtx);
    frameContext.getViewportDimensions(view.originX, view.originY, view.width, view.height);
    return view;
}

short toViewCoordinate(double pixel) {
    if (!std::isfinite(pixel)) {
        return 0;
    }
    if (pixel <= -32768.0) {
        return -32768;
    }
    if (pixel >= 32767.0) {
        return 32767;
    }
    return static_cast<short>(pixel);
}

bool markerPosition(const ViewProjection& view, const MPoint& worldPoint, MPoint& marker) {
    // Cartesian first, as the view's own projection does for rational points.
    MPoint point(worldPoint);
    point.cartesianize();
    const MPoint clip = point * view.viewProjection;
    if (!(clip.w > 0.0)) {
        return false;
    }
    const double ndcX = clip.x / clip.w;
    const double ndcY = clip.y / clip.w;
    const double pixelX = view.originX + (ndcX + 1.0) * 0.5 * view.width;
    const double pixelY = view.originY + (ndcY + 1.0) * 0.5 * view.height;
    if (!std::isfinite(pixelX) || !std::isfinite(pixelY)) {
        return false;
    }
    marker = MPoint(toViewCoordinate(pixelX), toViewCoordinate(pixelY), 0.0, 1.0);
    return true;
}
