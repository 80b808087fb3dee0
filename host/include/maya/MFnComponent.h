#pragma once
// Embedded host: function set for components (sets of element indices of a
// shape, optionally with soft-selection weights).
#include <maya/MApiNamespace.h>
#include <maya/MFn.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MWeight.h>

class MFnComponent : public MFnBase {
public:
    MFnComponent();
    MFnComponent(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnComponent(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnComponent() override;

    MFn::Type type() const override;

    MFn::Type componentType(MStatus* ReturnStatus = nullptr) const;
    int elementCount(MStatus* ReturnStatus = nullptr) const;
    bool hasWeights() const;
    // The element's weight; influence 1 when the component has no weights.
    MWeight weight(int index, MStatus* ReturnStatus = nullptr) const;
    bool isEmpty(MStatus* ReturnStatus = nullptr) const;
    bool isComplete(MStatus* ReturnStatus = nullptr) const;
};
