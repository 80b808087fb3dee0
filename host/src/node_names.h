#pragma once
// The name index the scene keeps up to date as nodes are made, renamed,
// reparented and deleted (node_names.cpp). Not installed.
#include <string>
#include <unordered_map>

#include "model.h"

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

// Enters a node under its name, or removes it (its name's number may then
// be handed out again).
void indexName(Node& node);
void unindexName(Node& node);
// Forgets every name (new scene).
void clearNames();
// A name unique among the children of `parent` (ignoring `except`).
std::string siblingUniqueName(const Node* parent, const std::string& name, const Node* except);

}  // namespace detail
}  // namespace khost
