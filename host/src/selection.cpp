// Selection: MSelectionList, MItSelectionList, MGlobal's selection queries,
// MRichSelection and the component function sets.
#include <maya/MFnComponent.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGlobal.h>
#include <maya/MItSelectionList.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>
#include <unordered_set>
#include <vector>

#include "model.h"
#include "nurbs.h"
#include "scene_internal.h"

namespace khost {
namespace detail {

namespace {

bool isSingleIndexed(MFn::Type t) {
    return t == MFn::kCurveCVComponent || t == MFn::kCurveEPComponent || t == MFn::kCurveKnotComponent ||
           t == MFn::kMeshVertComponent;
}

}  // namespace

bool ComponentData::hasFn(MFn::Type t) const {
    if (t == type || t == MFn::kComponent || t == MFn::kBase) {
        return type != MFn::kInvalid;
    }
    return t == MFn::kSingleIndexedComponent && isSingleIndexed(type);
}

namespace {

using Items = std::vector<SelectionItem>;  // items to add or merge

void setStatus(MStatus* status, MStatus::MStatusCode code) {
    if (status != nullptr) {
        *status = code;
    }
}

template <class T>
MObject objectOf(const std::shared_ptr<T>& data) {
    MObject o;
    Access::data(o) = data;
    return o;
}

const ComponentData* componentData(const MObject& object) {
    const auto& data = Access::data(object);
    return data ? data->asComponent() : nullptr;
}

ComponentData* componentData(MObject& object) {
    const auto& data = Access::data(object);
    return data ? data->asComponent() : nullptr;
}

float weightAt(const ComponentData& c, std::size_t i) {
    return (c.hasWeights && i < c.weights.size()) ? c.weights[i] : 1.0f;
}

// A component of the same type holding the chosen elements of `from`, in
// their order, with their weights.
template <class Keep>
void appendFiltered(ComponentData& to, const ComponentData& from, Keep keep) {
    for (std::size_t i = 0; i < from.elements.size(); ++i) {
        if (keep(from.elements[i])) {
            to.elements.push_back(from.elements[i]);
            to.weights.push_back(weightAt(from, i));
        }
    }
}

std::shared_ptr<ComponentData> emptyLike(const ComponentData& a, const ComponentData& b) {
    auto c = std::make_shared<ComponentData>();
    c->type = a.type;
    c->hasWeights = a.hasWeights || b.hasWeights;
    return c;
}

void finish(ComponentData& c) {
    if (!c.hasWeights) {
        c.weights.clear();
    }
}

std::shared_ptr<ComponentData> unite(const ComponentData& a, const ComponentData& b) {
    auto c = emptyLike(a, b);
    std::unordered_set<int> seen;
    appendFiltered(*c, a, [&](int e) { return seen.insert(e).second; });
    appendFiltered(*c, b, [&](int e) { return seen.insert(e).second; });
    finish(*c);
    return c;
}

std::shared_ptr<ComponentData> subtract(const ComponentData& a, const ComponentData& b) {
    auto c = emptyLike(a, a);
    const std::unordered_set<int> drop(b.elements.begin(), b.elements.end());
    appendFiltered(*c, a, [&](int e) { return drop.count(e) == 0; });
    finish(*c);
    return c;
}

std::shared_ptr<ComponentData> symmetricDifference(const ComponentData& a, const ComponentData& b) {
    auto c = emptyLike(a, b);
    const std::unordered_set<int> inA(a.elements.begin(), a.elements.end());
    const std::unordered_set<int> inB(b.elements.begin(), b.elements.end());
    appendFiltered(*c, a, [&](int e) { return inB.count(e) == 0; });
    appendFiltered(*c, b, [&](int e) { return inA.count(e) == 0; });
    finish(*c);
    return c;
}

// Lists own their component data: what is added is copied, so that later
// changes through a function set never reach a list.
MObject copyComponent(const MObject& component) {
    const ComponentData* c = componentData(component);
    if (c == nullptr) {
        return MObject();
    }
    return objectOf(std::make_shared<ComponentData>(*c));
}

SelectionItems& writable(std::shared_ptr<SelectionItems>& items) {
    if (!items) {
        items = std::make_shared<SelectionItems>();
    } else if (items.use_count() > 1) {
        items = std::make_shared<SelectionItems>(*items);
    }
    return *items;
}

MFn::Type componentTypeOf(const SelectionItem& item) {
    const ComponentData* c = componentData(item.component);
    return c != nullptr ? c->type : MFn::kInvalid;
}

// Items are the same selectable thing when they name the same node and,
// for component items, the same kind of component.
const ObjectData* objectKey(const SelectionItem& item) {
    return Access::data(item.object).get();
}

void addPosition(ObjectIndex& index, const ObjectData* key, std::size_t position) {
    const auto inserted = index.tryEmplace(key);
    if (inserted.second) {
        inserted.first->first = position;
    } else {
        inserted.first->more.push_back(position);
    }
}

void buildIndex(SelectionItems& items) {
    items.index.clear();
    items.index.reserve(items.list.size());
    for (std::size_t i = 0; i < items.list.size(); ++i) {
        addPosition(items.index, objectKey(items.list[i]), i);
    }
    items.indexed = true;
}

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Position of the first item that is the same selectable thing as `item`
// and not removed, or kNotFound.
std::size_t findSame(const SelectionItems& items, const SelectionItem& item,
                     const std::unordered_set<std::size_t>& removed) {
    const ItemPositions* positions = items.index.find(objectKey(item));
    if (positions == nullptr) {
        return kNotFound;
    }
    const MFn::Type type = componentTypeOf(item);
    auto matches = [&](std::size_t pos) {
        return (removed.empty() || removed.count(pos) == 0) && componentTypeOf(items.list[pos]) == type;
    };
    if (matches(positions->first)) {
        return positions->first;
    }
    for (std::size_t pos : positions->more) {
        if (matches(pos)) {
            return pos;
        }
    }
    return kNotFound;
}

void append(SelectionItems& items, SelectionItem item) {
    if (items.indexed) {
        addPosition(items.index, objectKey(item), items.list.size());
    }
    items.list.push_back(std::move(item));
}

SelectionItem makeItem(const MObject& object, const MObject& component) {
    SelectionItem item;
    item.object = object;
    item.component = component;
    const auto& data = Access::data(object);
    item.dag = data ? data->asNode() : nullptr;
    return item;
}

void mergeInto(std::shared_ptr<SelectionItems>& dstPtr, const std::vector<SelectionItem>& src,
               MSelectionList::MergeStrategy strategy) {
    if (src.empty()) {
        return;
    }
    SelectionItems& dst = writable(dstPtr);
    if (!dst.indexed) {
        buildIndex(dst);
    }
    std::unordered_set<std::size_t> removed;  // positions of items that go
    for (const SelectionItem& item : src) {
        const std::size_t pos = findSame(dst, item, removed);
        const ComponentData* comp = componentData(item.component);
        if (pos == kNotFound) {
            if (strategy != MSelectionList::kRemoveFromList) {
                // The source item already knows its DAG node.
                SelectionItem copy;
                copy.object = item.object;
                copy.component = copyComponent(item.component);
                copy.dag = item.dag;
                append(dst, std::move(copy));
            }
            continue;
        }
        if (comp == nullptr) {
            if (strategy != MSelectionList::kMergeNormal) {
                removed.insert(pos);
            }
            continue;
        }
        const ComponentData* mine = componentData(dst.list[pos].component);
        std::shared_ptr<ComponentData> result;
        switch (strategy) {
            case MSelectionList::kMergeNormal:
                result = unite(*mine, *comp);
                break;
            case MSelectionList::kXORWithList:
                result = symmetricDifference(*mine, *comp);
                break;
            case MSelectionList::kRemoveFromList:
                result = subtract(*mine, *comp);
                break;
        }
        if (result->elements.empty()) {
            removed.insert(pos);
        } else {
            dst.list[pos].component = objectOf(result);
        }
    }
    if (removed.empty()) {
        return;
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < dst.list.size(); ++i) {
        if (removed.count(i) == 0) {
            if (out != i) {
                dst.list[out] = std::move(dst.list[i]);
            }
            ++out;
        }
    }
    dst.list.resize(out);
    dst.index.clear();
    dst.indexed = false;
}

// ---------------------------------------------------------------- strings

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
            return partialPathNameRef(*parent);
        }
    }
    return partialPathNameRef(shape);
}

std::string objectName(const SelectionItem& item) {
    if (item.dag != nullptr) {
        return partialPathNameRef(*item.dag);
    }
    return item.object.apiTypeStr();
}

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

// ---------------------------------------------------------------- name matching

// Glob match with '*' (any run) and '?' (any one character).
bool glob(const char* p, const char* s) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*s != '\0') {
        if (*p == '?' || (*p != '*' && *p == *s)) {
            ++p;
            ++s;
        } else if (*p == '*') {
            star = p++;
            resume = s;
        } else if (star != nullptr) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') {
        ++p;
    }
    return *p == '\0';
}

bool hasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// Nodes whose path matches the segments, in creation order.
std::vector<Node*> matchNodes(const std::vector<std::string>& segments, bool absolute) {
    const Scene& s = Scene::get();
    std::vector<Node*> candidates;
    const std::string& last = segments.back();
    if (hasWildcard(last)) {
        for (const auto& n : s.nodes) {
            if (glob(last.c_str(), n->name.c_str())) {
                candidates.push_back(n.get());
            }
        }
    } else {
        auto range = s.byName.equal_range(last);
        for (auto it = range.first; it != range.second; ++it) {
            candidates.push_back(it->second);
        }
        std::sort(candidates.begin(), candidates.end(),
                  [](const Node* a, const Node* b) { return a->uid < b->uid; });
    }
    std::vector<Node*> out;
    for (Node* c : candidates) {
        const Node* p = c;
        bool match = true;
        for (std::size_t i = segments.size() - 1; i-- > 0;) {
            p = p->parent;
            if (p == nullptr || !glob(segments[i].c_str(), p->name.c_str())) {
                match = false;
                break;
            }
        }
        if (match && (!absolute || p->parent == nullptr)) {
            out.push_back(c);
        }
    }
    return out;
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
    const CurveData& curve = node.curve;
    const int cvs = static_cast<int>(curve.cvs.size());
    const int spans = geom::numSpans(curve.degree, cvs);
    if (name == "cv" && node.kind == NodeKind::NurbsCurve) {
        comp->type = MFn::kCurveCVComponent;
        count = curve.form == geom::kFormPeriodic ? spans : cvs;
    } else if (name == "ep" && node.kind == NodeKind::NurbsCurve) {
        comp->type = MFn::kCurveEPComponent;
        count = curve.form == geom::kFormPeriodic ? spans : spans + 1;
    } else if (name == "vtx" && node.kind == NodeKind::Mesh) {
        comp->type = MFn::kMeshVertComponent;
        count = static_cast<int>(node.mesh.vertices.size());
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

// The shape a component string refers to: the node itself when it is a
// shape, else the only shape below it.
Node* componentOwner(Node* node) {
    if (node->isShape()) {
        return node;
    }
    Node* only = nullptr;
    int count = 0;
    for (Node* c : node->children) {
        if (c->isShape()) {
            only = c;
            ++count;
        }
    }
    return count == 1 ? only : nullptr;
}

bool passesFilter(const SelectionItem& item, MFn::Type filter) {
    if (filter == MFn::kInvalid) {
        return true;
    }
    if (!item.component.isNull() && item.component.hasFn(filter)) {
        return true;
    }
    if (item.object.hasFn(filter)) {
        return true;
    }
    if (item.dag != nullptr && item.dag->kind == NodeKind::Transform) {
        for (const Node* c : item.dag->children) {
            if (c->isShape() && c->hasFn(filter)) {
                return true;
            }
        }
    }
    return false;
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

}  // namespace
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
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return !items_ || items_->list.empty();
}

unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return items_ ? static_cast<unsigned int>(items_->list.size()) : 0u;
}

MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath, MObject& component) const {
    if (index >= length()) {
        return MStatus::kInvalidParameter;
    }
    return kd::dagPathOf(items_->list[index], dagPath, component);
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    if (index >= length()) {
        return MStatus::kInvalidParameter;
    }
    depNode = items_->list[index].object;
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MObject& object, const bool mergeWithExisting) {
    if (object.isNull() || kd::componentData(object) != nullptr) {
        return MStatus::kInvalidParameter;
    }
    (void)mergeWithExisting;  // a whole object is listed at most once either way
    kd::mergeInto(items_, kd::Items{kd::makeItem(object, MObject())}, kMergeNormal);
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MDagPath& object, const MObject& component, const bool mergeWithExisting) {
    const auto& node = Access::node(object);
    if (!node || !node->alive) {
        return MStatus::kInvalidParameter;
    }
    MObject nodeObject;
    Access::data(nodeObject) = node;
    if (component.isNull()) {
        kd::mergeInto(items_, kd::Items{kd::makeItem(nodeObject, MObject())}, kMergeNormal);
        return MStatus::kSuccess;
    }
    if (kd::componentData(component) == nullptr) {
        return MStatus::kInvalidParameter;
    }
    kd::SelectionItem item = kd::makeItem(nodeObject, component);
    if (mergeWithExisting) {
        kd::mergeInto(items_, kd::Items{item}, kMergeNormal);
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
    if (text.empty()) {
        return MStatus::kInvalidParameter;
    }
    const bool absolute = text[0] == '|';
    const std::vector<std::string> segments = kd::splitPath(absolute ? text.substr(1) : text);
    if (std::any_of(segments.begin(), segments.end(), [](const std::string& s) { return s.empty(); })) {
        return MStatus::kInvalidParameter;
    }
    kd::Items found;
    for (kd::Node* n : kd::matchNodes(segments, absolute)) {
        MObject nodeObject;
        if (componentText.empty()) {
            Access::data(nodeObject) = kd::sharedNode(n);
            found.push_back(kd::makeItem(nodeObject, MObject()));
            continue;
        }
        kd::Node* owner = kd::componentOwner(n);
        if (owner == nullptr) {
            continue;
        }
        auto comp = kd::parseComponent(componentText, *owner);
        if (!comp) {
            continue;
        }
        Access::data(nodeObject) = kd::sharedNode(owner);
        found.push_back(kd::makeItem(nodeObject, kd::objectOf(comp)));
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
    const auto& node = Access::node(object);
    if (!node || !node->alive || (!component.isNull() && kd::componentData(component) == nullptr)) {
        return MStatus::kInvalidParameter;
    }
    MObject nodeObject;
    Access::data(nodeObject) = node;
    kd::mergeInto(items_, kd::Items{kd::makeItem(nodeObject, component)}, strategy);
    return MStatus::kSuccess;
}

MStatus MSelectionList::remove(unsigned int index) {
    if (index >= length()) {
        return MStatus::kInvalidParameter;
    }
    kd::SelectionItems& items = kd::writable(items_);
    items.list.erase(items.list.begin() + static_cast<std::ptrdiff_t>(index));
    items.index.clear();
    items.indexed = false;
    return MStatus::kSuccess;
}

bool MSelectionList::hasItem(const MObject& item, MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    if (!items_ || item.isNull()) {
        return false;
    }
    return std::any_of(items_->list.begin(), items_->list.end(),
                       [&](const kd::SelectionItem& i) { return i.object == item && i.component.isNull(); });
}

bool MSelectionList::hasItem(const MDagPath& item, const MObject& component, MStatus* ReturnStatus) const {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    const auto& node = Access::node(item);
    if (!items_ || !node) {
        return false;
    }
    const kd::ComponentData* wanted = kd::componentData(component);
    for (const kd::SelectionItem& i : items_->list) {
        if (i.dag != node.get()) {
            continue;
        }
        const kd::ComponentData* have = kd::componentData(i.component);
        if (wanted == nullptr && have == nullptr) {
            return true;
        }
        if (wanted != nullptr && have != nullptr && have->type == wanted->type &&
            std::all_of(wanted->elements.begin(), wanted->elements.end(), [&](int e) {
                return std::find(have->elements.begin(), have->elements.end(), e) != have->elements.end();
            })) {
            return true;
        }
    }
    return false;
}

MStatus MSelectionList::getSelectionStrings(MStringArray& array) const {
    array.clear();
    if (items_) {
        for (const kd::SelectionItem& item : items_->list) {
            kd::itemStrings(item, array);
        }
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

// ---------------------------------------------------------------- MItSelectionList

MItSelectionList::MItSelectionList(const MSelectionList& list, MFn::Type filter, MStatus* ReturnStatus)
    : items_(Access::items(list)), filter_(filter) {
    skipFiltered();
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
}

MItSelectionList::~MItSelectionList() = default;

void MItSelectionList::skipFiltered() {
    if (!items_) {
        return;
    }
    while (index_ < items_->list.size() && !kd::passesFilter(items_->list[index_], filter_)) {
        ++index_;
    }
}

bool MItSelectionList::isDone(MStatus* ReturnStatus) {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return !items_ || index_ >= items_->list.size();
}

namespace {

// Requests the cache lines of the node fields a walk over a selection reads
// (the hot fields at the front of the node, about 320 bytes).
void prefetchNode(const kd::Node* node) {
    const char* bytes = reinterpret_cast<const char*>(node);
    for (int offset = 0; offset < 320; offset += 64) {
        __builtin_prefetch(bytes + offset);
    }
}

// A walk over a long selection visits each item's node, the shape below a
// transform and the shape's CVs, all scattered over the heap; each is
// requested a few items ahead, in the order the pointers become readable,
// so the misses overlap instead of queueing one after the other.
void prefetchAhead(const std::vector<kd::SelectionItem>& list, std::size_t index) {
    const std::size_t size = list.size();
    auto at = [&](std::size_t ahead) -> const kd::Node* {
        return index + ahead < size ? list[index + ahead].dag : nullptr;
    };
    auto shapeOf = [](const kd::Node* node) -> const kd::Node* {
        return node->kind == kd::NodeKind::Transform && node->children.size() == 1 ? node->children[0] : node;
    };
    if (const kd::Node* node = at(8)) {
        prefetchNode(node);
    }
    if (const kd::Node* node = at(4)) {
        if (node->kind == kd::NodeKind::Transform && !node->children.empty()) {
            __builtin_prefetch(node->children.data());
        }
    }
    if (const kd::Node* node = at(2)) {
        prefetchNode(shapeOf(node));
    }
    if (const kd::Node* node = at(1)) {
        const kd::Node* shape = shapeOf(node);
        __builtin_prefetch(shape->curve.cvs.data());
        __builtin_prefetch(shape->pathMemo.data());
    }
}

}  // namespace

MStatus MItSelectionList::next() {
    if (isDone()) {
        return MStatus::kFailure;
    }
    ++index_;
    skipFiltered();
    if (index_ < items_->list.size()) {
        prefetchAhead(items_->list, index_);
    }
    return MStatus::kSuccess;
}

MStatus MItSelectionList::reset() {
    index_ = 0;
    skipFiltered();
    return MStatus::kSuccess;
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath, MObject& component) {
    if (isDone()) {
        return MStatus::kFailure;
    }
    return kd::dagPathOf(items_->list[index_], dagPath, component);
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath) {
    return getDagPath(dagPath, MObject::kNullObj);
}

MStatus MItSelectionList::getDependNode(MObject& depNode) {
    if (isDone()) {
        return MStatus::kFailure;
    }
    depNode = items_->list[index_].object;
    return MStatus::kSuccess;
}

MStatus MItSelectionList::getStrings(MStringArray& array) {
    array.clear();
    if (isDone()) {
        return MStatus::kFailure;
    }
    kd::itemStrings(items_->list[index_], array);
    return MStatus::kSuccess;
}

MStatus MItSelectionList::setFilter(MFn::Type filter) {
    filter_ = filter;
    return reset();
}

bool MItSelectionList::hasComponents(MStatus* ReturnStatus) const {
    if (!items_ || index_ >= items_->list.size()) {
        kd::setStatus(ReturnStatus, MStatus::kFailure);
        return false;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return !items_->list[index_].component.isNull();
}

MItSelectionList::selItemType MItSelectionList::itemType(MStatus* ReturnStatus) {
    if (isDone()) {
        kd::setStatus(ReturnStatus, MStatus::kFailure);
        return kUnknownItem;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return items_->list[index_].dag != nullptr ? kDagSelectionItem : kDNselectionItem;
}

// ---------------------------------------------------------------- MGlobal

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool /*orderedSelectionIfAvailable*/) {
    dest = kd::Scene::get().selection.active;
    return MStatus::kSuccess;
}

MStatus MGlobal::getRichSelection(MRichSelection& dest, bool defaultToActiveSelection) {
    const kd::SelectionState& sel = kd::Scene::get().selection;
    if (!sel.rich.isEmpty()) {
        return dest.setSelection(sel.rich);
    }
    if (defaultToActiveSelection) {
        return dest.setSelection(sel.active);
    }
    return dest.clear();
}

MStatus MGlobal::getHiliteList(MSelectionList& dest) {
    dest = kd::Scene::get().selection.hilite;
    return MStatus::kSuccess;
}

void MGlobal::displayInfo(const MString& theMessage) {
    std::cout << theMessage.asChar() << std::endl;
}

void MGlobal::displayWarning(const MString& theWarning) {
    std::cerr << "// Warning: " << theWarning.asChar() << std::endl;
}

void MGlobal::displayError(const MString& theError) {
    std::cerr << "// Error: " << theError.asChar() << std::endl;
}

// ---------------------------------------------------------------- MRichSelection

MRichSelection::MRichSelection() = default;
MRichSelection::MRichSelection(const MRichSelection& other) = default;
MRichSelection::~MRichSelection() = default;
MRichSelection& MRichSelection::operator=(const MRichSelection& other) = default;

MStatus MRichSelection::getSelection(MSelectionList& selection) const {
    selection = data_;
    return MStatus::kSuccess;
}

MStatus MRichSelection::setSelection(const MSelectionList& selection) {
    data_ = selection;
    return MStatus::kSuccess;
}

MStatus MRichSelection::clear() {
    return data_.clear();
}

// ---------------------------------------------------------------- MFnComponent

MFnComponent::MFnComponent() = default;
MFnComponent::MFnComponent(MObject& object, MStatus* ReturnStatus) {
    const MStatus s = MFnComponent::setObject(static_cast<const MObject&>(object));
    kd::setStatus(ReturnStatus, s.statusCode());
}
MFnComponent::MFnComponent(const MObject& object, MStatus* ReturnStatus) {
    const MStatus s = MFnComponent::setObject(object);
    kd::setStatus(ReturnStatus, s.statusCode());
}
MFnComponent::~MFnComponent() = default;

MFn::Type MFnComponent::type() const {
    return MFn::kComponent;
}
MFn::Type MFnComponent::requiredType() const {
    return MFn::kComponent;
}

MStatus MFnComponent::setObject(MObject& object) {
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnComponent::setObject(const MObject& object) {
    const kd::ComponentData* c = kd::componentData(object);
    if (c == nullptr || !c->hasFn(requiredType())) {
        obj_ = MObject();
        return MStatus::kInvalidParameter;
    }
    obj_ = object;
    return MStatus::kSuccess;
}

MFn::Type MFnComponent::componentType(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return c == nullptr ? MFn::kInvalid : c->type;
}

int MFnComponent::elementCount(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return c == nullptr ? 0 : static_cast<int>(c->elements.size());
}

bool MFnComponent::hasWeights() const {
    const kd::ComponentData* c = kd::componentData(obj_);
    return c != nullptr && c->hasWeights;
}

MWeight MFnComponent::weight(int index, MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    MWeight w;
    if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->elements.size()) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return w;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    w.setInfluence(kd::weightAt(*c, static_cast<std::size_t>(index)));
    return w;
}

bool MFnComponent::isEmpty(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return c == nullptr || c->elements.empty();
}

bool MFnComponent::isComplete(MStatus* ReturnStatus) const {
    // A component does not know its owner's element count here; components
    // are always listed element by element.
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return false;
}

// ---------------------------------------------------------------- MFnSingleIndexedComponent

MFnSingleIndexedComponent::MFnSingleIndexedComponent() = default;
MFnSingleIndexedComponent::MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    kd::setStatus(ReturnStatus, s.statusCode());
}
MFnSingleIndexedComponent::MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    kd::setStatus(ReturnStatus, s.statusCode());
}
MFnSingleIndexedComponent::~MFnSingleIndexedComponent() = default;

MFn::Type MFnSingleIndexedComponent::type() const {
    return MFn::kSingleIndexedComponent;
}
MFn::Type MFnSingleIndexedComponent::requiredType() const {
    return MFn::kSingleIndexedComponent;
}

int MFnSingleIndexedComponent::element(int index, MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->elements.size()) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return -1;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return c->elements[static_cast<std::size_t>(index)];
}

MStatus MFnSingleIndexedComponent::getElements(MIntArray& elements) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    elements.clear();
    if (c == nullptr) {
        return MStatus::kInvalidParameter;
    }
    for (int e : c->elements) {
        elements.append(e);
    }
    return MStatus::kSuccess;
}

int MFnSingleIndexedComponent::elementMax(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    if (c == nullptr || c->elements.empty()) {
        return -1;
    }
    return *std::max_element(c->elements.begin(), c->elements.end());
}

MObject MFnSingleIndexedComponent::create(MFn::Type compType, MStatus* ReturnStatus) {
    if (!kd::isSingleIndexed(compType)) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    auto c = std::make_shared<kd::ComponentData>();
    c->type = compType;
    obj_ = kd::objectOf(c);
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MStatus MFnSingleIndexedComponent::addElement(int element) {
    kd::ComponentData* c = kd::componentData(obj_);
    if (c == nullptr || element < 0) {
        return MStatus::kInvalidParameter;
    }
    if (std::find(c->elements.begin(), c->elements.end(), element) == c->elements.end()) {
        c->elements.push_back(element);
        if (c->hasWeights) {
            c->weights.push_back(1.0f);
        }
    }
    return MStatus::kSuccess;
}
