// MPxLocatorNode: the base of plug-in locators, its built-in attributes and
// the host's wireframe colours by display status.
#include <maya/MPxLocatorNode.h>

#include "attributes.h"

// ---------------------------------------------------------------- MPxLocatorNode
#define KHOST_LOCATOR_ATTR(name) MObject MPxLocatorNode::name = khost::detail::builtinObject(#name)
KHOST_LOCATOR_ATTR(underWorldObject);
KHOST_LOCATOR_ATTR(localPosition);
KHOST_LOCATOR_ATTR(localPositionX);
KHOST_LOCATOR_ATTR(localPositionY);
KHOST_LOCATOR_ATTR(localPositionZ);
KHOST_LOCATOR_ATTR(worldPosition);
KHOST_LOCATOR_ATTR(worldPositionX);
KHOST_LOCATOR_ATTR(worldPositionY);
KHOST_LOCATOR_ATTR(worldPositionZ);
KHOST_LOCATOR_ATTR(localScale);
KHOST_LOCATOR_ATTR(localScaleX);
KHOST_LOCATOR_ATTR(localScaleY);
KHOST_LOCATOR_ATTR(localScaleZ);
KHOST_LOCATOR_ATTR(nodeBoundingBox);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMin);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMinX);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMinY);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMinZ);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMax);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMaxX);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMaxY);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMaxZ);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSize);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSizeX);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSizeY);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSizeZ);
KHOST_LOCATOR_ATTR(center);
KHOST_LOCATOR_ATTR(boundingBoxCenterX);
KHOST_LOCATOR_ATTR(boundingBoxCenterY);
KHOST_LOCATOR_ATTR(boundingBoxCenterZ);
KHOST_LOCATOR_ATTR(matrix);
KHOST_LOCATOR_ATTR(inverseMatrix);
KHOST_LOCATOR_ATTR(worldMatrix);
KHOST_LOCATOR_ATTR(worldInverseMatrix);
KHOST_LOCATOR_ATTR(parentMatrix);
KHOST_LOCATOR_ATTR(parentInverseMatrix);
KHOST_LOCATOR_ATTR(visibility);
KHOST_LOCATOR_ATTR(intermediateObject);
KHOST_LOCATOR_ATTR(isTemplated);
KHOST_LOCATOR_ATTR(instObjGroups);
KHOST_LOCATOR_ATTR(objectGroups);
KHOST_LOCATOR_ATTR(objectGrpCompList);
KHOST_LOCATOR_ATTR(objectGroupId);
KHOST_LOCATOR_ATTR(objectGroupColor);
KHOST_LOCATOR_ATTR(useObjectColor);
KHOST_LOCATOR_ATTR(objectColor);
#undef KHOST_LOCATOR_ATTR

MPxLocatorNode::MPxLocatorNode() = default;
MPxLocatorNode::~MPxLocatorNode() = default;
void MPxLocatorNode::draw(M3dView&, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {}

namespace {

// Wireframe palette of the embedded host, by display status.
struct StatusColour {
    unsigned int index;
    float r, g, b;
};

StatusColour statusColour(M3dView::DisplayStatus status) {
    switch (status) {
        case M3dView::kLead:
            return {18, 0.26f, 1.0f, 0.64f};
        case M3dView::kActive:
            return {16, 1.0f, 1.0f, 1.0f};
        case M3dView::kHilite:
        case M3dView::kActiveComponent:
            return {9, 1.0f, 0.0f, 1.0f};
        case M3dView::kTemplate:
        case M3dView::kActiveTemplate:
            return {3, 0.5f, 0.5f, 0.5f};
        case M3dView::kLive:
            return {14, 0.0f, 1.0f, 0.0f};
        case M3dView::kActiveAffected:
            return {30, 0.78f, 0.0f, 0.78f};
        default:
            return {5, 0.0f, 0.0f, 0.55f};
    }
}

}  // namespace

unsigned int MPxLocatorNode::color(M3dView::DisplayStatus displayStatus) {
    return statusColour(displayStatus).index;
}

MColor MPxLocatorNode::colorRGB(M3dView::DisplayStatus displayStatus) {
    const StatusColour c = statusColour(displayStatus);
    return MColor(c.r, c.g, c.b, 1.0f);
}
