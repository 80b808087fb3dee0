// Frustum culling of draw overrides against a view.
#include <maya/MBoundingBox.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPxDrawOverride.h>

#include "frame_context.h"
#include "frame_state.h"

namespace khost {
namespace detail {

// Frustum culling as the host documents it: an override that says it is
// bounded is culled when its bounding box (object space, taken to world
// space through the override's transform) lies wholly outside the view's
// frustum, that is when all eight corners are outside one of the six clip
// planes. The test is conservative: a box that only straddles planes is kept.
bool culledByFrustum(const MHWRender::MPxDrawOverride& override, const MDagPath& path,
                     const MDagPath& cameraPath, const FrameContextImpl& context) {
    if (!override.isBounded(path, cameraPath)) {
        return false;
    }
    MBoundingBox box = override.boundingBox(path, cameraPath);
    box.transformUsing(override.transform(path, cameraPath));
    const MPoint lo = box.min();
    const MPoint hi = box.max();
    // One bit per clip plane: -w <= x, x <= w, -w <= y, y <= w, -w <= z, z <= w.
    unsigned int outsideAll = 0x3F;
    for (int corner = 0; corner < 8; ++corner) {
        const MPoint world((corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y,
                           (corner & 4) ? hi.z : lo.z);
        const MPoint c = world * context.viewProjMtx;
        const unsigned int outside = (c.x < -c.w ? 0x01u : 0u) | (c.x > c.w ? 0x02u : 0u) |
                                     (c.y < -c.w ? 0x04u : 0u) | (c.y > c.w ? 0x08u : 0u) |
                                     (c.z < -c.w ? 0x10u : 0u) | (c.z > c.w ? 0x20u : 0u);
        outsideAll &= outside;
    }
    return outsideAll != 0;
}

}  // namespace detail
}  // namespace khost
