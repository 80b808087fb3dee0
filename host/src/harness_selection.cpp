// Scene harness: selection, hilite and soft selection changes.
#include <khost/harness.h>
#include <maya/MFn.h>
#include <maya/MSelectionList.h>

#include <memory>
#include <unordered_set>

#include "harness_internal.h"
#include "model.h"
#include "nurbs.h"
#include "selection_items.h"

namespace khost {
namespace detail {
namespace {

// A single-indexed component object; weights, when given, are padded with 1.
MObject componentObject(MFn::Type type, const std::vector<int>& elements, const std::vector<float>& weights) {
    auto c = std::make_shared<ComponentData>();
    c->type = type;
    c->elements = elements;
    c->hasWeights = !weights.empty();
    if (c->hasWeights) {
        c->weights = weights;
        c->weights.resize(elements.size(), 1.0f);
    }
    return objectOf(c);
}

// Element indices a curve has for a component type; -1 when not checked.
int elementLimit(const Node& curve, MFn::Type type) {
    const int cvs = static_cast<int>(curve.curve().cvs.size());
    const int spans = geom::numSpans(curve.curve().degree, cvs);
    switch (type) {
        case MFn::kCurveCVComponent:
            return cvs;
        case MFn::kCurveEPComponent:
            return curve.curve().form == geom::kFormPeriodic ? spans : spans + 1;
        case MFn::kCurveKnotComponent:
            return static_cast<int>(curve.curve().knots.size());
        default:
            return -1;
    }
}

// The named nodes that exist, as a selection list of their paths.
MSelectionList objectList(const std::vector<std::string>& names) {
    MSelectionList list;
    for (const std::string& name : names) {
        if (Node* n = findNode(name)) {
            list.add(pathOf(n));
        }
    }
    return list;
}

// Adds `list` to the active list, or makes it the active list and clears
// the soft selection.
void selectList(const MSelectionList& list, bool add) {
    SelectionState& sel = selectionState();
    if (add) {
        sel.active.merge(list);
    } else {
        sel.active = list;
        sel.rich.clear();
    }
}

// Fires "SelectionChanged".
void selectionChanged() {
    fireEvent("SelectionChanged");
}

}  // namespace
}  // namespace detail

namespace kd = detail;

// ---------------------------------------------------------------- selection

void clearSelection() {
    auto& sel = kd::selectionState();
    sel.active.clear();
    sel.hilite.clear();
    sel.rich.clear();
    kd::selectionChanged();
}

void select(const std::vector<std::string>& objects, bool add) {
    kd::selectList(kd::objectList(objects), add);
    kd::selectionChanged();
}

void selectCVs(const std::string& curve, const std::vector<int>& cvs, bool add) {
    selectComponents(curve, MFn::kCurveCVComponent, cvs, {}, add, true);
}

void selectComponents(const std::string& curve, MFn::Type componentType, const std::vector<int>& elements,
                      const std::vector<float>& weights, bool add, bool hiliteObject) {
    kd::Node* shape = kd::shapeOfKind(curve, kd::NodeKind::NurbsCurve);
    if (shape == nullptr) {
        return;
    }
    // Elements the curve does not have cannot be selected; repeats count once.
    const int limit = kd::elementLimit(*shape, componentType);
    std::vector<int> kept;
    std::vector<float> keptWeights;
    std::unordered_set<int> seen;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const int e = elements[i];
        if (e < 0 || (limit >= 0 && e >= limit) || !seen.insert(e).second) {
            continue;
        }
        kept.push_back(e);
        if (!weights.empty()) {
            keptWeights.push_back(i < weights.size() ? weights[i] : 1.0f);
        }
    }
    MSelectionList list;
    list.add(kd::pathOf(shape), kd::componentObject(componentType, kept, keptWeights));
    kd::selectList(list, add);
    if (hiliteObject && shape->parent != nullptr) {
        kd::selectionState().hilite.merge(kd::pathOf(shape->parent));
    }
    kd::selectionChanged();
}

void setHilite(const std::vector<std::string>& objects) {
    kd::selectionState().hilite = kd::objectList(objects);
    kd::selectionChanged();
}

void setRichSelection(const std::vector<RichItem>& items) {
    MSelectionList list;
    for (const RichItem& item : items) {
        if (item.cvs.empty()) {
            if (kd::Node* n = kd::findNode(item.object)) {
                list.add(kd::pathOf(n));
            }
            continue;
        }
        kd::Node* shape = kd::shapeOfKind(item.object, kd::NodeKind::NurbsCurve);
        if (shape == nullptr) {
            continue;
        }
        std::vector<float> weights = item.weights;
        weights.resize(item.cvs.size(), 1.0f);
        list.add(kd::pathOf(shape), kd::componentObject(MFn::kCurveCVComponent, item.cvs, weights), true);
    }
    kd::selectionState().rich = list;
    kd::selectionChanged();
}

void setActiveList(const MSelectionList& list) {
    kd::selectionState().active = list;
    kd::selectionChanged();
}

void setHiliteList(const MSelectionList& list) {
    kd::selectionState().hilite = list;
    kd::selectionChanged();
}

}  // namespace khost
