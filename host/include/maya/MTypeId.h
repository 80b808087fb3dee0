#pragma once
// Embedded host: the 32-bit id of a node type.
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

class MTypeId {
public:
    MTypeId() : id_(0) {}
    MTypeId(unsigned int id) : id_(id) {}
    // A 24-bit prefix in the upper bits and an 8-bit id in the lowest byte.
    MTypeId(unsigned int prefix, unsigned int id) : id_((prefix << 8) | (id & 0xFFu)) {}
    MTypeId(const MTypeId& src) = default;
    ~MTypeId() = default;
    MTypeId& operator=(const MTypeId& src) = default;

    bool operator==(const MTypeId& other) const { return id_ == other.id_; }
    bool operator!=(const MTypeId& other) const { return id_ != other.id_; }

    unsigned int id(MStatus* ReturnStatus = nullptr) const {
        if (ReturnStatus != nullptr) {
            *ReturnStatus = MStatus::kSuccess;
        }
        return id_;
    }

private:
    unsigned int id_;
};
