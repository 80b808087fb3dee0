// MSelectionList::add(const MString&): the text of a selection ("curve1",
// "|group1|curve*", "curve1.cv[2:4]", "meshShape1.vtx[*]") parsed into the
// items it names: exact names, partial or full paths, '*' and '?' wildcards.
#include <maya/MSelectionList.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "model.h"
#include "nurbs.h"
#include "selection_items.h"

namespace khost {
namespace detail {

namespace {

// Parses "cv[3]", "cv[1:4]" or "cv[*]" for a node; null when the text or the
// node does not fit.
std::shared_ptr<ComponentData> parseComponent(const std::string& text, const Node& node) {
    const std::size_t open = text.find('[');
    if (open == std::string::npos || text.back() != ']') {
        return nullptr;
    }
    const std::string name = text.substr(0, open);
    const std::string range = text.substr(open + 1, text.size() - open - 2);
    auto comp = std::make_shared<ComponentData>();
    int count = 0;
    if ((name == "cv" || name == "ep") && node.kind == NodeKind::NurbsCurve) {
        const CurveData& curve = node.curve();
        const int cvs = static_cast<int>(curve.cvs.size());
        const int spans = geom::numSpans(curve.degree, cvs);
        const bool periodic = curve.form == geom::kFormPeriodic;
        if (name == "cv") {
            comp->type = MFn::kCurveCVComponent;
            count = periodic ? spans : cvs;
        } else {
            comp->type = MFn::kCurveEPComponent;
            count = periodic ? spans : spans + 1;
        }
    } else if (name == "vtx" && node.kind == NodeKind::Mesh) {
        comp->type = MFn::kMeshVertComponent;
        count = static_cast<int>(node.mesh().vertices.size());
    } else {
        return nullptr;
    }
    int first = 0, last = count - 1;
    if (range != "*") {
        const std::size_t colon = range.find(':');
        const std::string a = range.substr(0, colon);
        const std::string b = colon == std::string::npos ? a : range.substr(colon + 1);
        auto isNumber = [](const std::string& s) {
            return !s.empty() && s.size() < 10 &&
                   std::all_of(s.begin(), s.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        };
        if (!isNumber(a) || !isNumber(b)) {
            return nullptr;
        }
        first = std::stoi(a);
        last = std::stoi(b);
        if (first > last || last >= count) {
            return nullptr;
        }
    }
    for (int e = first; e <= last; ++e) {
        comp->elements.push_back(e);
    }
    return comp;
}

}  // namespace
}  // namespace detail
}  // namespace khost

namespace kd = khost::detail;

MStatus MSelectionList::add(const MString& matchString, const bool /*searchChildNamespacesToo*/) {
    std::string text = matchString.asChar();
    std::string componentText;
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos) {
        componentText = text.substr(dot + 1);
        text = text.substr(0, dot);
    }
    std::vector<kd::SelectionItem> found;
    for (kd::Node* n : kd::matchPath(text)) {
        if (componentText.empty()) {
            found.push_back(kd::makeItem(kd::objectOf(kd::sharedNode(n)), MObject()));
            continue;
        }
        // A component names elements of the node itself when it is a shape,
        // else of the only shape below it.
        kd::Node* owner = n->isShape() ? n : kd::onlyShape(*n, MFn::kBase);
        auto comp = owner != nullptr ? kd::parseComponent(componentText, *owner) : nullptr;
        if (comp) {
            found.push_back(kd::makeItem(kd::objectOf(kd::sharedNode(owner)), kd::objectOf(comp)));
        }
    }
    if (found.empty()) {
        return MStatus::kInvalidParameter;
    }
    kd::mergeInto(items_, found, kMergeNormal);
    return MStatus::kSuccess;
}
