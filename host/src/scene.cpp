// The scene: node creation, deletion, renaming and parenting, the undo
// queue and the scene reset.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model.h"
#include "selection_items.h"
#include "test_hooks.h"
#include "ui_state.h"

namespace khost {
namespace detail {

namespace {

void collectSubtree(Node& root, std::vector<std::shared_ptr<Node>>& out) {
    for (Node* child : root.children) {
        collectSubtree(*child, out);
    }
    out.push_back(sharedNode(&root));
}

// Deletes the plug-in objects of the plug-in nodes among `nodes`.
void destroyPluginNodes(const std::vector<std::shared_ptr<Node>>& nodes) {
    for (const auto& n : nodes) {
        if (n->kind == NodeKind::PluginShape) {
            destroyPluginNode(*n);
        }
    }
}

// Marks nodes that leave the scene for good and cuts their links, so that
// handles kept to any of them never reach a freed node.
void unlink(const std::vector<std::shared_ptr<Node>>& nodes) {
    for (const auto& n : nodes) {
        n->alive = false;
        n->parent = nullptr;
        n->children.clear();
    }
}

void eraseDead(std::vector<std::shared_ptr<Node>>& nodes) {
    nodes.erase(
        std::remove_if(nodes.begin(), nodes.end(), [](const std::shared_ptr<Node>& n) { return !n->alive; }),
        nodes.end());
}

// Takes a node out of its parent's children, to the world level.
void detach(Node& node) {
    if (node.parent != nullptr) {
        auto& siblings = node.parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), &node), siblings.end());
        node.parent = nullptr;
    }
}

void setName(Node& node, const std::string& name) {
    unindexName(node);
    node.name = name;
    indexName(node);
}

// Drops the items for which `drop` is true from the selection lists; true
// when any list changed.
bool dropFromSelection(const std::function<bool(const SelectionItem&)>& drop) {
    SelectionState& sel = selectionState();
    bool changed = false;
    for (MSelectionList* list : {&sel.active, &sel.hilite, &sel.rich}) {
        changed = removeItemsIf(*list, drop) || changed;
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
    return n == nullptr ? nullptr : std::static_pointer_cast<Node>(n->shared_from_this());
}

Node& addNode(NodeKind kind, const std::string& name, Node* parent) {
    // The data of a new node of each kind, indexed by NodeKind.
    static const decltype(Node::data) kNewData[] = {TransformData(), CameraData(), CurveData(), MeshData(),
                                                    PluginNodeData()};
    Scene& s = Scene::get();
    auto node = std::make_shared<Node>();
    node->uid = s.nextUid++;
    node->name = name;
    node->kind = kind;
    node->data = kNewData[static_cast<int>(kind)];
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
    std::vector<std::shared_ptr<Node>> doomed;
    collectSubtree(root, doomed);
    if (!undoable) {
        destroyPluginNodes(doomed);
    }
    detach(root);
    for (const auto& n : doomed) {
        n->alive = false;
        unindexName(*n);
        testHooks().displayStatusOverrides.erase(n.get());
    }
    eraseDead(s.nodes);
    eraseDead(s.pluginNodes);
    if (undoable) {
        s.undoQueue.insert(s.undoQueue.end(), doomed.begin(), doomed.end());
    } else {
        unlink(doomed);
    }
    if (dropFromSelection(
            [](const SelectionItem& item) { return item.dag != nullptr && !item.dag->alive; })) {
        fireEvent("SelectionChanged");
    }
}

void flushUndo() {
    std::vector<std::shared_ptr<Node>> queue;
    queue.swap(Scene::get().undoQueue);
    destroyPluginNodes(queue);
    unlink(queue);
}

bool renameTo(Node& node, const std::string& newName) {
    if (!node.alive || !isValidNodeName(newName)) {
        return false;
    }
    if (newName != node.name) {
        setName(node, siblingUniqueName(node.parent, newName, &node));
    }
    return true;
}

bool reparent(Node& node, Node* newParent) {
    // Shapes live under transforms only, and no node under itself.
    const bool fits =
        newParent == nullptr ? !node.isShape() : newParent->alive && newParent->kind == NodeKind::Transform;
    if (!node.alive || !fits) {
        return false;
    }
    for (const Node* p = newParent; p != nullptr; p = p->parent) {
        if (p == &node) {
            return false;  // would make a cycle
        }
    }
    if (node.parent == newParent) {
        return true;
    }
    detach(node);
    node.parent = newParent;
    if (newParent != nullptr) {
        newParent->children.push_back(&node);
    }
    // A name clash with the new siblings renames the node, as the host does.
    const std::string name = siblingUniqueName(newParent, node.name, &node);
    if (name != node.name) {
        setName(node, name);
    }
    return true;
}

void resetScene(bool fireEvents) {
    Scene& s = Scene::get();
    destroyPluginNodes(s.nodes);
    unlink(s.nodes);
    s.nodes.clear();
    s.pluginNodes.clear();
    clearNames();
    flushUndo();
    testHooks().displayStatusOverrides.clear();

    const bool hadSelection = dropFromSelection([](const SelectionItem&) { return true; });

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
