#pragma once
// Embedded host: an axis-aligned box given by its minimum and maximum
// corners. A default box has both corners at the origin, so expanding it
// always keeps the origin inside.
#include <maya/MApiNamespace.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

class MBoundingBox {
public:
    MBoundingBox();
    MBoundingBox(const MBoundingBox& src);
    // The smallest box holding both corners, whichever way round they are.
    MBoundingBox(const MPoint& corner1, const MPoint& corner2);
    ~MBoundingBox();
    MBoundingBox& operator=(const MBoundingBox& other);

    // Both corners back at the origin.
    void clear();
    // Replaces the box by the axis-aligned box around its eight transformed
    // corners.
    void transformUsing(const MMatrix& matrix);
    void expand(const MPoint& point);
    void expand(const MBoundingBox& box);
    // Inclusive of the faces.
    bool contains(const MPoint& point) const;
    // True when the boxes overlap or lie within `tol` of each other on every axis.
    bool intersects(const MBoundingBox& box, double tol = 0.0) const;
    double width() const;
    double height() const;
    double depth() const;
    MPoint center() const;
    MPoint min() const;
    MPoint max() const;

private:
    MPoint min_;
    MPoint max_;
};
