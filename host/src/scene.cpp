// The scene: node creation, naming, deletion, renaming and parenting, and
// name lookup (full paths, partial paths, shortest unique names).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model.h"
#include "nurbs.h"
#include "scene_internal.h"
#include "selection_items.h"

namespace khost {
namespace detail {

namespace {

// Lowest number that may still be free after each base name ("curve" ->
// 5 when curve1..curve4 are taken). Lowered again when a name is released.
// Only a starting point for the search: the name index stays the truth.
std::unordered_map<std::string, long>& nameHints() {
    static auto* hints = new std::unordered_map<std::string, long>();
    return *hints;
}

bool nameTaken(const std::string& name) {
    return Scene::get().byName.count(name) != 0;
}

// "curve12" -> ("curve", 12); "curve" -> ("curve", -1).
std::pair<std::string, long> splitNumber(const std::string& name) {
    std::size_t end = name.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(name[end - 1]))) {
        --end;
    }
    if (end == name.size() || end == 0 || name.size() - end > 9) {
        return {name, -1};
    }
    return {name.substr(0, end), std::stol(name.substr(end))};
}

void releaseName(const std::string& name) {
    const auto split = splitNumber(name);
    if (split.second < 1) {
        return;
    }
    auto& hints = nameHints();
    auto it = hints.find(split.first);
    if (it != hints.end() && split.second < it->second) {
        it->second = split.second;
    }
}

// base + the lowest number >= start for which `taken` is false.
template <class Taken>
std::pair<std::string, long> numberedName(const std::string& base, long start, Taken taken) {
    long n = start;
    std::string candidate = base + std::to_string(n);
    while (taken(candidate)) {
        ++n;
        candidate = base + std::to_string(n);
    }
    return {candidate, n};
}

// base + the lowest number >= 1 that no node in the scene uses.
std::string globalNumberedName(const std::string& base) {
    long& hint = nameHints()[base];
    const auto found = numberedName(base, std::max(hint, 1L), nameTaken);
    hint = found.second + 1;
    return found.first;
}

void indexName(Node& node) {
    Scene::get().byName.emplace(node.name, &node);
}

void unindexName(Node& node) {
    auto& byName = Scene::get().byName;
    auto range = byName.equal_range(node.name);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == &node) {
            byName.erase(it);
            break;
        }
    }
}

bool siblingHasName(const Node* parent, const std::string& name, const Node* except) {
    auto range = Scene::get().byName.equal_range(name);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second != except && it->second->parent == parent) {
            return true;
        }
    }
    return false;
}

// A name unique among the children of `parent` (ignoring `except`).
std::string siblingUniqueName(const Node* parent, const std::string& name, const Node* except) {
    if (!siblingHasName(parent, name, except)) {
        return name;
    }
    const auto split = splitNumber(name);
    return numberedName(split.first, 1,
                        [&](const std::string& n) { return siblingHasName(parent, n, except); })
        .first;
}

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
    auto& sel = Scene::get().selection;
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

bool isValidNodeName(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':';
    });
}

std::string uniqueNodeName(const std::string& requested, const std::string& defaultBase) {
    if (requested.empty()) {
        return globalNumberedName(defaultBase);
    }
    if (!nameTaken(requested)) {
        return requested;
    }
    return globalNumberedName(splitNumber(requested).first);
}

std::string shapeNameFor(const std::string& transformName) {
    const auto split = splitNumber(transformName);
    std::string name = split.second < 0 ? transformName + "Shape"
                                        : split.first + "Shape" + transformName.substr(split.first.size());
    if (!nameTaken(name)) {
        return name;
    }
    return globalNumberedName(splitNumber(name).first);
}

Node& addNode(NodeKind kind, const std::string& name, Node* parent) {
    Scene& s = Scene::get();
    auto node = std::make_shared<Node>();
    node->uid = s.nextUid++;
    node->name = name;
    node->kind = kind;
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
        s.displayStatusOverrides.erase(n);
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
    s.byName.clear();
    flushUndo();
    nameHints().clear();
    s.displayStatusOverrides.clear();

    auto& sel = s.selection;
    const bool hadSelection = !sel.active.isEmpty() || !sel.hilite.isEmpty() || !sel.rich.isEmpty();
    sel.active.clear();
    sel.hilite.clear();
    sel.rich.clear();
    if (hadSelection) {
        ++sel.version;
    }

    s.views.clear();
    s.activeView = 0;

    // The default perspective camera and one view through it.
    const Vec3 eye{{28.0, 21.0, 28.0}};
    Node& transform = addNode(NodeKind::Transform, "persp", nullptr);
    transform.translate = eye;
    transform.rotate = lookAtRotation(eye, Vec3{{0.0, 0.0, 0.0}});
    Node& shape = addNode(NodeKind::Camera, "perspShape", &transform);
    View view;
    view.cameraShape = sharedNode(&shape);
    s.views.push_back(view);

    if (fireEvents) {
        if (hadSelection) {
            fireEvent("SelectionChanged");
        }
        fireEvent("NewSceneOpened");
    }
}

// ---------------------------------------------------------------- names and paths

std::string fullPathName(const Node& node) {
    std::size_t size = 0;
    for (const Node* p = &node; p != nullptr; p = p->parent) {
        size += p->name.size() + 1;
    }
    std::string out(size, '|');
    std::size_t end = size;
    for (const Node* p = &node; p != nullptr; p = p->parent) {
        end -= p->name.size();
        out.replace(end, p->name.size(), p->name);
        --end;  // the separator, already '|'
    }
    return out;
}

std::string partialPathName(const Node& node) {
    auto range = Scene::get().byName.equal_range(node.name);
    if (range.first == range.second || std::next(range.first) == range.second) {
        return node.name;  // the usual case: the name alone is unique
    }
    std::vector<const Node*> rivals;  // other nodes matching the suffix built so far
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second != &node) {
            rivals.push_back(it->second);
        }
    }
    if (rivals.empty()) {
        return node.name;
    }
    std::string suffix = node.name;
    const Node* cur = &node;
    while (!rivals.empty()) {
        cur = cur->parent;
        if (cur == nullptr) {
            return "|" + suffix;  // only the full path is unique
        }
        suffix = cur->name + "|" + suffix;
        std::vector<const Node*> next;
        for (const Node* r : rivals) {
            const Node* rp = r->parent;
            if (rp != nullptr && rp->name == cur->name) {
                next.push_back(rp);
            }
        }
        rivals.swap(next);
    }
    return suffix;
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t bar = path.find('|', start);
        const std::size_t end = bar == std::string::npos ? path.size() : bar;
        parts.push_back(path.substr(start, end - start));
        if (bar == std::string::npos) {
            break;
        }
        start = bar + 1;
    }
    return parts;
}

Node* findNode(const std::string& nameOrPath) {
    if (nameOrPath.empty()) {
        return nullptr;
    }
    const bool absolute = nameOrPath[0] == '|';
    std::vector<std::string> parts = splitPath(absolute ? nameOrPath.substr(1) : nameOrPath);
    if (std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); })) {
        return nullptr;
    }
    Node* found = nullptr;
    auto range = Scene::get().byName.equal_range(parts.back());
    for (auto it = range.first; it != range.second; ++it) {
        const Node* p = it->second;
        bool match = true;
        for (std::size_t i = parts.size() - 1; i-- > 0;) {
            p = p->parent;
            if (p == nullptr || p->name != parts[i]) {
                match = false;
                break;
            }
        }
        if (match && absolute && p->parent != nullptr) {
            match = false;
        }
        if (match) {
            if (found != nullptr) {
                return nullptr;  // ambiguous
            }
            found = it->second;
        }
    }
    return found;
}

}  // namespace detail
}  // namespace khost
