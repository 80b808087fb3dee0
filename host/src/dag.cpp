// DAG paths and the DAG node function set: MDagPath and MFnDagNode.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>

#include <string>

#include "model.h"

namespace khost {
namespace detail {
namespace {

// An object for `node` and kSuccess; without a node, a null object and
// `failure`.
MObject objectOr(Node* node, MStatus failure, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, node != nullptr ? MStatus::kSuccess : failure);
    return node != nullptr ? objectOf(sharedNode(node)) : MObject();
}

// Moves a path's leaf to a shape: a shape stays, a transform takes
// pick(transform) and, without one, fails with `missing`.
template <class Pick>
MStatus extendToShape(std::shared_ptr<Node>& leaf, Pick pick, MStatus missing) {
    if (!leaf || !leaf->alive) {
        return MStatus::kInvalidParameter;
    }
    if (leaf->isShape()) {
        return MStatus::kSuccess;
    }
    Node* shape = pick(*leaf);
    if (shape == nullptr) {
        return missing;
    }
    leaf = sharedNode(shape);
    return MStatus::kSuccess;
}

}  // namespace
}  // namespace detail
}  // namespace khost

using khost::detail::Access;
using khost::detail::Node;
namespace kd = khost::detail;

// ---------------------------------------------------------------- MDagPath

MDagPath::MDagPath() = default;
MDagPath::MDagPath(const MDagPath& src) = default;
MDagPath::~MDagPath() = default;
MDagPath& MDagPath::operator=(const MDagPath& src) = default;
bool MDagPath::operator==(const MDagPath& other) const {
    return node_ == other.node_;
}

MStatus MDagPath::extendToShape() {
    return kd::extendToShape(
        node_, [](const Node& transform) { return kd::onlyShape(transform, MFn::kBase); }, MStatus::kFailure);
}

MStatus MDagPath::extendToShapeDirectlyBelow(unsigned int index) {
    const auto shapeAt = [index](const Node& transform) mutable -> Node* {
        for (Node* child : transform.children) {
            if (child->isShape() && index-- == 0) {
                return child;
            }
        }
        return nullptr;
    };
    return kd::extendToShape(node_, shapeAt, MStatus::kInvalidParameter);
}

MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) ? node_->apiType() : MFn::kInvalid;
}

bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) && node_->hasFn(type);
}

MString MDagPath::fullPathName(MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) ? MString(kd::fullPathName(*node_).c_str())
                                                           : MString();
}

MString MDagPath::partialPathName(MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) ? MString(kd::partialPathName(*node_).c_str())
                                                           : MString();
}

MMatrix MDagPath::inclusiveMatrix(MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) ? kd::toMMatrix(kd::worldMatrix(*node_))
                                                           : MMatrix();
}

MMatrix MDagPath::exclusiveMatrix(MStatus* ReturnStatus) const {
    if (!kd::reportValid(node_ != nullptr, ReturnStatus) || node_->parent == nullptr) {
        return MMatrix();
    }
    return kd::toMMatrix(kd::worldMatrix(*node_->parent));
}

MMatrix MDagPath::inclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return inclusiveMatrix(ReturnStatus).inverse();
}

MMatrix MDagPath::exclusiveMatrixInverse(MStatus* ReturnStatus) const {
    return exclusiveMatrix(ReturnStatus).inverse();
}

MObject MDagPath::node(MStatus* ReturnStatus) const {
    return kd::objectOr(node_.get(), MStatus::kInvalidParameter, ReturnStatus);
}

MObject MDagPath::transform(MStatus* ReturnStatus) const {
    if (!kd::reportValid(node_ != nullptr, ReturnStatus)) {
        return MObject();
    }
    return kd::objectOr(node_->isShape() ? node_->parent : node_.get(), MStatus::kFailure, ReturnStatus);
}

bool MDagPath::isValid(MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return node_ && node_->alive;
}

unsigned int MDagPath::length(MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    unsigned int n = 0;
    for (const Node* p = node_.get(); p != nullptr; p = p->parent) {
        ++n;
    }
    return n;
}

MStatus MDagPath::push(const MObject& child) {
    Node* c = kd::nodeOf(child);
    if (c == nullptr || !c->alive || c->parent != node_.get()) {
        return MStatus::kInvalidParameter;
    }
    node_ = kd::sharedNode(c);
    return MStatus::kSuccess;
}

MStatus MDagPath::pop(unsigned int num) {
    for (unsigned int i = 0; i < num; ++i) {
        if (!node_) {
            return MStatus::kInvalidParameter;
        }
        node_ = kd::sharedNode(node_->parent);
    }
    return MStatus::kSuccess;
}

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path) {
    Node* n = kd::nodeOf(node);
    if (n == nullptr) {
        return MStatus::kInvalidParameter;
    }
    path.node_ = kd::sharedNode(n);
    return MStatus::kSuccess;
}

unsigned int MDagPath::getDisplayStatus() const {
    return static_cast<unsigned int>(M3dView::displayStatus(*this));
}

// ---------------------------------------------------------------- MFnDagNode

KHOST_DAG_FUNCTION_SET(MFnDagNode, MFn::kDagNode)

MStatus MFnDagNode::setObject(const MDagPath& path) {
    // The leaf of the path, or, when the leaf is a transform with exactly one
    // shape of this function set's type, that shape.
    const auto& leaf = Access::node(path);
    Node* node = !leaf ? nullptr : leaf->hasFn(type()) ? leaf.get() : kd::onlyShape(*leaf, type());
    MStatus status;
    obj_ = kd::objectOr(node, MStatus::kInvalidParameter, &status);
    return status;
}

MObject MFnDagNode::parent(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    if (!kd::reportValid(n != nullptr, ReturnStatus)) {
        return MObject();
    }
    return kd::objectOr(i == 0 ? n->parent : nullptr, MStatus::kFailure, ReturnStatus);
}

unsigned int MFnDagNode::parentCount(MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    return kd::reportValid(n != nullptr, ReturnStatus) && n->parent != nullptr ? 1u : 0u;
}

MObject MFnDagNode::child(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    return kd::objectOr(n != nullptr && i < n->children.size() ? n->children[i] : nullptr,
                        MStatus::kInvalidParameter, ReturnStatus);
}

unsigned int MFnDagNode::childCount(MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    return kd::reportValid(n != nullptr, ReturnStatus) ? static_cast<unsigned int>(n->children.size()) : 0u;
}

MMatrix MFnDagNode::transformationMatrix(MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    return kd::reportValid(n != nullptr, ReturnStatus) ? kd::toMMatrix(kd::localMatrix(*n)) : MMatrix();
}

MStatus MFnDagNode::getPath(MDagPath& path) const {
    return MDagPath::getAPathTo(obj_, path);
}

MDagPath MFnDagNode::dagPath(MStatus* ReturnStatus) const {
    MDagPath path;
    kd::setStatus(ReturnStatus, getPath(path));
    return path;
}

MString MFnDagNode::fullPathName(MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    return kd::reportValid(n != nullptr, ReturnStatus) ? MString(kd::fullPathName(*n).c_str()) : MString();
}
