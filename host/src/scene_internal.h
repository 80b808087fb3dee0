#pragma once
// Scene operations shared between the host's own sources (scene.cpp defines
// them unless noted). Not part of the harness API.
#include <string>
#include <vector>

#include "model.h"

namespace khost {
namespace detail {

bool isValidNodeName(const std::string& name);
// The requested name when free, else the next free number after its base;
// defaultBase when nothing was requested ("curve" -> "curve1").
std::string uniqueNodeName(const std::string& requested, const std::string& defaultBase);
// "curve1" -> "curveShape1", "arm" -> "armShape".
std::string shapeNameFor(const std::string& transformName);
Node& addNode(NodeKind kind, const std::string& name, Node* parent);
void removeSubtree(Node& root, bool undoable);
void flushUndo();
bool renameTo(Node& node, const std::string& newName);
bool reparent(Node& node, Node* newParent);
void resetScene(bool fireEvents);
std::vector<std::string> splitPath(const std::string& path);

// camera.cpp: Euler rotation (degrees, xyz) that makes a camera at `eye` look at `target`.
Vec3 lookAtRotation(const Vec3& eye, const Vec3& target);
// view.cpp: world point to unrounded view pixels (origin bottom-left).
bool projectToView(const View& view, const Vec3& world, double& x, double& y);

}  // namespace detail
}  // namespace khost
