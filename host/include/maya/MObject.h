#pragma once
// Embedded host: a handle to host data (a node, an attribute, a component,
// a data object). Copies share the referenced data.
#include <maya/MApiNamespace.h>
#include <maya/MFn.h>
#include <memory>

class MObject {
public:
    MObject();
    MObject(const MObject& other);
    ~MObject();
    MObject& operator=(const MObject& other);
    bool operator==(const MObject& other) const;
    bool operator!=(const MObject& other) const;

    bool hasFn(MFn::Type fs) const;
    bool isNull() const;
    MFn::Type apiType() const;
    const char* apiTypeStr() const;

    // Non-const, as in the real host: it is passed to non-const MObject& parameters.
    static MObject kNullObj;

    // What a handle refers to: opaque, complete only inside the host library
    // (any object, and a DAG node).
    struct Data;
    struct Node;

private:
    friend struct MHostAccess;
    std::shared_ptr<Data> data_;
};
