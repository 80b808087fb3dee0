#pragma once
// Component objects (CVs, edit points, knots), with optional weights. Not
// installed.
#include <vector>

#include "host_access.h"

namespace khost {
namespace detail {

struct ComponentData : ObjectData {
    MFn::Type type = MFn::kInvalid;  // kCurveCVComponent, kCurveEPComponent, ...
    std::vector<int> elements;
    std::vector<float> weights;  // empty or parallel to elements
    bool hasWeights = false;
    MFn::Type apiType() const override { return type; }
    bool hasFn(MFn::Type t) const override;
    ComponentData* asComponent() override { return this; }
    const ComponentData* asComponent() const override { return this; }
};

}  // namespace detail
}  // namespace khost
