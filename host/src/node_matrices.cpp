// Transformation matrices of DAG nodes: local (scale, rotate, translate) and
// world (the product of the transforms above and including a node).
#include <algorithm>
#include <cmath>

#include "model.h"

namespace khost {
namespace detail {

Mat4 identity4() {
    return Mat4{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
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
        std::copy(m[i].begin(), m[i].end(), r.matrix[i]);
    }
    return r;
}

Mat4 toMat4(const MMatrix& m) {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        std::copy(m.matrix[i], m.matrix[i] + 4, r[i].begin());
    }
    return r;
}

Mat4 localMatrix(const Node& node) {
    if (node.kind != NodeKind::Transform) {
        return identity4();
    }
    const TransformData& t = node.transform();
    constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
    double c[3], s[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = std::cos(t.rotate[i] * kDegToRad);
        s[i] = std::sin(t.rotate[i] * kDegToRad);
    }
    // Row-vector rotations, applied x first: R = Rx * Ry * Rz.
    const Mat4 rx{{{1, 0, 0, 0}, {0, c[0], s[0], 0}, {0, -s[0], c[0], 0}, {0, 0, 0, 1}}};
    const Mat4 ry{{{c[1], 0, -s[1], 0}, {0, 1, 0, 0}, {s[1], 0, c[1], 0}, {0, 0, 0, 1}}};
    const Mat4 rz{{{c[2], s[2], 0, 0}, {-s[2], c[2], 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    Mat4 m = multiply(multiply(rx, ry), rz);
    // S * R: row i of R scaled by s[i]; then * T: translation in row 3.
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m[i][j] *= t.scale[i];
        }
        m[3][i] = t.translate[i];
    }
    return m;
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
