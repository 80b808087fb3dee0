// DAG paths and the DAG node function set: MDagPath and MFnDagNode.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>

#include <cmath>

#include "model.h"

namespace khost {
namespace detail {

namespace {

MObject objectOf(const std::shared_ptr<Node>& node) {
    MObject o;
    Access::data(o) = node;
    return o;
}

Node* nodeOf(const MObject& object) {
    const auto& data = Access::data(object);
    return data ? data->asNode() : nullptr;
}

// The shapes directly below a node, in child order.
template <class Visit>
void forEachShape(const Node& node, Visit visit) {
    for (Node* child : node.children) {
        if (child->isShape()) {
            visit(child);
        }
    }
}

}  // namespace
}  // namespace detail
}  // namespace khost

using khost::detail::Access;
using khost::detail::Node;
using khost::detail::NodeKind;
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
    if (!node_ || !node_->alive) {
        return MStatus::kInvalidParameter;
    }
    if (node_->isShape()) {
        return MStatus::kSuccess;
    }
    Node* only = nullptr;
    int count = 0;
    kd::forEachShape(*node_, [&](Node* shape) {
        only = shape;
        ++count;
    });
    if (count != 1) {
        return MStatus::kFailure;
    }
    node_ = kd::sharedNode(only);
    return MStatus::kSuccess;
}

MStatus MDagPath::extendToShapeDirectlyBelow(unsigned int index) {
    if (!node_ || !node_->alive) {
        return MStatus::kInvalidParameter;
    }
    if (node_->isShape()) {
        return MStatus::kSuccess;
    }
    Node* found = nullptr;
    unsigned int i = 0;
    kd::forEachShape(*node_, [&](Node* shape) {
        if (i++ == index) {
            found = shape;
        }
    });
    if (found == nullptr) {
        return MStatus::kInvalidParameter;
    }
    node_ = kd::sharedNode(found);
    return MStatus::kSuccess;
}

MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) ? node_->apiType() : MFn::kInvalid;
}

bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) && node_->hasFn(type);
}

MString MDagPath::fullPathName(MStatus* ReturnStatus) const {
    if (!kd::reportValid(node_ != nullptr, ReturnStatus)) {
        return MString();
    }
    const std::string name = kd::fullPathName(*node_);
    return MString(name.c_str(), static_cast<int>(name.size()));
}

MString MDagPath::partialPathName(MStatus* ReturnStatus) const {
    if (!kd::reportValid(node_ != nullptr, ReturnStatus)) {
        return MString();
    }
    const std::string name = kd::partialPathName(*node_);
    return MString(name.c_str(), static_cast<int>(name.size()));
}

MMatrix MDagPath::inclusiveMatrix(MStatus* ReturnStatus) const {
    return kd::reportValid(node_ != nullptr, ReturnStatus) ? kd::toMMatrix(kd::worldMatrix(*node_))
                                                           : MMatrix();
}

MMatrix MDagPath::exclusiveMatrix(MStatus* ReturnStatus) const {
    if (!kd::reportValid(node_ != nullptr, ReturnStatus)) {
        return MMatrix();
    }
    if (node_->parent == nullptr) {
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
    kd::setStatus(ReturnStatus, node_ ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return node_ ? kd::objectOf(node_) : MObject();
}

MObject MDagPath::transform(MStatus* ReturnStatus) const {
    if (!node_) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    if (node_->kind == NodeKind::Transform) {
        kd::setStatus(ReturnStatus, MStatus::kSuccess);
        return kd::objectOf(node_);
    }
    if (node_->parent == nullptr) {
        kd::setStatus(ReturnStatus, MStatus::kFailure);
        return MObject();
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return kd::objectOf(kd::sharedNode(node_->parent));
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
    // shape of the required type, that shape.
    const auto& node = Access::node(path);
    const MFn::Type required = type();
    if (node && node->hasFn(required)) {
        obj_ = kd::objectOf(node);
        return MStatus::kSuccess;
    }
    if (node && node->kind == NodeKind::Transform) {
        Node* only = nullptr;
        int count = 0;
        kd::forEachShape(*node, [&](Node* shape) {
            if (shape->hasFn(required)) {
                only = shape;
                ++count;
            }
        });
        if (count == 1) {
            obj_ = kd::objectOf(kd::sharedNode(only));
            return MStatus::kSuccess;
        }
    }
    obj_ = MObject();
    return MStatus::kInvalidParameter;
}

MStatus MFnDagNode::setObject(MObject& object) {
    return MFnBase::setObject(object);
}
MStatus MFnDagNode::setObject(const MObject& object) {
    return MFnBase::setObject(object);
}

MObject MFnDagNode::parent(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    if (n == nullptr || i != 0 || n->parent == nullptr) {
        kd::setStatus(ReturnStatus, n == nullptr ? MStatus::kInvalidParameter : MStatus::kFailure);
        return MObject();
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return kd::objectOf(kd::sharedNode(n->parent));
}

unsigned int MFnDagNode::parentCount(MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    kd::setStatus(ReturnStatus, n == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return (n != nullptr && n->parent != nullptr) ? 1u : 0u;
}

MObject MFnDagNode::child(unsigned int i, MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    if (n == nullptr || i >= n->children.size()) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return kd::objectOf(kd::sharedNode(n->children[i]));
}

unsigned int MFnDagNode::childCount(MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    kd::setStatus(ReturnStatus, n == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return n == nullptr ? 0u : static_cast<unsigned int>(n->children.size());
}

MMatrix MFnDagNode::transformationMatrix(MStatus* ReturnStatus) const {
    Node* n = kd::nodeOf(obj_);
    return kd::reportValid(n != nullptr, ReturnStatus) ? kd::toMMatrix(kd::localMatrix(*n)) : MMatrix();
}

MStatus MFnDagNode::getPath(MDagPath& path) const {
    Node* n = kd::nodeOf(obj_);
    if (n == nullptr) {
        return MStatus::kInvalidParameter;
    }
    Access::node(path) = kd::sharedNode(n);
    return MStatus::kSuccess;
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
