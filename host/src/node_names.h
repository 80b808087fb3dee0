#pragma once
// The name index the scene keeps up to date as nodes are made, renamed,
// reparented and deleted (node_names.cpp). Not installed.
#include <string>

#include "model.h"

namespace khost {
namespace detail {

// Is any node, anywhere in the scene, named `name`?
bool nameTaken(const std::string& name);
// Enters a node under its name, or removes it.
void indexName(Node& node);
void unindexName(Node& node);
// A name given up: its number may be handed out again.
void releaseName(const std::string& name);
// Forgets where the search for free numbered names starts (new scene).
void forgetNameHints();
// A name unique among the children of `parent` (ignoring `except`).
std::string siblingUniqueName(const Node* parent, const std::string& name, const Node* except);

}  // namespace detail
}  // namespace khost
