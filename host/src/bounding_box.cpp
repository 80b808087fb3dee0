// MBoundingBox: an axis-aligned box in the space of whoever made it.
#include <maya/MBoundingBox.h>

#include <algorithm>

namespace {

MPoint cartesian(MPoint p) {
    p.cartesianize();
    return MPoint(p.x, p.y, p.z, 1.0);
}

}  // namespace

MBoundingBox::MBoundingBox(const MPoint& corner1, const MPoint& corner2)
    : min_(cartesian(corner1)), max_(min_) {
    expand(corner2);
}

void MBoundingBox::transformUsing(const MMatrix& matrix) {
    const MBoundingBox source = *this;
    for (int corner = 0; corner < 8; ++corner) {
        const MPoint p((corner & 1) ? source.max_.x : source.min_.x,
                       (corner & 2) ? source.max_.y : source.min_.y,
                       (corner & 4) ? source.max_.z : source.min_.z);
        const MPoint t = cartesian(p * matrix);
        if (corner == 0) {
            min_ = max_ = t;
        } else {
            expand(t);
        }
    }
}

void MBoundingBox::expand(const MPoint& point) {
    const MPoint p = cartesian(point);
    min_ = MPoint(std::min(min_.x, p.x), std::min(min_.y, p.y), std::min(min_.z, p.z));
    max_ = MPoint(std::max(max_.x, p.x), std::max(max_.y, p.y), std::max(max_.z, p.z));
}

void MBoundingBox::expand(const MBoundingBox& box) {
    expand(box.min_);
    expand(box.max_);
}

bool MBoundingBox::contains(const MPoint& point) const {
    const MPoint p = cartesian(point);
    return p.x >= min_.x && p.x <= max_.x && p.y >= min_.y && p.y <= max_.y && p.z >= min_.z && p.z <= max_.z;
}

bool MBoundingBox::intersects(const MBoundingBox& box, double tol) const {
    return box.min_.x <= max_.x + tol && box.max_.x >= min_.x - tol && box.min_.y <= max_.y + tol &&
           box.max_.y >= min_.y - tol && box.min_.z <= max_.z + tol && box.max_.z >= min_.z - tol;
}
