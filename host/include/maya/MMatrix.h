#pragma once
// Embedded host: a 4x4 double-precision matrix. The host multiplies row
// vectors from the left (point * matrix), so the translation is row 3:
// matrix[3][0], matrix[3][1], matrix[3][2].
#include <maya/MApiNamespace.h>

class MMatrix {
public:
    // The identity.
    constexpr MMatrix()
        : matrix{{1.0, 0.0, 0.0, 0.0}, {0.0, 1.0, 0.0, 0.0}, {0.0, 0.0, 1.0, 0.0}, {0.0, 0.0, 0.0, 1.0}} {}
    MMatrix(const MMatrix& src) = default;
    MMatrix(const double m[4][4]);
    MMatrix(const float m[4][4]);
    ~MMatrix() = default;
    MMatrix& operator=(const MMatrix& src) = default;

    double operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    double& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const double* operator[](unsigned int row) const { return matrix[row]; }
    double* operator[](unsigned int row) { return matrix[row]; }

    // Matrix product this * right.
    MMatrix operator*(const MMatrix& right) const {
        MMatrix result;
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                result.matrix[i][j] = matrix[i][0] * right.matrix[0][j] + matrix[i][1] * right.matrix[1][j] +
                                      matrix[i][2] * right.matrix[2][j] + matrix[i][3] * right.matrix[3][j];
            }
        }
        return result;
    }
    MMatrix& operator*=(const MMatrix& right) { return *this = *this * right; }
    MMatrix operator*(double scalar) const {
        MMatrix result(*this);
        for (auto& row : result.matrix) {
            for (double& v : row) {
                v *= scalar;
            }
        }
        return result;
    }

    // Exact comparison of all sixteen elements.
    bool operator==(const MMatrix& other) const;
    bool operator!=(const MMatrix& other) const { return !(*this == other); }

    // General 4x4 inverse (Gauss-Jordan elimination with partial pivoting).
    // A singular matrix yields the identity.
    MMatrix inverse() const;
    MMatrix transpose() const;
    double det4x4() const;
    // True when no element differs by more than `tolerance`.
    bool isEquivalent(const MMatrix& other, double tolerance = 1.0e-10) const;

    static const MMatrix identity;

    double matrix[4][4];
};
