// Embedded host: the out-of-line parts of the geometric value types
// (conversions between headers that do not include each other, constants,
// matrix inversion and the colour-model constructors).
#include <maya/MColor.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>
#include <utility>

// ---------------------------------------------------------------- constants
const MPoint MPoint::origin(0.0, 0.0, 0.0, 1.0);
const MFloatPoint MFloatPoint::origin(0.0f, 0.0f, 0.0f, 1.0f);
const MMatrix MMatrix::identity;
const MColor MColor::kOpaqueBlack(0.0f, 0.0f, 0.0f, 1.0f);

// ---------------------------------------------------------------- conversions
MFloatVector::MFloatVector(const MVector& src)
    : x(static_cast<float>(src.x)), y(static_cast<float>(src.y)), z(static_cast<float>(src.z)) {}

MFloatVector::MFloatVector(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z) {}

MFloatVector::MFloatVector(const MPoint& src)
    : x(static_cast<float>(src.x)), y(static_cast<float>(src.y)), z(static_cast<float>(src.z)) {}

MFloatPoint::MFloatPoint(const MPoint& src)
    : x(static_cast<float>(src.x)),
      y(static_cast<float>(src.y)),
      z(static_cast<float>(src.z)),
      w(static_cast<float>(src.w)) {}

MFloatPoint::MFloatPoint(const MVector& src)
    : x(static_cast<float>(src.x)), y(static_cast<float>(src.y)), z(static_cast<float>(src.z)), w(1.0f) {}

MStatus MFloatPoint::setCast(const MPoint& src) {
    *this = MFloatPoint(src);
    return MStatus();
}

MVector::MVector(const MPoint& src) : x(src.x), y(src.y), z(src.z) {}

// ---------------------------------------------------------------- MMatrix
MMatrix::MMatrix(const double m[4][4]) {
    for (int i = 0; i < 4; ++i) {
        std::copy(m[i], m[i] + 4, matrix[i]);
    }
}

MMatrix::MMatrix(const float m[4][4]) {
    for (int i = 0; i < 4; ++i) {
        std::copy(m[i], m[i] + 4, matrix[i]);
    }
}

bool MMatrix::operator==(const MMatrix& other) const {
    for (int i = 0; i < 4; ++i) {
        if (!std::equal(matrix[i], matrix[i] + 4, other.matrix[i])) {
            return false;
        }
    }
    return true;
}

namespace {

// Reduces [A | I] to [I | A^-1], choosing the largest remaining pivot in each
// column to keep the elimination stable, and returns det(A), the product of
// the pivots with a sign flip per row swap. A singular A gives 0 and leaves
// `inv` the identity.
double eliminate(const double (&m)[4][4], MMatrix& inv) {
    MMatrix a(m);
    double det = 1.0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) {
                pivot = row;
            }
        }
        if (a[pivot][col] == 0.0) {
            inv = MMatrix();
            return 0.0;
        }
        if (pivot != col) {
            for (int j = 0; j < 4; ++j) {
                std::swap(a[pivot][j], a[col][j]);
                std::swap(inv.matrix[pivot][j], inv.matrix[col][j]);
            }
            det = -det;
        }
        det *= a[col][col];
        const double scale = 1.0 / a[col][col];
        for (int j = 0; j < 4; ++j) {
            a[col][j] *= scale;
            inv.matrix[col][j] *= scale;
        }
        for (int row = 0; row < 4; ++row) {
            const double factor = a[row][col];
            if (row == col || factor == 0.0) {
                continue;
            }
            for (int j = 0; j < 4; ++j) {
                a[row][j] -= factor * a[col][j];
                inv.matrix[row][j] -= factor * inv.matrix[col][j];
            }
        }
    }
    return det;
}

}  // namespace

MMatrix MMatrix::inverse() const {
    MMatrix inv;
    eliminate(matrix, inv);
    return inv;
}

MMatrix MMatrix::transpose() const {
    MMatrix t;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            t.matrix[i][j] = matrix[j][i];
        }
    }
    return t;
}

double MMatrix::det4x4() const {
    MMatrix inv;
    return eliminate(matrix, inv);
}

bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (std::fabs(matrix[i][j] - other.matrix[i][j]) > tolerance) {
                return false;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------- MColor
namespace {

// Channels c1..c3 already in [0, 1]; for kHSV, c1 is the hue in degrees.
void fromModel(MColor::MColorType model, double c1, double c2, double c3, MColor& out) {
    switch (model) {
        case MColor::kHSV: {
            const double hue = std::fmod(std::fmod(c1, 360.0) + 360.0, 360.0) / 60.0;
            const double chroma = c3 * c2;
            const double second = chroma * (1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0));
            // (r, g, b) before adding the value offset, by 60-degree sector.
            const double sectors[6][3] = {{chroma, second, 0.0}, {second, chroma, 0.0},
                                          {0.0, chroma, second}, {0.0, second, chroma},
                                          {second, 0.0, chroma}, {chroma, 0.0, second}};
            const int sector = hue < 6.0 ? static_cast<int>(hue) : 5;
            const double r = sectors[sector][0], g = sectors[sector][1], b = sectors[sector][2];
            const double m = c3 - chroma;
            out.r = static_cast<float>(r + m);
            out.g = static_cast<float>(g + m);
            out.b = static_cast<float>(b + m);
            break;
        }
        case MColor::kCMY:
        case MColor::kCMYK:
            // Three channels carry no separate black: both read as CMY.
            out.r = static_cast<float>(1.0 - c1);
            out.g = static_cast<float>(1.0 - c2);
            out.b = static_cast<float>(1.0 - c3);
            break;
        case MColor::kRGB:
        default:
            out.r = static_cast<float>(c1);
            out.g = static_cast<float>(c2);
            out.b = static_cast<float>(c3);
            break;
    }
}

// Integer channels: scale the full range to [0, 1] (the hue to [0, 360]).
void fromIntegerModel(MColor::MColorType model, double c1, double c2, double c3, double alpha, double full,
                      MColor& out) {
    const double first = model == MColor::kHSV ? c1 / full * 360.0 : c1 / full;
    fromModel(model, first, c2 / full, c3 / full, out);
    out.a = static_cast<float>(alpha / full);
}

}  // namespace

MColor::MColor(MColorType colorModel, unsigned char c1, unsigned char c2, unsigned char c3,
               unsigned char alpha)
    : MColor() {
    fromIntegerModel(colorModel, c1, c2, c3, alpha, 255.0, *this);
}

MColor::MColor(MColorType colorModel, unsigned short c1, unsigned short c2, unsigned short c3,
               unsigned short alpha)
    : MColor() {
    fromIntegerModel(colorModel, c1, c2, c3, alpha, 65535.0, *this);
}

MColor::MColor(MColorType colorModel, float c1, float c2, float c3, float alpha)
    : MColor(colorModel, double{c1}, double{c2}, double{c3}, double{alpha}) {}

MColor::MColor(MColorType colorModel, double c1, double c2, double c3, double alpha) : MColor() {
    fromModel(colorModel, c1, c2, c3, *this);
    a = static_cast<float>(alpha);
}
