#pragma once
// Embedded host: base function set for data objects.
#include <maya/MApiNamespace.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnData : public MFnBase {
public:
    // Only the kinds this host knows are named; the numbering is the host's.
    enum Type {
        kInvalid = 0,
        kNumeric = 1,
        kPlugin = 2,
        kPluginGeometry = 3,
        kString = 4,
        kMatrix = 5,
        kStringArray = 6,
        kAny = 24,
        kFalloffFunction = 25,
        kLast = 26
    };

    MFnData();
    MFnData(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnData(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnData() override;

    MFn::Type type() const override;
};
