// What the host's selection listing shows for the items of a list: the
// shortest unique name of each object, components as compressed index
// ranges ("curve1.cv[1:3]", one string per contiguous run).
#include <algorithm>
#include <string>
#include <vector>

#include "selection_items.h"

namespace khost {
namespace detail {

namespace {

const char* componentName(MFn::Type t) {
    switch (t) {
        case MFn::kCurveCVComponent:
            return "cv";
        case MFn::kCurveEPComponent:
            return "ep";
        case MFn::kCurveKnotComponent:
            return "knot";
        case MFn::kCurveParamComponent:
            return "u";
        case MFn::kMeshVertComponent:
            return "vtx";
        default:
            return "comp";
    }
}

// The name the host lists a component's owner under: the transform when
// the shape is its only shape, else the shape itself.
std::string componentOwnerName(const Node& shape) {
    const Node* parent = shape.parent;
    if (shape.isShape() && parent != nullptr) {
        int shapes = 0;
        for (const Node* c : parent->children) {
            shapes += c->isShape() ? 1 : 0;
        }
        if (shapes == 1) {
            return partialPathName(*parent);
        }
    }
    return partialPathName(shape);
}

std::string objectName(const SelectionItem& item) {
    if (item.dag != nullptr) {
        return partialPathName(*item.dag);
    }
    return item.object.apiTypeStr();
}

}  // namespace

void itemStrings(const SelectionItem& item, MStringArray& out) {
    const ComponentData* comp = componentData(item.component);
    if (comp == nullptr) {
        out.append(MString(objectName(item).c_str()));
        return;
    }
    const std::string prefix = (item.dag != nullptr ? componentOwnerName(*item.dag) : objectName(item)) +
                               "." + componentName(comp->type) + "[";
    std::vector<int> sorted(comp->elements);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.empty()) {
        out.append(MString((prefix + "]").c_str()));
        return;
    }
    std::size_t i = 0;
    while (i < sorted.size()) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) {
            ++j;
        }
        std::string s = prefix + std::to_string(sorted[i]);
        if (j > i) {
            s += ":" + std::to_string(sorted[j]);
        }
        s += "]";
        out.append(MString(s.c_str()));
        i = j + 1;
    }
}

}  // namespace detail
}  // namespace khost
