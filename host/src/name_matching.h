#pragma once
// Matching node names and paths against the patterns MSelectionList::add
// takes: exact names, partial or full paths, '*' and '?' wildcards.
#include <string>
#include <vector>

#include "model.h"

namespace khost {
namespace detail {

// Glob match with '*' (any run) and '?' (any one character).
bool glob(const char* pattern, const char* text);
// Nodes whose path ends in `segments` (each one a glob pattern), in creation
// order; with `absolute` the first segment must name a world-level node.
std::vector<Node*> matchNodes(const std::vector<std::string>& segments, bool absolute);

}  // namespace detail
}  // namespace khost
