#pragma once
// Embedded host: the weight of one component element (soft-selection
// influence and seam value).
#include <maya/MApiNamespace.h>

class MWeight {
public:
    // Full influence, no seam.
    MWeight() : influence_(1.0f), seam_(0.0f) {}
    MWeight(const MWeight& src) = default;
    ~MWeight() = default;
    MWeight& operator=(const MWeight& src) = default;

    float influence() const { return influence_; }
    float seam() const { return seam_; }
    void setInfluence(float influence) { influence_ = influence; }
    void setSeam(float seam) { seam_ = seam; }

private:
    float influence_;
    float seam_;
};
