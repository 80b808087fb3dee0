// Model views: M3dView (projection to pixels, display status) and the frame
// context the host hands to draw overrides.
#include <maya/M3dView.h>
#include <maya/MFrameContext.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "frame_state.h"
#include "model.h"
#include "selection_items.h"
#include "test_hooks.h"
#include "ui_state.h"

namespace khost {
namespace detail {

ViewSet& viewSet() {
    static ViewSet* views = new ViewSet();
    return *views;
}

const View* viewAt(int index) {
    const auto& views = viewSet().views;
    return index >= 0 && static_cast<std::size_t>(index) < views.size()
               ? &views[static_cast<std::size_t>(index)]
               : nullptr;
}

// Projects a world point to unrounded pixel coordinates of a view. False
// when the point is not in front of the camera.
bool projectToView(const View& view, const Vec3& p, double& x, double& y) {
    const Mat4 m = viewProjection(view);
    double clip[4];
    for (int j = 0; j < 4; ++j) {
        clip[j] = p[0] * m[0][j] + p[1] * m[1][j] + p[2] * m[2][j] + m[3][j];
    }
    const double w = clip[3];
    x = (clip[0] / w + 1.0) / 2.0 * view.width;
    y = (clip[1] / w + 1.0) / 2.0 * view.height;
    return w > 0.0;
}

FrameContextImpl::FrameContextImpl(const View& view) : width(view.width), height(view.height) {
    Access::node(camera) = view.cameraShape;
    viewMtx = toMMatrix(viewMatrix(view));
    projMtx = toMMatrix(projectionMatrix(view));
    viewProjMtx = toMMatrix(viewProjection(view));
}

// The types come in groups of four, numbered base * 4 + variant (see
// semanticToMatrixType). World matrices are those of an object at the world
// origin: there is no current object at the frame level.
MMatrix FrameContextImpl::getMatrix(MatrixType mtype, MStatus* ReturnStatus) const {
    static const MMatrix kIdentity;
    const MMatrix* const bases[] = {&kIdentity, &viewMtx, &projMtx, &viewProjMtx, &viewMtx, &viewProjMtx};
    const int type = static_cast<int>(mtype);
    if (!reportValid(type >= kWorldMtx && type <= kWorldViewProjTranspInverseMtx, ReturnStatus)) {
        return MMatrix();
    }
    const MMatrix& m = *bases[type / 4];
    switch (type % 4) {
        case 1:
            return m.transpose();
        case 2:
            return m.inverse();
        case 3:
            return m.inverse().transpose();
        default:
            return m;
    }
}

MStatus FrameContextImpl::getViewportDimensions(int& originX, int& originY, int& w, int& h) const {
    originX = originY = 0;
    w = width;
    h = height;
    return MStatus::kSuccess;
}

namespace {

// The position of the last item of `list` that holds `node` as a whole
// object, or ItemIndex::kNone.
std::size_t lastWholeItem(const MSelectionList& list, const ObjectData* node) {
    const auto& items = itemsOf(list);
    const ItemIndex& index = indexOf(list);
    std::size_t whole = ItemIndex::kNone;
    for (std::size_t pos = index.first(node); pos != ItemIndex::kNone; pos = index.next(pos)) {
        whole = items[pos].component.isNull() ? pos : whole;
    }
    return whole;
}

// The display status the selection lists give `node` itself (not through
// its parents): the lead when it is the most recently selected object (the
// last whole-object item of the active list), else active when the active
// list holds it as a whole object, else hilite when the hilite list does.
M3dView::DisplayStatus readListedStatus(const SelectionState& sel, const Node& node) {
    const std::size_t whole = lastWholeItem(sel.active, &node);
    if (whole != ItemIndex::kNone) {
        const auto& active = itemsOf(sel.active);
        for (std::size_t pos = active.size() - 1; pos > whole; --pos) {
            if (active[pos].dag != nullptr && active[pos].component.isNull()) {
                return M3dView::kActive;  // a whole object selected after it
            }
        }
        return M3dView::kLead;
    }
    return lastWholeItem(sel.hilite, &node) != ItemIndex::kNone ? M3dView::kHilite : M3dView::kDormant;
}

// readListedStatus, kept on the node until the active or hilite list changes.
M3dView::DisplayStatus listedStatus(const SelectionState& sel, const Node& node) {
    const uint64_t active = versionOf(sel.active);
    const uint64_t hilite = versionOf(sel.hilite);
    Node::ListedStatus& kept = node.listed;
    if (kept.status < 0 || kept.activeVersion != active || kept.hiliteVersion != hilite) {
        kept = {active, hilite, static_cast<int>(readListedStatus(sel, node))};
    }
    return static_cast<M3dView::DisplayStatus>(kept.status);
}

short toPixel(double v) {
    // Truncates toward zero.
    return std::isfinite(v) ? static_cast<short>(std::min(std::max(v, -32768.0), 32767.0)) : short{0};
}

// The view a handle is attached to, reporting kFailure when there is none.
const View* attachedView(int index, MStatus* ReturnStatus) {
    const View* view = viewAt(index);
    setStatus(ReturnStatus, view == nullptr ? MStatus::kFailure : MStatus::kSuccess);
    return view;
}

M3dView::DisplayStatus displayStatusOf(const Node& node) {
    const auto& forced = testHooks().displayStatusOverrides;
    if (!forced.empty()) {
        auto it = forced.find(&node);
        if (it == forced.end() && node.isShape() && node.parent != nullptr) {
            it = forced.find(node.parent);
        }
        if (it != forced.end()) {
            return static_cast<M3dView::DisplayStatus>(it->second);
        }
    }
    // A node shows as selected or hilited when it or a node above it is.
    const SelectionState& selection = selectionState();
    M3dView::DisplayStatus selected = M3dView::kDormant;
    bool templated = false;
    for (const Node* p = &node; p != nullptr; p = p->parent) {
        templated = templated || p->templated;
        if (selected == M3dView::kDormant) {
            selected = listedStatus(selection, *p);
        }
    }
    if (selected == M3dView::kLead || selected == M3dView::kActive) {
        return templated ? M3dView::kActiveTemplate : selected;
    }
    if (selected == M3dView::kHilite) {
        return M3dView::kHilite;
    }
    return templated ? M3dView::kTemplate : M3dView::kDormant;
}

}  // namespace
}  // namespace detail
}  // namespace khost

using khost::detail::Access;
namespace kd = khost::detail;

// ---------------------------------------------------------------- M3dView

M3dView::M3dView() = default;
M3dView::M3dView(const M3dView& other) = default;
M3dView& M3dView::operator=(const M3dView& other) = default;
M3dView::~M3dView() = default;

M3dView M3dView::active3dView(MStatus* ReturnStatus) {
    M3dView view;
    if (kd::attachedView(kd::viewSet().active, ReturnStatus) != nullptr) {
        view.impl_ = kd::viewSet().active;
    }
    return view;
}

M3dView::DisplayStatus M3dView::displayStatus(const MDagPath& path, MStatus* ReturnStatus) {
    const auto& node = Access::node(path);
    return kd::reportValid(node != nullptr && node->alive, ReturnStatus) ? kd::displayStatusOf(*node)
                                                                         : kNoStatus;
}

bool M3dView::worldToView(const MPoint& worldPt, short& x_pos, short& y_pos, MStatus* ReturnStatus) const {
    const kd::View* view = kd::attachedView(impl_, ReturnStatus);
    if (view == nullptr) {
        return false;
    }
    MPoint p(worldPt);
    p.cartesianize();
    double x = 0.0, y = 0.0;
    const bool inFront = kd::projectToView(*view, kd::Vec3{{p.x, p.y, p.z}}, x, y);
    x_pos = kd::toPixel(x);
    y_pos = kd::toPixel(y);
    return inFront;
}

MStatus M3dView::viewToWorld(short x_pos, short y_pos, MPoint& worldPt, MVector& worldVector) const {
    MPoint nearPt, farPt;
    const MStatus s = viewToWorld(x_pos, y_pos, nearPt, farPt);
    if (!s) {
        return s;
    }
    worldPt = nearPt;
    worldVector = farPt - nearPt;
    worldVector.normalize();
    return s;
}

MStatus M3dView::viewToWorld(short x_pos, short y_pos, MPoint& nearClipPt, MPoint& farClipPt) const {
    const kd::View* view = kd::viewAt(impl_);
    if (view == nullptr || view->width <= 0 || view->height <= 0) {
        return MStatus::kFailure;
    }
    const MMatrix inv = kd::toMMatrix(kd::viewProjection(*view)).inverse();
    const double nx = 2.0 * x_pos / view->width - 1.0;
    const double ny = 2.0 * y_pos / view->height - 1.0;
    nearClipPt = MPoint(nx, ny, -1.0) * inv;
    farClipPt = MPoint(nx, ny, 1.0) * inv;
    nearClipPt.cartesianize();
    farClipPt.cartesianize();
    return MStatus::kSuccess;
}

int M3dView::portWidth(MStatus* ReturnStatus) {
    const kd::View* view = kd::attachedView(impl_, ReturnStatus);
    return view == nullptr ? 0 : view->width;
}

int M3dView::portHeight(MStatus* ReturnStatus) {
    const kd::View* view = kd::attachedView(impl_, ReturnStatus);
    return view == nullptr ? 0 : view->height;
}

MStatus M3dView::refresh(bool /*all*/, bool /*force*/) {
    // Frames are driven by the scene harness; a refresh request is accepted
    // and has no further effect.
    return kd::viewAt(impl_) == nullptr ? MStatus::kFailure : MStatus::kSuccess;
}

unsigned int M3dView::numberOf3dViews() {
    return static_cast<unsigned int>(kd::viewSet().views.size());
}

MStatus M3dView::get3dView(const unsigned int index, M3dView& view) {
    if (index >= kd::viewSet().views.size()) {
        return MStatus::kInvalidParameter;
    }
    view.impl_ = static_cast<int>(index);
    return MStatus::kSuccess;
}

// ---------------------------------------------------------------- MFrameContext

namespace MHWRender {

MFrameContext::MFrameContext() = default;
MFrameContext::~MFrameContext() = default;

MMatrix MFrameContext::getMatrix(MatrixType /*mtype*/, MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kFailure);
    return MMatrix();
}

MStatus MFrameContext::getViewportDimensions(int& originX, int& originY, int& width, int& height) const {
    originX = originY = width = height = 0;
    return MStatus::kFailure;
}

MDagPath MFrameContext::getCurrentCameraPath(MStatus* ReturnStatus) const {
    const auto* impl = dynamic_cast<const kd::FrameContextImpl*>(this);
    if (impl == nullptr) {
        kd::setStatus(ReturnStatus, MStatus::kFailure);
        return MDagPath();
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return impl->camera;
}

MFrameContext::MatrixType MFrameContext::semanticToMatrixType(const MString& value, MStatus* ReturnStatus) {
    // The types come in groups of four, numbered base * 4 + variant.
    static const char* const kBases[] = {"World",          "View",      "Projection",
                                         "ViewProjection", "WorldView", "WorldViewProjection"};
    static const char* const kVariants[] = {"", "Transpose", "Inverse", "InverseTranspose"};
    for (int base = 0; base < 6; ++base) {
        for (int variant = 0; variant < 4; ++variant) {
            if (value == (std::string(kBases[base]) + kVariants[variant]).c_str()) {
                kd::setStatus(ReturnStatus, MStatus::kSuccess);
                return static_cast<MatrixType>(base * 4 + variant);
            }
        }
    }
    kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return kWorldMtx;
}

}  // namespace MHWRender
