// MSelectionList: an ordered list of nodes and components, copied on write;
// what the host's selection listing shows for its items: the shortest
// unique name of each object, components as compressed index ranges
// ("curve1.cv[1:3]", one string per contiguous run); and the text of a
// selection parsed into the items it names ("|group1|curve*",
// "curve1.cv[2:4]", "meshShape1.vtx[*]").
#include <maya/MSelectionList.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "nurbs.h"
#include "selection_items.h"

namespace khost {
namespace detail {

bool removeItemsIf(MSelectionList& list, const std::function<bool(const SelectionItem&)>& drop) {
    auto& items = Access::items(list);
    if (!items || std::none_of(items->list.begin(), items->list.end(), drop)) {
        return false;
    }
    auto kept = std::make_shared<SelectionItems>();
    std::remove_copy_if(items->list.begin(), items->list.end(), std::back_inserter(kept->list), drop);
    items = kept->list.empty() ? nullptr : kept;
    return true;
}

MObject copyComponent(const MObject& component) {
    const ComponentData* c = componentData(component);
    return c != nullptr ? objectOf(std::make_shared<ComponentData>(*c)) : MObject();
}

uint64_t nextSelectionVersion() {
    static uint64_t last = 0;
    return ++last;
}

SelectionItems& writable(std::shared_ptr<SelectionItems>& items) {
    if (!items) {
        items = std::make_shared<SelectionItems>();
    } else if (items.use_count() > 1) {
        items = std::make_shared<SelectionItems>(*items);
    } else {
        items->version = nextSelectionVersion();
    }
    return *items;
}

SelectionItem makeItem(const MObject& object, const MObject& component) {
    return SelectionItem{object, component, nodeOf(object)};
}

bool pathItem(const MDagPath& path, const MObject& component, SelectionItem& item) {
    const auto& node = Access::node(path);
    if (!node || !node->alive || (!component.isNull() && componentData(component) == nullptr)) {
        return false;
    }
    item = makeItem(objectOf(node), component);
    return true;
}

MStatus dagPathOf(const SelectionItem& item, MDagPath& path, MObject& component) {
    if (&component != &MObject::kNullObj) {
        component = item.component;
    }
    if (item.dag == nullptr) {
        return MStatus::kFailure;
    }
    Access::node(path) = std::static_pointer_cast<Node>(Access::data(item.object));
    return MStatus::kSuccess;
}

namespace {

const char* componentName(MFn::Type t) {
    static const std::pair<MFn::Type, const char*> kNames[] = {{MFn::kCurveCVComponent, "cv"},
                                                               {MFn::kCurveEPComponent, "ep"},
                                                               {MFn::kCurveKnotComponent, "knot"},
                                                               {MFn::kCurveParamComponent, "u"},
                                                               {MFn::kMeshVertComponent, "vtx"}};
    for (const auto& entry : kNames) {
        if (entry.first == t) {
            return entry.second;
        }
    }
    return "comp";
}

// The name the host lists an item under: the shortest name of its node or,
// for a component of a transform's only shape, of the transform.
std::string listedName(const SelectionItem& item, bool component) {
    if (item.dag == nullptr) {
        return item.object.apiTypeStr();
    }
    const Node* parent = item.dag->parent;
    const bool underParent =
        component && item.dag->isShape() && parent != nullptr && onlyShape(*parent, MFn::kBase) == item.dag;
    return partialPathName(underParent ? *parent : *item.dag);
}

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

void itemStrings(const SelectionItem& item, MStringArray& out) {
    const ComponentData* comp = componentData(item.component);
    if (comp == nullptr) {
        out.append(MString(listedName(item, false).c_str()));
        return;
    }
    const std::string prefix = listedName(item, true) + "." + componentName(comp->type) + "[";
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

using khost::detail::Access;
namespace kd = khost::detail;

// ---------------------------------------------------------------- MSelectionList

MSelectionList::MSelectionList() = default;
MSelectionList::MSelectionList(const MSelectionList& src) = default;
MSelectionList::~MSelectionList() = default;
MSelectionList& MSelectionList::operator=(const MSelectionList& other) = default;

MStatus MSelectionList::clear() {
    items_.reset();
    return MStatus::kSuccess;
}

bool MSelectionList::isEmpty(MStatus* ReturnStatus) const {
    return length(ReturnStatus) == 0;
}

unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return items_ ? static_cast<unsigned int>(items_->list.size()) : 0u;
}

MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath, MObject& component) const {
    return index < length() ? kd::dagPathOf(items_->list[index], dagPath, component)
                            : MStatus::kInvalidParameter;
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    if (index >= length()) {
        return MStatus::kInvalidParameter;
    }
    depNode = items_->list[index].object;
    return MStatus::kSuccess;
}

// A whole object is listed at most once, whatever mergeWithExisting says.
MStatus MSelectionList::add(const MObject& object, const bool /*mergeWithExisting*/) {
    if (object.isNull() || kd::componentData(object) != nullptr) {
        return MStatus::kInvalidParameter;
    }
    kd::mergeInto(items_, {kd::makeItem(object, MObject())}, kMergeNormal);
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MDagPath& object, const MObject& component, const bool mergeWithExisting) {
    kd::SelectionItem item;
    if (!kd::pathItem(object, component, item)) {
        return MStatus::kInvalidParameter;
    }
    if (component.isNull() || mergeWithExisting) {
        kd::mergeInto(items_, {item}, kMergeNormal);
    } else {
        item.component = kd::copyComponent(component);
        kd::append(kd::writable(items_), item);
    }
    return MStatus::kSuccess;
}

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

MStatus MSelectionList::merge(const MSelectionList& other, const MergeStrategy strategy) {
    if (!other.items_) {
        return MStatus::kSuccess;
    }
    // Merging a list with itself must read a stable copy of the source.
    const std::shared_ptr<kd::SelectionItems> source = other.items_;
    kd::mergeInto(items_, source->list, strategy);
    return MStatus::kSuccess;
}

MStatus MSelectionList::merge(const MDagPath& object, const MObject& component,
                              const MergeStrategy strategy) {
    kd::SelectionItem item;
    if (!kd::pathItem(object, component, item)) {
        return MStatus::kInvalidParameter;
    }
    kd::mergeInto(items_, {item}, strategy);
    return MStatus::kSuccess;
}

MStatus MSelectionList::remove(unsigned int index) {
    if (index >= length()) {
        return MStatus::kInvalidParameter;
    }
    kd::SelectionItems& items = kd::writable(items_);
    items.list.erase(items.list.begin() + static_cast<std::ptrdiff_t>(index));
    items.index.clear();
    return MStatus::kSuccess;
}

bool MSelectionList::hasItem(const MObject& item, MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    const auto& items = kd::itemsOf(*this);
    return !item.isNull() && std::any_of(items.begin(), items.end(), [&](const kd::SelectionItem& i) {
        return i.object == item && i.component.isNull();
    });
}

// A component item has the wanted component when it holds each of its
// elements.
bool MSelectionList::hasItem(const MDagPath& item, const MObject& component, MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    const kd::Node* node = Access::node(item).get();
    const kd::ComponentData* wanted = kd::componentData(component);
    const auto matches = [&](const kd::SelectionItem& i) {
        const kd::ComponentData* have = kd::componentData(i.component);
        if (i.dag != node || (wanted == nullptr) != (have == nullptr)) {
            return false;
        }
        return wanted == nullptr ||
               (have->type == wanted->type &&
                std::all_of(wanted->elements.begin(), wanted->elements.end(), [&](int e) {
                    return std::find(have->elements.begin(), have->elements.end(), e) != have->elements.end();
                }));
    };
    const auto& items = kd::itemsOf(*this);
    return node != nullptr && std::any_of(items.begin(), items.end(), matches);
}

MStatus MSelectionList::getSelectionStrings(MStringArray& array) const {
    array.clear();
    for (const kd::SelectionItem& item : kd::itemsOf(*this)) {
        kd::itemStrings(item, array);
    }
    return MStatus::kSuccess;
}

MStatus MSelectionList::getSelectionStrings(unsigned int index, MStringArray& array) const {
    array.clear();
    if (index >= length()) {
        return MStatus::kInvalidParameter;
    }
    kd::itemStrings(items_->list[index], array);
    return MStatus::kSuccess;
}
