#pragma once
// The NURBS curve shapes a selection list names, read through the host API
// as a plug-in reads a selection: each item as a DAG path extended to its
// shape (an item naming a transform stands for the shape below it).
#include <maya/MSelectionList.h>

#include <set>
#include <string>

namespace knotlens_test {

// Full path names of the NURBS curve shapes that the items of `list` name.
std::set<std::string> curveShapesIn(const MSelectionList& list);

}  // namespace knotlens_test
