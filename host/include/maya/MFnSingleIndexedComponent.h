#pragma once
// Embedded host: function set for components addressed by one index per
// element (CVs, edit points, vertices ...). Elements keep the order in which
// they were added; an index is held at most once.
#include <maya/MApiNamespace.h>
#include <maya/MFn.h>
#include <maya/MFnComponent.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnSingleIndexedComponent : public MFnComponent {
public:
    MFnSingleIndexedComponent();
    MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnSingleIndexedComponent() override;

    MFn::Type type() const override;

    int element(int index, MStatus* ReturnStatus = nullptr) const;
    MStatus getElements(MIntArray& elements) const;
    // The largest element index held; -1 when empty.
    int elementMax(MStatus* ReturnStatus = nullptr) const;
    // Makes a new, empty component of the given type and attaches to it.
    MObject create(MFn::Type compType, MStatus* ReturnStatus = nullptr);
    MStatus addElement(int element);
};
