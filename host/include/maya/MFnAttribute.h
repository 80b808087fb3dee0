#pragma once
// Embedded host: function set for node attributes.
#include <maya/MApiNamespace.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnAttribute : public MFnBase {
public:
    enum DisconnectBehavior { kDelete = 0, kReset = 1, kNothing = 2 };

    MFnAttribute();
    MFnAttribute(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnAttribute(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnAttribute() override;

    MFn::Type type() const override;

    // Marks a three-component float or double attribute as a colour.
    MStatus setUsedAsColor(bool state);
    bool isUsedAsColor(MStatus* ReturnStatus = nullptr) const;
};
