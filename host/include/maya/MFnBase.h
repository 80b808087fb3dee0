#pragma once
// Embedded host: base of every function set. Function sets are
// non-copyable and their unary operator& is private, as in the real host.
#include <maya/MApiNamespace.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnBase {
public:
    MFnBase();
    virtual ~MFnBase();
    virtual MFn::Type type() const;
    bool hasObj(MFn::Type tp) const;
    bool hasObj(const MObject& obj) const;
    MObject object(MStatus* ReturnStatus = nullptr) const;
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);

protected:
    // The attached host object (null when the function set is not attached).
    MObject obj_;

private:
    MFnBase(const MFnBase&);
    MFnBase& operator=(const MFnBase&);
    MFnBase* operator&() const;
};
