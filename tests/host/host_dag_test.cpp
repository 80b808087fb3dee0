// The embedded host's DAG: node naming and paths, transformation matrices,
// MDagPath and MFnDagNode, NURBS curves through MFnNurbsCurve and ray tests
// through MFnMesh.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using khost::Vec3;

class DagTest : public ::testing::Test {
protected:
    void SetUp() override { khost::newScene(); }
};

std::vector<Vec3> sevenCVs() {
    return {{0, 0, 0}, {1, 2, 0}, {2, -1, 1}, {3, 3, 0}, {4, 0, -2}, {5, 1, 0}, {6, 0, 0}};
}

void expectPoint(const MPoint& p, double x, double y, double z, double tol = 1e-9) {
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

// ---------------------------------------------------------------- names and paths

TEST_F(DagTest, CreatedNodesAreNamedAsTheHostNamesThem) {
    const auto desc = khost::openCurve(sevenCVs());
    EXPECT_EQ(khost::createCurve(desc), "curve1");
    EXPECT_EQ(khost::shapeOf("curve1"), "curveShape1");
    EXPECT_EQ(khost::createCurve(desc), "curve2");
    // A taken explicit name gets the lowest free number of its base.
    EXPECT_EQ(khost::createCurve(desc, "curve1"), "curve3");
    EXPECT_EQ(khost::shapeOf("curve3"), "curveShape3");
    EXPECT_EQ(khost::createCurve(desc, "rail"), "rail");
    EXPECT_EQ(khost::shapeOf("rail"), "railShape");
    EXPECT_EQ(khost::createCurve(desc, "rail"), "rail1");
    EXPECT_EQ(khost::shapeOf("rail1"), "railShape1");
    EXPECT_EQ(khost::createMesh(khost::planeMesh(1, 1)), "pCube1");
    EXPECT_EQ(khost::shapeOf("pCube1"), "pCubeShape1");
    EXPECT_EQ(khost::createCamera({0, 0, 5}, {0, 0, 0}), "camera1");
    EXPECT_EQ(khost::shapeOf("camera1"), "cameraShape1");
    // A freed number is used again.
    ASSERT_TRUE(khost::deleteNode("curve2"));
    EXPECT_EQ(khost::createCurve(desc), "curve2");
    EXPECT_EQ(khost::createCurve(desc), "curve4");
}

TEST_F(DagTest, NewSceneKeepsOnlyTheDefaultCamera) {
    khost::createCurve(khost::openCurve(sevenCVs()));
    khost::newScene();
    EXPECT_FALSE(khost::exists("curve1"));
    EXPECT_EQ(khost::fullPathName("perspShape"), "|persp|perspShape");
    EXPECT_EQ(khost::createCurve(khost::openCurve(sevenCVs())), "curve1");
}

TEST_F(DagTest, FullAndPartialPathsOfNestedNodes) {
    ASSERT_EQ(khost::createTransform("group1"), "group1");
    const std::string curve = khost::createCurve(khost::openCurve(sevenCVs()), "", "group1");
    EXPECT_EQ(khost::fullPathName(curve), "|group1|curve1");
    EXPECT_EQ(khost::fullPathName("curveShape1"), "|group1|curve1|curveShape1");
    const MDagPath path = khost::dagPath("group1|curve1|curveShape1");
    EXPECT_EQ(std::string(path.fullPathName().asChar()), "|group1|curve1|curveShape1");
    EXPECT_EQ(std::string(path.partialPathName().asChar()), "curveShape1");
    EXPECT_EQ(path.length(), 3u);
}

TEST_F(DagTest, NamesNeedOnlyBeUniqueAmongSiblings) {
    khost::createTransform("a");
    khost::createTransform("b");
    const auto desc = khost::openCurve(sevenCVs());
    ASSERT_EQ(khost::createCurve(desc, "pSphere1", "a"), "pSphere1");
    // Creation makes names unique in the whole scene ...
    ASSERT_EQ(khost::createCurve(desc, "pSphere1", "b"), "pSphere2");
    // ... renaming only among siblings.
    ASSERT_TRUE(khost::renameNode("b|pSphere2", "pSphere1"));
    EXPECT_EQ(khost::fullPathName("b|pSphere1"), "|b|pSphere1");
    EXPECT_EQ(khost::fullPathName("|a|pSphere1"), "|a|pSphere1");
    EXPECT_FALSE(khost::exists("pSphere1"));  // ambiguous
    EXPECT_EQ(std::string(khost::dagPath("a|pSphere1").partialPathName().asChar()), "a|pSphere1");
    // A world-level node of the same name is told apart by its full path.
    khost::createCurve(desc, "loop");
    ASSERT_TRUE(khost::renameNode("loop", "pSphere1"));
    EXPECT_EQ(std::string(khost::dagPath("|pSphere1").partialPathName().asChar()), "|pSphere1");
    EXPECT_EQ(std::string(khost::dagPath("b|pSphere1").partialPathName().asChar()), "b|pSphere1");
}

TEST_F(DagTest, ParentingRefusesCyclesAndRenamesOnClash) {
    khost::createTransform("g1");
    khost::createTransform("g2", "g1");
    EXPECT_FALSE(khost::parentNode("g1", "g2"));  // g2 is below g1
    EXPECT_FALSE(khost::parentNode("g1", "g1"));
    const std::string curve = khost::createCurve(khost::openCurve(sevenCVs()));
    EXPECT_FALSE(khost::parentNode("curveShape1", ""));  // a shape needs a transform
    ASSERT_TRUE(khost::parentNode(curve, "g2"));
    EXPECT_EQ(khost::fullPathName("curveShape1"), "|g1|g2|curve1|curveShape1");
    khost::createTransform("x", "g1");
    ASSERT_EQ(khost::createTransform("x"), "x1");  // creation names are unique in the whole scene
    ASSERT_TRUE(khost::renameNode("x1", "x"));     // renaming only among siblings
    ASSERT_TRUE(khost::parentNode("|x", "g1"));
    EXPECT_TRUE(khost::exists("|g1|x"));
    EXPECT_TRUE(khost::exists("|g1|x1"));
    EXPECT_FALSE(khost::renameNode("g1", "9lives"));
    EXPECT_FALSE(khost::renameNode("g1", ""));
}

TEST_F(DagTest, CurvesTheHostRefusesAreNotCreated) {
    std::string error;
    EXPECT_EQ(khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 3), "", "", &error), "");
    EXPECT_FALSE(error.empty());
    khost::CurveDesc bad = khost::openCurve(sevenCVs());
    bad.knots = {0, 0, 0, 1, 2, 3, 4, 4};  // one short
    error.clear();
    EXPECT_EQ(khost::createCurve(bad, "", "", &error), "");
    EXPECT_FALSE(error.empty());
    bad.knots = {0, 0, 0, 2, 1, 3, 4, 4, 4};  // decreasing
    EXPECT_EQ(khost::createCurve(bad), "");
    EXPECT_EQ(khost::createCurve(khost::openCurve(sevenCVs()), "", "noSuchGroup"), "");
    EXPECT_FALSE(khost::exists("curve1"));
}

// ---------------------------------------------------------------- matrices

TEST_F(DagTest, WorldSpaceCVsThroughParentedRotatedTransforms) {
    khost::createTransform("group1");
    khost::setTranslate("group1", {10, 0, 0});
    khost::setRotate("group1", {0, 90, 0});
    const std::string curve =
        khost::createCurve(khost::openCurve({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}}), "", "group1");
    khost::setTranslate(curve, {0, 0, 5});
    khost::setScale(curve, {2, 2, 2});

    MFnNurbsCurve fn(khost::dagPath(curve));
    MPointArray world, local;
    ASSERT_TRUE(fn.getCVs(world, MSpace::kWorld));
    ASSERT_TRUE(fn.getCVs(local));
    ASSERT_EQ(world.length(), 4u);
    expectPoint(local[0], 1, 0, 0);
    // Curve transform: (1,0,0) scaled to (2,0,0), moved to (2,0,5). Group: a
    // +90 degree turn about Y takes (x,y,z) to (z,y,-x), giving (5,0,-2),
    // then the move to (15,0,-2).
    expectPoint(world[0], 15, 0, -2);
    expectPoint(world[1], 15, 2, 0);   // (0,2,5) -> (5,2,0) -> (15,2,0)
    expectPoint(world[2], 17, 0, 0);   // (0,0,7) -> (7,0,0) -> (17,0,0)
    expectPoint(world[3], 17, 2, -2);  // (2,2,7) -> (7,2,-2) -> (17,2,-2)
}

TEST_F(DagTest, WorldSpaceFollowsEveryMoveAndReparentOfAnAncestor) {
    // World matrices are remembered between queries; every change to any
    // ancestor must still reach the next query.
    khost::createTransform("outer");
    khost::createTransform("inner", "outer");
    const std::string curve = khost::createCurve(khost::openCurve({{1, 0, 0}, {2, 0, 0}}, 1), "", "inner");
    const MDagPath path = khost::dagPath(curve);
    auto firstWorldCV = [&] {
        MPoint p;
        EXPECT_TRUE(MFnNurbsCurve(path).getCV(0, p, MSpace::kWorld));
        return p;
    };
    expectPoint(firstWorldCV(), 1, 0, 0);
    khost::setTranslate("outer", {0, 5, 0});
    expectPoint(firstWorldCV(), 1, 5, 0);
    khost::setScale("inner", {3, 3, 3});
    expectPoint(firstWorldCV(), 3, 5, 0);
    khost::setRotate("outer", {0, 0, 90});  // +Z turn: (3, 0, 0) -> (0, 3, 0)
    expectPoint(firstWorldCV(), 0, 8, 0);
    const MMatrix inclusive = khost::dagPath("inner").inclusiveMatrix();
    expectPoint(MPoint(1, 0, 0) * inclusive, 0, 8, 0);

    // Out from under "outer": only the scale of "inner" is left.
    ASSERT_TRUE(khost::parentNode("inner", ""));
    expectPoint(firstWorldCV(), 3, 0, 0);
    khost::createTransform("other");
    khost::setTranslate("other", {0, 0, -4});
    ASSERT_TRUE(khost::parentNode("inner", "other"));
    expectPoint(firstWorldCV(), 3, 0, -4);
    // The same values written again leave the answer as it was.
    khost::setTranslate("other", {0, 0, -4});
    expectPoint(firstWorldCV(), 3, 0, -4);
}

TEST_F(DagTest, RotationsApplyInXYZOrder) {
    const std::string curve = khost::createCurve(khost::openCurve({{0, 1, 0}, {0, 2, 0}}, 1));
    khost::setRotate(curve, {90, 90, 0});
    MPoint p;
    ASSERT_TRUE(MFnNurbsCurve(khost::dagPath(curve)).getCV(0, p, MSpace::kWorld));
    // X first: (0,1,0) -> (0,0,1); then Y: (0,0,1) -> (1,0,0). The other
    // order would give (0,0,1).
    expectPoint(p, 1, 0, 0);
    khost::setRotate(curve, {0, 0, 90});
    ASSERT_TRUE(MFnNurbsCurve(khost::dagPath(curve)).getCV(0, p, MSpace::kWorld));
    expectPoint(p, -1, 0, 0);  // +Z turn takes +Y towards -X
}

TEST_F(DagTest, DagNodeMatricesAreLocalAndInclusive) {
    khost::createTransform("group1");
    khost::setTranslate("group1", {1, 2, 3});
    const std::string curve = khost::createCurve(khost::openCurve(sevenCVs()), "", "group1");
    khost::setTranslate(curve, {10, 0, 0});
    const MDagPath shape = khost::dagPath("curveShape1");

    MFnDagNode shapeFn(shape);
    ASSERT_EQ(shapeFn.parentCount(), 1u);
    MFnDagNode transformFn(shapeFn.parent(0));
    const MMatrix local = transformFn.transformationMatrix();
    EXPECT_DOUBLE_EQ(local[3][0], 10.0);  // its own translation only
    EXPECT_DOUBLE_EQ(local[3][1], 0.0);
    EXPECT_TRUE(MMatrix().isEquivalent(shapeFn.transformationMatrix()));
    EXPECT_EQ(std::string(transformFn.fullPathName().asChar()), "|group1|curve1");

    const MMatrix inclusive = shape.inclusiveMatrix();
    EXPECT_DOUBLE_EQ(inclusive[3][0], 11.0);
    EXPECT_DOUBLE_EQ(inclusive[3][2], 3.0);
    const MMatrix exclusive = khost::dagPath(curve).exclusiveMatrix();
    EXPECT_DOUBLE_EQ(exclusive[3][0], 1.0);
    EXPECT_TRUE((inclusive * shape.inclusiveMatrixInverse()).isEquivalent(MMatrix(), 1e-12));
}

// ---------------------------------------------------------------- MDagPath

TEST_F(DagTest, ExtendToShapeNeedsExactlyOneShape) {
    const std::string curve = khost::createCurve(khost::openCurve(sevenCVs()));
    MDagPath path = khost::dagPath(curve);
    EXPECT_EQ(path.apiType(), MFn::kTransform);
    ASSERT_TRUE(path.extendToShape());
    EXPECT_EQ(path.apiType(), MFn::kNurbsCurve);
    EXPECT_TRUE(path.hasFn(MFn::kCurve));
    EXPECT_TRUE(path.extendToShape());  // a shape stays a shape
    EXPECT_EQ(std::string(path.fullPathName().asChar()), "|curve1|curveShape1");
    EXPECT_TRUE(path.transform().hasFn(MFn::kTransform));

    khost::createTransform("empty");
    MDagPath group = khost::dagPath("empty");
    EXPECT_FALSE(group.extendToShape());
    EXPECT_EQ(std::string(group.fullPathName().asChar()), "|empty");

    // A second shape under the curve's transform makes it ambiguous.
    const std::string otherShape = khost::shapeOf(khost::createCurve(khost::openCurve(sevenCVs())));
    ASSERT_TRUE(khost::parentNode(otherShape, curve));
    MDagPath two = khost::dagPath(curve);
    EXPECT_FALSE(two.extendToShape());
    EXPECT_EQ(two.apiType(), MFn::kTransform);
    EXPECT_TRUE(two.extendToShapeDirectlyBelow(1));
    EXPECT_EQ(std::string(two.fullPathName().asChar()), "|curve1|" + otherShape);
    // Function sets act only on a single shape of their kind.
    MStatus status;
    MFnNurbsCurve fn(khost::dagPath(curve), &status);
    EXPECT_FALSE(status);
    MPointArray cvs;
    EXPECT_FALSE(fn.getCVs(cvs));
}

TEST_F(DagTest, PathsPushPopAndOutliveTheirNodes) {
    khost::createTransform("group1");
    khost::createCurve(khost::openCurve(sevenCVs()), "", "group1");
    MDagPath path = khost::dagPath("group1");
    ASSERT_TRUE(path.push(khost::object("curve1")));
    ASSERT_TRUE(path.push(khost::object("curveShape1")));
    EXPECT_FALSE(path.push(khost::object("group1")));  // not a child
    EXPECT_EQ(path.length(), 3u);
    MDagPath copy = path;
    EXPECT_TRUE(copy == path);
    ASSERT_TRUE(copy.pop(2));
    EXPECT_EQ(std::string(copy.fullPathName().asChar()), "|group1");
    EXPECT_FALSE(copy == path);

    ASSERT_TRUE(khost::deleteNode("group1"));
    EXPECT_FALSE(path.isValid());
    EXPECT_FALSE(path.extendToShape());
    MPointArray cvs;
    EXPECT_FALSE(MFnNurbsCurve(path).getCVs(cvs));
    EXPECT_EQ(std::string(path.partialPathName().asChar()), "curveShape1");
}

// ---------------------------------------------------------------- MFnNurbsCurve

// Textbook Cox-de Boor basis on the full knot vector (the host's knots with
// one more knot at each end).
double basis(const std::vector<double>& u, int i, int p, double t) {
    if (p == 0) {
        const bool last = t == u.back() && u[static_cast<std::size_t>(i + 1)] == u.back() &&
                          u[static_cast<std::size_t>(i)] < u.back();
        return (u[static_cast<std::size_t>(i)] <= t && t < u[static_cast<std::size_t>(i + 1)]) || last ? 1.0
                                                                                                       : 0.0;
    }
    double v = 0.0;
    const double d1 = u[static_cast<std::size_t>(i + p)] - u[static_cast<std::size_t>(i)];
    const double d2 = u[static_cast<std::size_t>(i + p + 1)] - u[static_cast<std::size_t>(i + 1)];
    if (d1 > 0) {
        v += (t - u[static_cast<std::size_t>(i)]) / d1 * basis(u, i, p - 1, t);
    }
    if (d2 > 0) {
        v += (u[static_cast<std::size_t>(i + p + 1)] - t) / d2 * basis(u, i + 1, p - 1, t);
    }
    return v;
}

Vec3 coxDeBoor(const std::vector<Vec3>& cvs, int degree, std::vector<double> knots, double t) {
    knots.insert(knots.begin(), knots.front());
    knots.push_back(knots.back());
    Vec3 r{{0, 0, 0}};
    for (std::size_t i = 0; i < cvs.size(); ++i) {
        const double b = basis(knots, static_cast<int>(i), degree, t);
        for (int k = 0; k < 3; ++k) {
            r[static_cast<std::size_t>(k)] += b * cvs[i][static_cast<std::size_t>(k)];
        }
    }
    return r;
}

TEST_F(DagTest, ClampedCubicFollowsTheHostKnotConvention) {
    const std::string curve = khost::createCurve(khost::openCurve(sevenCVs()));
    MFnNurbsCurve fn(khost::dagPath(curve));
    EXPECT_EQ(fn.numCVs(), 7);
    EXPECT_EQ(fn.degree(), 3);
    EXPECT_EQ(fn.numKnots(), 9);
    EXPECT_EQ(fn.numSpans(), 4);
    EXPECT_EQ(fn.form(), MFnNurbsCurve::kOpen);
    double start = -1, end = -1;
    ASSERT_TRUE(fn.getKnotDomain(start, end));
    EXPECT_DOUBLE_EQ(start, 0.0);
    EXPECT_DOUBLE_EQ(end, 4.0);

    const std::vector<double> knots = {0, 0, 0, 1, 2, 3, 4, 4, 4};
    for (double t : {0.0, 0.3, 1.0, 1.7, 2.0, 2.5, 3.99999, 4.0}) {
        MPoint p;
        ASSERT_TRUE(fn.getPointAtParam(t, p)) << t;
        const Vec3 expected = coxDeBoor(sevenCVs(), 3, knots, t);
        expectPoint(p, expected[0], expected[1], expected[2], 1e-9);
    }
    // At the middle knot of a uniform stretch: (P2 + 4 P3 + P4) / 6.
    MPoint mid;
    fn.getPointAtParam(2.0, mid);
    expectPoint(mid, (2 + 12 + 4) / 6.0, (-1 + 12 + 0) / 6.0, (1 + 0 - 2) / 6.0);
    // The ends interpolate the end CVs.
    MPoint first;
    fn.getPointAtParam(0.0, first);
    expectPoint(first, 0, 0, 0);

    MPoint untouched(7, 7, 7);
    EXPECT_FALSE(fn.getPointAtParam(4.5, untouched));
    EXPECT_FALSE(fn.getPointAtParam(std::nan(""), untouched));
    expectPoint(untouched, 7, 7, 7);
}

TEST_F(DagTest, CurveQueriesInWorldSpaceAndTheirCounters) {
    const std::string curve = khost::createCurve(khost::openCurve(sevenCVs()));
    khost::setTranslate(curve, {0, 10, 0});
    MFnNurbsCurve fn(khost::dagPath(curve));
    khost::resetCounters();
    MPoint local, world;
    fn.getPointAtParam(2.0, local);
    fn.getPointAtParam(2.0, world, MSpace::kWorld);
    EXPECT_NEAR(world.y - local.y, 10.0, 1e-12);
    MPointArray cvs;
    fn.getCVs(cvs, MSpace::kWorld);
    expectPoint(cvs[1], 1, 12, 0);
    EXPECT_EQ(khost::counters().getPointAtParam, 2u);
    EXPECT_EQ(khost::counters().getCVs, 1u);
}

TEST_F(DagTest, PeriodicCircleClosesOnItself) {
    const std::string circle = khost::createCurve(khost::periodicCircle(2.0, 8, 3, {1, 0, 0}));
    ASSERT_FALSE(circle.empty());
    MFnNurbsCurve fn(khost::dagPath(circle));
    EXPECT_EQ(fn.form(), MFnNurbsCurve::kPeriodic);
    EXPECT_EQ(fn.numCVs(), 11);
    EXPECT_EQ(fn.numSpans(), 8);
    EXPECT_EQ(fn.numKnots(), 13);
    double start = 0, end = 0;
    fn.getKnotDomain(start, end);
    EXPECT_DOUBLE_EQ(end - start, 8.0);
    MPoint a, b;
    fn.getPointAtParam(start, a);
    fn.getPointAtParam(end, b);
    EXPECT_TRUE(a.isEquivalent(b, 1e-9));
    for (int k = 0; k < 8; ++k) {
        MPoint p;
        fn.getPointAtParam(start + k, p);
        EXPECT_NEAR(std::hypot(p.x - 1.0, p.z), 2.0, 1e-9);
        EXPECT_NEAR(p.y, 0.0, 1e-12);
    }
    EXPECT_NEAR(fn.length(1e-6), 2.0 * 3.14159265358979 * 2.0, 0.1);
}

// ---------------------------------------------------------------- MFnMesh

struct Ray {
    MFloatPoint source;
    MFloatVector direction;
};

bool cast(MFnMesh& mesh, const Ray& r, bool accelerated, float maxParam = 1.0f, bool both = false,
          float* param = nullptr, int* face = nullptr, int* triangle = nullptr, MFloatPoint* hit = nullptr,
          MSpace::Space space = MSpace::kWorld) {
    MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();
    MFloatPoint hitPoint;
    const bool result = mesh.anyIntersection(r.source, r.direction, nullptr, nullptr, false, space, maxParam,
                                             both, accelerated ? &accel : nullptr, hitPoint, param, face,
                                             triangle, nullptr, nullptr);
    if (hit != nullptr) {
        *hit = hitPoint;
    }
    return result;
}

TEST_F(DagTest, RayTestsRespectRangeAndDirection) {
    const std::string plane = khost::createMesh(khost::planeMesh(10, 2));  // z = 0, normal +Z
    MFnMesh mesh(khost::dagPath(plane));
    for (bool accelerated : {false, true}) {
        SCOPED_TRACE(accelerated ? "grid" : "brute force");
        float t = -1;
        MFloatPoint hit;
        EXPECT_TRUE(
            cast(mesh, {{1, 1, 5}, {0, 0, -10}}, accelerated, 1.0f, false, &t, nullptr, nullptr, &hit));
        EXPECT_NEAR(t, 0.5f, 1e-6f);
        EXPECT_NEAR(hit.z, 0.0f, 1e-6f);
        EXPECT_NEAR(hit.x, 1.0f, 1e-6f);
        // The plane lies beyond maxParam times the direction.
        EXPECT_FALSE(cast(mesh, {{1, 1, 5}, {0, 0, -4}}, accelerated));
        // The plane lies behind the source: only a two-way test finds it.
        EXPECT_FALSE(cast(mesh, {{1, 1, -5}, {0, 0, -10}}, accelerated));
        EXPECT_TRUE(cast(mesh, {{1, 1, -5}, {0, 0, -10}}, accelerated, 1.0f, true, &t));
        EXPECT_NEAR(t, -0.5f, 1e-6f);
        // Outside the plane's extent.
        EXPECT_FALSE(cast(mesh, {{6, 0, 5}, {0, 0, -10}}, accelerated));
    }
}

TEST_F(DagTest, RayHitsReportFaceAndTriangleInFace) {
    const std::string box = khost::createMesh(khost::boxMesh({-1, -1, -1}, {1, 1, 1}));
    MFnMesh mesh(khost::dagPath(box));
    int face = -1, triangle = -1;
    // Faces of boxMesh: -X, +X, -Y, +Y, -Z, +Z; the +Z face is index 5.
    ASSERT_TRUE(cast(mesh, {{0.5f, 0.2f, 5}, {0, 0, -4.5f}}, false, 1.0f, false, nullptr, &face, &triangle));
    EXPECT_EQ(face, 5);
    EXPECT_TRUE(triangle == 0 || triangle == 1);
    MStatus status;
    MFnMesh curveAsMesh(khost::dagPath(khost::createCurve(khost::openCurve(sevenCVs()))), &status);
    EXPECT_FALSE(status);
    EXPECT_FALSE(cast(curveAsMesh, {{0, 0, 5}, {0, 0, -10}}, true));
}

TEST_F(DagTest, AcceleratedAndBruteForceRayTestsAgree) {
    const std::string box = khost::createMesh(khost::boxMesh({-1, -2, -1}, {2, 1, 3}));
    khost::setRotate(box, {20, 35, -10});
    khost::setTranslate(box, {0.5, 0, 1});
    const std::string plane = khost::createMesh(khost::planeMesh(6, 7, {0, 1, 0}, 1));
    MFnMesh boxFn(khost::dagPath(box));
    MFnMesh planeFn(khost::dagPath(plane));
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-4.0f, 4.0f);
    int hits = 0;
    for (int i = 0; i < 400; ++i) {
        const Ray r{{coord(rng), coord(rng), coord(rng)}, {coord(rng), coord(rng), coord(rng)}};
        const bool both = i % 3 == 0;
        for (int m = 0; m < 2; ++m) {
            MFnMesh& fn = m == 0 ? boxFn : planeFn;
            const bool slow = cast(fn, r, false, 1.0f, both);
            const bool fast = cast(fn, r, true, 1.0f, both);
            EXPECT_EQ(slow, fast) << "ray " << i;
            hits += slow ? 1 : 0;
        }
    }
    EXPECT_GT(hits, 50);  // the comparison covered hits as well as misses
}

TEST_F(DagTest, GridIsBuiltOnceAndRebuiltWhenTheMeshMoves) {
    khost::createTransform("holder");
    const std::string plane = khost::createMesh(khost::planeMesh(10, 4), "", "holder");
    MFnMesh mesh(khost::dagPath(plane));
    khost::resetCounters();
    const Ray down{{0.3f, 0.3f, 5}, {0, 0, -10}};
    float t = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(cast(mesh, down, true, 1.0f, false, &t));
    }
    EXPECT_EQ(khost::counters().accelBuilds, 1u);
    EXPECT_EQ(khost::counters().anyIntersection, 5u);
    EXPECT_NEAR(t, 0.5f, 1e-6f);

    khost::setTranslate(plane, {0, 0, 3});
    ASSERT_TRUE(cast(mesh, down, true, 1.0f, false, &t));
    EXPECT_EQ(khost::counters().accelBuilds, 2u);
    EXPECT_NEAR(t, 0.2f, 1e-6f);

    // Moving a transform further up counts as well.
    khost::setTranslate("holder", {0, 0, 1});
    ASSERT_TRUE(cast(mesh, down, true, 1.0f, false, &t));
    EXPECT_EQ(khost::counters().accelBuilds, 3u);
    EXPECT_NEAR(t, 0.1f, 1e-6f);

    // Object space ignores the transforms.
    ASSERT_TRUE(cast(mesh, down, false, 1.0f, false, &t, nullptr, nullptr, nullptr, MSpace::kObject));
    EXPECT_NEAR(t, 0.5f, 1e-6f);
}

}  // namespace
