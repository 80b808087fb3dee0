// The scene: node creation, deletion, renaming and parenting, the undo
// queue and the scene reset.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model.h"
#include "node_names.h"
#include "nurbs.h"
#include "selection_items.h"
#include "test_hooks.h"
#include "ui_state.h"

namespace khost {
namespace detail {

namespace {

void collectSubtree(Node& root, std::vector<Node*>& out) {
    for (Node* child : root.children) {
        collectSubtree(*child, out);
    }
    out.push_back(&root);
}

// Cuts the links of nodes that leave the scene for good, so that handles
// kept to any of them never reach a freed node.
void unlink(const std::vector<std::shared_ptr<Node>>& nodes) {
    for (const auto& n : nodes) {
        n->parent = nullptr;
        n->children.clear();
    }
}

// Drops items of deleted nodes from a list; true when the list changed.
bool pruneDead(MSelectionList& list) {
    return removeItemsIf(list,
                         [](const SelectionItem& item) { return item.dag != nullptr && !item.dag->alive; });
}

bool pruneSelection() {
    auto& sel = selectionState();
    bool changed = pruneDead(sel.active);
    changed = pruneDead(sel.hilite) || changed;
    changed = pruneDead(sel.rich) || changed;
    if (changed) {
        ++sel.version;
    }
    return changed;
}

}  // namespace

Scene& Scene::get() {
    // Never destroyed: like the host's own state it lives as long as the
    // process, and plug-in objects reachable from it are never run at exit.
    static Scene* scene = nullptr;
    if (scene == nullptr) {
        scene = new Scene();
        resetScene(false);
    }
    return *scene;
}

std::shared_ptr<Node> sharedNode(Node* n) {
    if (n == nullptr) {
        return nullptr;
    }
    return std::static_pointer_cast<Node>(n->shared_from_this());
}

Node& addNode(NodeKind kind, const std::string& name, Node* parent) {
    Scene& s = Scene::get();
    auto node = std::make_shared<Node>();
    node->uid = s.nextUid++;
    node->name = name;
    node->kind = kind;
    switch (kind) {
        case NodeKind::Transform:
            node->data = TransformData();
            break;
        case NodeKind::Camera:
            node->data = CameraData();
            break;
        case NodeKind::NurbsCurve:
            node->data = CurveData();
            break;
        case NodeKind::Mesh:
            node->data = MeshData();
            break;
        case NodeKind::PluginShape:
            node->data = PluginNodeData();
            break;
    }
    node->parent = parent;
    if (parent != nullptr) {
        parent->children.push_back(node.get());
    }
    s.nodes.push_back(node);
    if (kind == NodeKind::PluginShape) {
        s.pluginNodes.push_back(node);
    }
    indexName(*node);
    return *node;
}

void removeSubtree(Node& root, bool undoable) {
    Scene& s = Scene::get();
    std::vector<Node*> doomed;
    collectSubtree(root, doomed);
    if (!undoable) {
        for (Node* n : doomed) {
            if (n->kind == NodeKind::PluginShape) {
                destroyPluginNode(*n);
            }
        }
    }
    if (root.parent != nullptr) {
        auto& siblings = root.parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), &root), siblings.end());
        root.parent = nullptr;
    }
    std::vector<std::shared_ptr<Node>> owned;
    owned.reserve(doomed.size());
    for (Node* n : doomed) {
        n->alive = false;
        unindexName(*n);
        releaseName(n->name);
        testHooks().displayStatusOverrides.erase(n);
        owned.push_back(sharedNode(n));
    }
    s.nodes.erase(std::remove_if(s.nodes.begin(), s.nodes.end(),
                                 [](const std::shared_ptr<Node>& n) { return !n->alive; }),
                  s.nodes.end());
    s.pluginNodes.erase(std::remove_if(s.pluginNodes.begin(), s.pluginNodes.end(),
                                       [](const std::shared_ptr<Node>& n) { return !n->alive; }),
                        s.pluginNodes.end());
    if (undoable) {
        s.undoQueue.insert(s.undoQueue.end(), owned.begin(), owned.end());
    } else {
        unlink(owned);
    }
    if (pruneSelection()) {
        fireEvent("SelectionChanged");
    }
}

void flushUndo() {
    Scene& s = Scene::get();
    std::vector<std::shared_ptr<Node>> queue;
    queue.swap(s.undoQueue);
    for (const auto& n : queue) {
        if (n->kind == NodeKind::PluginShape) {
            destroyPluginNode(*n);
        }
    }
    unlink(queue);
}

bool renameTo(Node& node, const std::string& newName) {
    if (!node.alive || !isValidNodeName(newName)) {
        return false;
    }
    if (newName == node.name) {
        return true;
    }
    const std::string name = siblingUniqueName(node.parent, newName, &node);
    unindexName(node);
    releaseName(node.name);
    node.name = name;
    indexName(node);
    return true;
}

bool reparent(Node& node, Node* newParent) {
    if (!node.alive) {
        return false;
    }
    if (newParent == nullptr) {
        // Shapes live under transforms only.
        if (node.isShape()) {
            return false;
        }
    } else {
        if (!newParent->alive || newParent->kind != NodeKind::Transform) {
            return false;
        }
        for (const Node* p = newParent; p != nullptr; p = p->parent) {
            if (p == &node) {
                return false;  // would make a cycle
            }
        }
    }
    if (node.parent == newParent) {
        return true;
    }
    if (node.parent != nullptr) {
        auto& siblings = node.parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), &node), siblings.end());
    }
    node.parent = newParent;
    if (newParent != nullptr) {
        newParent->children.push_back(&node);
    }
    // A name clash with the new siblings renames the node, as the host does.
    const std::string name = siblingUniqueName(newParent, node.name, &node);
    if (name != node.name) {
        unindexName(node);
        releaseName(node.name);
        node.name = name;
        indexName(node);
    }
    return true;
}

void resetScene(bool fireEvents) {
    Scene& s = Scene::get();
    for (const auto& n : s.nodes) {
        if (n->kind == NodeKind::PluginShape) {
            destroyPluginNode(*n);
        }
    }
    std::vector<std::shared_ptr<Node>> all;
    all.swap(s.nodes);
    s.pluginNodes.clear();
    for (const auto& n : all) {
        n->alive = false;
    }
    unlink(all);
    all.clear();
    nameTable().byName.clear();
    flushUndo();
    forgetNameHints();
    testHooks().displayStatusOverrides.clear();

    auto& sel = selectionState();
    const bool hadSelection = !sel.active.isEmpty() || !sel.hilite.isEmpty() || !sel.rich.isEmpty();
    sel.active.clear();
    sel.hilite.clear();
    sel.rich.clear();
    if (hadSelection) {
        ++sel.version;
    }

    viewSet().views.clear();
    viewSet().active = 0;

    // The default perspective camera and one view through it.
    const Vec3 eye{{28.0, 21.0, 28.0}};
    Node& transform = addNode(NodeKind::Transform, "persp", nullptr);
    transform.transform().translate = eye;
    transform.transform().rotate = lookAtRotation(eye, Vec3{{0.0, 0.0, 0.0}});
    Node& shape = addNode(NodeKind::Camera, "perspShape", &transform);
    View view;
    view.cameraShape = sharedNode(&shape);
    viewSet().views.push_back(view);

    if (fireEvents) {
        if (hadSelection) {
            fireEvent("SelectionChanged");
        }
        fireEvent("NewSceneOpened");
    }
}

}  // namespace detail
}  // namespace khost
