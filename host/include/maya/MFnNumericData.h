#pragma once
// Embedded host: function set for numeric data objects, such as the value
// of a three-float attribute that MPlug::asMObject returns.
#include <maya/MApiNamespace.h>
#include <maya/MFnData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnNumericData : public MFnData {
public:
    enum Type {
        kInvalid = 0,
        kBoolean = 1,
        kByte = 2,
        kChar = 3,
        kShort = 4,
        k2Short = 5,
        k3Short = 6,
        kLong = 7,
        kInt = kLong,
        k2Long = 8,
        k2Int = k2Long,
        k3Long = 9,
        k3Int = k3Long,
        kInt64 = 10,
        kFloat = 11,
        k2Float = 12,
        k3Float = 13,
        kDouble = 14,
        k2Double = 15,
        k3Double = 16,
        k4Double = 17,
        kAddr = 18,
        kLast = 19
    };

    MFnNumericData();
    MFnNumericData(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnNumericData(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnNumericData() override;

    MFn::Type type() const override;

    // Makes a new data object of a two-, three- or four-component type and
    // attaches the function set to it.
    MObject create(Type dataType, MStatus* ReturnStatus = nullptr);
    Type numericType(MStatus* ReturnStatus = nullptr);

    MStatus getData(short& val1, short& val2);
    MStatus getData(int& val1, int& val2);
    MStatus getData(float& val1, float& val2);
    MStatus getData(double& val1, double& val2);
    MStatus getData(short& val1, short& val2, short& val3);
    MStatus getData(int& val1, int& val2, int& val3);
    MStatus getData(float& val1, float& val2, float& val3);
    MStatus getData(double& val1, double& val2, double& val3);
    MStatus getData(double& val1, double& val2, double& val3, double& val4);
    MStatus getData3Float(float& val1, float& val2, float& val3);

    MStatus setData(short val1, short val2);
    MStatus setData(int val1, int val2);
    MStatus setData(float val1, float val2);
    MStatus setData(double val1, double val2);
    MStatus setData(short val1, short val2, short val3);
    MStatus setData(int val1, int val2, int val3);
    MStatus setData(float val1, float val2, float val3);
    MStatus setData(double val1, double val2, double val3);
    MStatus setData(double val1, double val2, double val3, double val4);
};
