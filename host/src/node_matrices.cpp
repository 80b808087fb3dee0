// Transformation matrices of DAG nodes: local (scale, rotate, translate) and
// world (the product of the transforms above and including a node).
#include <cmath>

#include "model.h"

namespace khost {
namespace detail {

Mat4 identity4() {
    Mat4 m{};
    for (int i = 0; i < 4; ++i) {
        m[i][i] = 1.0;
    }
    return m;
}

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
        }
    }
    return r;
}

MMatrix toMMatrix(const Mat4& m) {
    MMatrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.matrix[i][j] = m[i][j];
        }
    }
    return r;
}

Mat4 toMat4(const MMatrix& m) {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r[i][j] = m.matrix[i][j];
        }
    }
    return r;
}

namespace {

Mat4 computeLocalMatrix(const Node& transform) {
    constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
    const double cx = std::cos(transform.transform().rotate[0] * kDegToRad),
                 sx = std::sin(transform.transform().rotate[0] * kDegToRad);
    const double cy = std::cos(transform.transform().rotate[1] * kDegToRad),
                 sy = std::sin(transform.transform().rotate[1] * kDegToRad);
    const double cz = std::cos(transform.transform().rotate[2] * kDegToRad),
                 sz = std::sin(transform.transform().rotate[2] * kDegToRad);
    // Row-vector rotations, applied x first: R = Rx * Ry * Rz.
    const Mat4 rx{{{1, 0, 0, 0}, {0, cx, sx, 0}, {0, -sx, cx, 0}, {0, 0, 0, 1}}};
    const Mat4 ry{{{cy, 0, -sy, 0}, {0, 1, 0, 0}, {sy, 0, cy, 0}, {0, 0, 0, 1}}};
    const Mat4 rz{{{cz, sz, 0, 0}, {-sz, cz, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    Mat4 m = multiply(multiply(rx, ry), rz);
    // S * R: row i of R scaled by s[i]; then * T: translation in row 3.
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m[i][j] *= transform.transform().scale[i];
        }
    }
    m[3][0] = transform.transform().translate[0];
    m[3][1] = transform.transform().translate[1];
    m[3][2] = transform.transform().translate[2];
    return m;
}

}  // namespace

Mat4 localMatrix(const Node& transform) {
    return transform.kind == NodeKind::Transform ? computeLocalMatrix(transform) : identity4();
}

Mat4 worldMatrix(const Node& node) {
    Mat4 m = identity4();
    bool any = false;
    for (const Node* p = &node; p != nullptr; p = p->parent) {
        if (p->kind == NodeKind::Transform) {
            m = any ? multiply(m, localMatrix(*p)) : localMatrix(*p);
            any = true;
        }
    }
    return m;
}

}  // namespace detail
}  // namespace khost
