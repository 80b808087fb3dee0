#pragma once
// The name index the scene keeps up to date as nodes are made, renamed,
// reparented and deleted (node_names.cpp). Not installed.
#include <string>

#include "model.h"

#include <unordered_map>

namespace khost {
namespace detail {

// Every node in the scene by name, and where the search for a free
// numbered name starts after each base name.
struct NameTable {
    std::unordered_multimap<std::string, Node*> byName;
    // Lowest number that may still be free after each base name ("curve" ->
    // 5 when curve1..curve4 are taken). Lowered again when a name is
    // released. Only a starting point for the search: byName stays the truth.
    std::unordered_map<std::string, long> hints;
};
// One per process, never destroyed (like the scene).
NameTable& nameTable();

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
