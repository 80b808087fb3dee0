#pragma once
// Embedded host: function set for numeric attributes. Range and default
// setters act on the attribute the function set is attached to, which is
// the one it created last.
#include <maya/MApiNamespace.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MFnNumericAttribute : public MFnAttribute {
public:
    MFnNumericAttribute();
    MFnNumericAttribute(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnNumericAttribute(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnNumericAttribute() override;

    MFn::Type type() const override;

    MObject create(const MString& fullName, const MString& briefName, MFnNumericData::Type unitType,
                   double defaultValue = 0, MStatus* ReturnStatus = nullptr);
    // A three-float attribute used as a colour, default black.
    MObject createColor(const MString& fullName, const MString& briefName, MStatus* ReturnStatus = nullptr);
    // A three-float attribute holding a position, default the origin.
    MObject createPoint(const MString& fullName, const MString& briefName, MStatus* ReturnStatus = nullptr);

    MStatus setMin(double min1);
    MStatus setMin(double min1, double min2);
    MStatus setMin(double min1, double min2, double min3);
    MStatus setMin(double min1, double min2, double min3, double min4);
    MStatus setMax(double max1);
    MStatus setMax(double max1, double max2);
    MStatus setMax(double max1, double max2, double max3);
    MStatus setMax(double max1, double max2, double max3, double max4);

    MStatus setDefault(bool value);
    MStatus setDefault(char value);
    MStatus setDefault(int value);
    MStatus setDefault(int value1, int value2);
    MStatus setDefault(int value1, int value2, int value3);
    MStatus setDefault(MInt64 value);
    MStatus setDefault(float value);
    MStatus setDefault(float value1, float value2);
    MStatus setDefault(float value1, float value2, float value3);
    MStatus setDefault(double value);
    MStatus setDefault(double value1, double value2);
    MStatus setDefault(double value1, double value2, double value3);
    MStatus setDefault(double value1, double value2, double value3, double value4);
    MStatus setDefault(void* value);

    MStatus getDefault(bool& value);
    MStatus getDefault(char& value);
    MStatus getDefault(int& value);
    MStatus getDefault(int& value1, int& value2);
    MStatus getDefault(int& value1, int& value2, int& value3);
    MStatus getDefault(MInt64& value);
    MStatus getDefault(float& value);
    MStatus getDefault(float& value1, float& value2);
    MStatus getDefault(float& value1, float& value2, float& value3);
    MStatus getDefault(double& value);
    MStatus getDefault(double& value1, double& value2);
    MStatus getDefault(double& value1, double& value2, double& value3);
};
