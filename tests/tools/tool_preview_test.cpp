// End-to-end tests of the knotlens-preview program: it is run as a separate
// process (it loads the module itself, which may happen once per process),
// and its exit status, its console lines and the SVG it writes are checked.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The program under test; absent from builds made without the tools.
#ifdef KNOTLENS_PREVIEW_PATH
constexpr const char* kPreviewPath = KNOTLENS_PREVIEW_PATH;
#else
constexpr const char* kPreviewPath = nullptr;
#endif

namespace {

namespace fs = std::filesystem;

// What the demo scene holds: the ring (periodic, 8 spans of degree 3, so 11
// CVs), sCurve (7 CVs, CVs 2 and 4 picked) and wave (6 CVs) get CV points;
// zigzag is selected as an object and gets none. Soft selection weights the
// ring's CVs 0, 1, 7, 2, 6 and their repeats 8, 9, 10.
constexpr int kDemoPoints = 11 + 7 + 6;
constexpr int kDemoMarkers = 3;
constexpr int kDemoSelected = 8 + 2;
constexpr int kDemoFullWeightSelected = 2 + 2;  // ring CVs 0 and 8, sCurve CVs 2 and 4
constexpr int kDemoHullSegments = (11 - 1) + (7 - 1) + (6 - 1);
// Four curves of 4, 4, 4 and 8 spans at 5 divisions: one segment per step,
// and at most one more per curve where accumulated steps fall short of the
// domain's end.
constexpr int kDemoCurveSegmentsMin = (4 + 4 + 4 + 8) * 5;
constexpr int kDemoCurveSegmentsMax = kDemoCurveSegmentsMin + 4;
// The occluder box covers the first two CVs of sCurve as seen from the
// demo camera.
constexpr int kDemoOccludedPoints = 2;
constexpr int kDemoOccludedMarkers = 1;

struct RunResult {
    bool exited = false;
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellQuote(const std::string& s) {
    std::string quoted = "'";
    for (char c : s) {
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        result.push_back(line);
    }
    return result;
}

std::size_t countOf(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

// The value of attribute `name` in the first tag of `tag`.
std::string attr(const std::string& tag, const std::string& name) {
    const std::string head = tag.substr(0, tag.find('>'));
    const std::string key = name + "=\"";
    for (std::size_t at = head.find(key); at != std::string::npos; at = head.find(key, at + 1)) {
        if (at > 0 && std::isspace(static_cast<unsigned char>(head[at - 1])) != 0) {
            const std::size_t start = at + key.size();
            return head.substr(start, head.find('"', start) - start);
        }
    }
    return "";
}

long intAttr(const std::string& tag, const std::string& name) {
    const std::string value = attr(tag, name);
    EXPECT_FALSE(value.empty()) << "no " << name << " in " << tag.substr(0, 200);
    return value.empty() ? -1 : std::stol(value);
}

// Every element (the text of its opening tag) whose class is `cls`.
std::vector<std::string> elements(const std::string& svg, const std::string& cls) {
    std::vector<std::string> found;
    const std::string needle = "class=\"" + cls + "\"";
    for (std::size_t at = svg.find(needle); at != std::string::npos; at = svg.find(needle, at + 1)) {
        const std::size_t start = svg.rfind('<', at);
        found.push_back(svg.substr(start, svg.find('>', at) - start + 1));
    }
    return found;
}

// The sections of the picture that hold one view each.
std::vector<std::string> views(const std::string& svg) {
    std::vector<std::string> found;
    const std::string open = "<svg class=\"kl-view\"";
    for (std::size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
        found.push_back(svg.substr(at, svg.find("</svg>", at) - at));
    }
    return found;
}

struct Counts {
    long points, markers, lineSegments;
};

Counts recorded(const std::string& tag) {
    return {intAttr(tag, "data-points"), intAttr(tag, "data-markers"), intAttr(tag, "data-line-segments")};
}

Counts drawn(const std::string& section) {
    return {static_cast<long>(countOf(section, "class=\"kl-point\"")),
            static_cast<long>(countOf(section, "class=\"kl-marker\"")),
            static_cast<long>(countOf(section, "class=\"kl-line-seg\""))};
}

void expectDrawnEqualsRecorded(const std::string& section) {
    const Counts r = recorded(section);
    const Counts d = drawn(section);
    EXPECT_EQ(d.points, r.points);
    EXPECT_EQ(d.markers, r.markers);
    EXPECT_EQ(d.lineSegments, r.lineSegments);
}

// The line segments of a section drawn with line width `width`.
long segmentsOfWidth(const std::string& section, const std::string& width) {
    const std::vector<std::string> segments = elements(section, "kl-line-seg");
    return static_cast<long>(std::count_if(segments.begin(), segments.end(), [&](const std::string& segment) {
        return attr(segment, "stroke-width") == width;
    }));
}

// The line calls (data-list numbers) of a section, in the order drawn.
std::vector<long> lineListsInOrder(const std::string& section) {
    std::vector<long> lists;
    for (const std::string& segment : elements(section, "kl-line-seg")) {
        const long list = intAttr(segment, "data-list");
        if (lists.empty() || lists.back() != list) {
            lists.push_back(list);
        }
    }
    return lists;
}

// Centres of the CV point squares of a view.
std::vector<std::pair<double, double>> pointCentres(const std::string& view) {
    std::vector<std::pair<double, double>> centres;
    for (const std::string& e : elements(view, "kl-point")) {
        const double half = 0.5 * std::stod(attr(e, "width"));
        centres.push_back({std::stod(attr(e, "x")) + half, std::stod(attr(e, "y")) + half});
    }
    return centres;
}

// Every marker circles a CV point of the view (marker centres are whole
// pixels, so within a pixel and a half).
void expectMarkersOnPoints(const std::string& view) {
    const auto points = pointCentres(view);
    for (const std::string& marker : elements(view, "kl-marker")) {
        const double cx = std::stod(attr(marker, "cx")), cy = std::stod(attr(marker, "cy"));
        const bool onPoint =
            std::any_of(points.begin(), points.end(), [&](const std::pair<double, double>& p) {
                return std::abs(p.first - cx) <= 1.5 && std::abs(p.second - cy) <= 1.5;
            });
        EXPECT_TRUE(onPoint) << marker;
    }
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kPreviewPath == nullptr) {
            GTEST_SKIP() << "built without knotlens-preview (KNOTLENS_BUILD_TOOLS=OFF)";
        }
        std::string pattern = (fs::temp_directory_path() / "knotlens-preview-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        if (dir_.empty()) {
            return;
        }
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Runs the program in the test's own folder.
    RunResult run(const std::vector<std::string>& args) {
        std::string command = "cd " + shellQuote(dir_.string()) + " && " + shellQuote(kPreviewPath);
        for (const std::string& a : args) {
            command += " " + shellQuote(a);
        }
        const fs::path out = dir_ / "stdout.txt";
        const fs::path err = dir_ / "stderr.txt";
        command += " >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string());
        const int status = std::system(command.c_str());
        RunResult result;
        result.exited = status != -1 && WIFEXITED(status);
        result.status = result.exited ? WEXITSTATUS(status) : -1;
        result.out = readFile(out);
        result.err = readFile(err);
        fs::remove(out);
        fs::remove(err);
        return result;
    }

    // Runs the program with `args` writing picture.svg and returns the picture.
    std::string picture(std::vector<std::string> args) {
        const fs::path output = dir_ / "picture.svg";
        args.push_back("--output");
        args.push_back(output.string());
        const RunResult result = run(args);
        EXPECT_TRUE(result.exited);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        const std::string svg = readFile(output);
        fs::remove(output);
        return svg;
    }

    fs::path dir_;
};

// ---------------------------------------------------------------- the demo picture

TEST_F(PreviewTest, DefaultRunWritesTheDemoAndNamesTheFile) {
    const RunResult result = run({});
    ASSERT_TRUE(result.exited);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> out = lines(result.out);
    ASSERT_EQ(out.size(), 1u) << result.out;
    EXPECT_NE(out[0].find("knotlens-preview.svg"), std::string::npos) << out[0];

    const std::string svg = readFile(dir_ / "knotlens-preview.svg");
    ASSERT_FALSE(svg.empty());
    EXPECT_EQ(attr(svg.substr(svg.find("<svg")), "data-scene"), "demo");
    ASSERT_EQ(views(svg).size(), 1u);
}

TEST_F(PreviewTest, DemoElementsMatchTheRecordedCallsAndTheScene) {
    const std::string svg = picture({});
    const std::vector<std::string> sections = views(svg);
    ASSERT_EQ(sections.size(), 1u);
    const std::string& view = sections[0];
    expectDrawnEqualsRecorded(view);

    const Counts c = recorded(view);
    EXPECT_EQ(c.points, kDemoPoints);
    EXPECT_EQ(c.markers, kDemoMarkers);
    // showHull is off by default: every segment is the curve overlay's, at
    // lineWidth's default.
    EXPECT_GE(c.lineSegments, kDemoCurveSegmentsMin);
    EXPECT_LE(c.lineSegments, kDemoCurveSegmentsMax);
    EXPECT_EQ(segmentsOfWidth(view, "4"), c.lineSegments);

    // The root sums the views.
    const Counts root = recorded(svg.substr(svg.find("<svg")));
    EXPECT_EQ(root.points, c.points);
    EXPECT_EQ(root.lineSegments, c.lineSegments);

    // Default sizes: points of 10.5 pixels, marker radius 10.5 * 0.5 + 4.
    for (const std::string& point : elements(view, "kl-point")) {
        EXPECT_EQ(attr(point, "width"), "10.5") << point;
    }
    for (const std::string& marker : elements(view, "kl-marker")) {
        EXPECT_EQ(attr(marker, "r"), "9.25") << marker;
        EXPECT_EQ(attr(marker, "stroke-width"), "1") << marker;
    }
    expectMarkersOnPoints(view);
    // The default is drawn on top of everything.
    EXPECT_EQ(attr(view, "data-xray"), "1");
    // The legend lists the settings in force, the scene's own included.
    EXPECT_NE(svg.find("useCVOcclusion (usecvocclusion) = true"), std::string::npos);
    EXPECT_NE(svg.find("occluderMeshName (oclmeshname) = &quot;occluder&quot;"), std::string::npos);
    // The scene itself is drawn under the overlay: four curves, two meshes.
    EXPECT_EQ(countOf(view, "class=\"kl-scene-curve\""), 4u);
    EXPECT_EQ(countOf(view, "class=\"kl-scene-mesh\""), 2u);
}

TEST_F(PreviewTest, DemoColoursFollowSelectionAndSoftSelectionWeights) {
    std::size_t red = 0, fullGreen = 0, partGreen = 0, other = 0;
    const std::string svg = picture({});
    for (const std::string& point : elements(svg, "kl-point")) {
        const std::string fill = attr(point, "fill");
        if (fill == "#ff0000") {
            ++red;
        } else if (fill == "#00ff00") {
            ++fullGreen;
        } else if (fill.size() == 7 && fill.substr(0, 3) == "#00" && fill.substr(5) == "00" &&
                   fill != "#000000") {
            ++partGreen;
        } else {
            ++other;
        }
    }
    // With soft selection the depth ramp is off: unselected CVs show the
    // plain deselected colour, selected ones the selected colour scaled by
    // their weight.
    EXPECT_EQ(red, static_cast<std::size_t>(kDemoPoints - kDemoSelected));
    EXPECT_EQ(fullGreen, static_cast<std::size_t>(kDemoFullWeightSelected));
    EXPECT_EQ(partGreen, static_cast<std::size_t>(kDemoSelected - kDemoFullWeightSelected));
    EXPECT_EQ(other, 0u);

    // A colour set by short name replaces the deselected colour everywhere.
    const std::string blue = picture({"--set", "dpcolor=0,0,1"});
    std::size_t blueCount = 0, redCount = 0;
    for (const std::string& point : elements(blue, "kl-point")) {
        blueCount += attr(point, "fill") == "#0000ff";
        redCount += attr(point, "fill") == "#ff0000";
    }
    EXPECT_EQ(blueCount, static_cast<std::size_t>(kDemoPoints - kDemoSelected));
    EXPECT_EQ(redCount, 0u);
    EXPECT_NE(blue.find("deselectedPointColor (dpcolor) = 0,0,1"), std::string::npos);
}

TEST_F(PreviewTest, OccluderHidesSomeCvsWithoutRemovingThem) {
    auto hidden = [](const std::string& svg, const std::string& cls, const char* opacityAttr) {
        std::size_t n = 0;
        for (const std::string& e : elements(svg, cls)) {
            n += attr(e, opacityAttr) == "0";
        }
        return n;
    };
    const std::string on = picture({});
    EXPECT_EQ(hidden(on, "kl-point", "fill-opacity"), static_cast<std::size_t>(kDemoOccludedPoints));
    EXPECT_EQ(hidden(on, "kl-marker", "stroke-opacity"), static_cast<std::size_t>(kDemoOccludedMarkers));
    EXPECT_EQ(recorded(views(on).at(0)).points, kDemoPoints);

    const std::string off = picture({"--set", "useCVOcclusion=false"});
    EXPECT_EQ(hidden(off, "kl-point", "fill-opacity"), 0u);
    EXPECT_EQ(hidden(off, "kl-marker", "stroke-opacity"), 0u);
    EXPECT_EQ(recorded(views(off).at(0)).points, kDemoPoints);
}

TEST_F(PreviewTest, HullAndCurveSwitchesChangeTheSegments) {
    const std::string hull = picture({"--set", "showHull=1", "--set", "hwidth=7"});
    const std::string view = views(hull).at(0);
    expectDrawnEqualsRecorded(view);
    // Hull segments at hullWidth, curve segments at lineWidth's default.
    const long hullSegments = segmentsOfWidth(view, "7");
    const long curveSegments = segmentsOfWidth(view, "4");
    EXPECT_EQ(hullSegments, kDemoHullSegments);
    EXPECT_GE(curveSegments, kDemoCurveSegmentsMin);
    EXPECT_LE(curveSegments, kDemoCurveSegmentsMax);
    EXPECT_EQ(hullSegments + curveSegments, recorded(view).lineSegments);
    // Line calls are drawn one after the other, as recorded.
    const std::vector<long> lists = lineListsInOrder(view);
    ASSERT_FALSE(lists.empty());
    for (std::size_t i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(lists[i], static_cast<long>(i));
    }

    const std::string noCurve = picture({"--set", "showhull=true", "--set", "showCurve=0"});
    const std::string view2 = views(noCurve).at(0);
    expectDrawnEqualsRecorded(view2);
    EXPECT_EQ(recorded(view2).lineSegments, kDemoHullSegments);
    EXPECT_EQ(segmentsOfWidth(view2, "4"), 0);
    EXPECT_EQ(recorded(view2).points, kDemoPoints);
}

TEST_F(PreviewTest, LongAndShortNamesSetTheSameAttribute) {
    for (const char* setting : {"pointSize=20", "psize=20"}) {
        const std::string svg = picture({"--set", setting});
        const std::vector<std::string> points = elements(svg, "kl-point");
        ASSERT_EQ(points.size(), static_cast<std::size_t>(kDemoPoints)) << setting;
        for (const std::string& point : points) {
            EXPECT_EQ(attr(point, "width"), "20") << setting;
        }
        for (const std::string& marker : elements(svg, "kl-marker")) {
            EXPECT_EQ(attr(marker, "r"), "14") << setting;
        }
    }
    // The host clamps to the attribute's range, and the legend shows the
    // value in force.
    const std::string clamped = picture({"--set", "pointSize=500"});
    EXPECT_NE(clamped.find("pointSize (psize) = 100"), std::string::npos);
    EXPECT_EQ(attr(elements(clamped, "kl-marker").at(0), "r"), "54");
}

TEST_F(PreviewTest, NodeStateAndDrawOnTopReachTheOverlay) {
    const std::string disabled = picture({"--set", "nodeState=1"});
    const Counts c = recorded(views(disabled).at(0));
    EXPECT_EQ(c.points + c.markers + c.lineSegments, 0);
    expectDrawnEqualsRecorded(views(disabled).at(0));

    const std::string normal = picture({"--set", "dot=0"});
    EXPECT_EQ(attr(views(normal).at(0), "data-xray"), "0");
    EXPECT_EQ(recorded(views(normal).at(0)).points, kDemoPoints);
}

// ---------------------------------------------------------------- views and cameras

TEST_F(PreviewTest, SecondViewShowsTheSameFrameFromAnotherCamera) {
    const std::string svg = picture({"--views", "2", "--size", "320x240"});
    const std::vector<std::string> sections = views(svg);
    ASSERT_EQ(sections.size(), 2u);
    for (const std::string& view : sections) {
        expectDrawnEqualsRecorded(view);
        EXPECT_EQ(recorded(view).points, kDemoPoints);
        EXPECT_EQ(recorded(view).markers, kDemoMarkers);
        EXPECT_EQ(attr(view, "width"), "320");
        EXPECT_EQ(attr(view, "height"), "240");
    }
    EXPECT_EQ(recorded(svg.substr(svg.find("<svg"))).points, 2 * kDemoPoints);
    EXPECT_NE(attr(sections[0], "x"), attr(sections[1], "x"));

    // Each view projects with its own camera.
    EXPECT_NE(pointCentres(sections[0]), pointCentres(sections[1]));
    // Whichever way markers are placed in other views, the active view's
    // markers circle that view's first CVs.
    expectMarkersOnPoints(sections[0]);
}

TEST_F(PreviewTest, CameraOptionMovesTheEye) {
    // The demo's camera is at (0, 13, 24) looking at (0, 1, 0); four times as
    // far along the same line the CVs cover a much smaller part of the view.
    auto spread = [](const std::string& svg) {
        double minX = 1e9, maxX = -1e9;
        for (const std::string& point : elements(svg, "kl-point")) {
            const double x = std::stod(attr(point, "x"));
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
        }
        return maxX - minX;
    };
    const double near = spread(picture({}));
    const double far = spread(picture({"--camera", "0,49,96:0,1,0"}));
    EXPECT_GT(near, 0.0);
    EXPECT_LT(far, 0.5 * near);
    EXPECT_EQ(elements(picture({"--camera", "0,49,96"}), "kl-point").size(),
              static_cast<std::size_t>(kDemoPoints));
}

// ---------------------------------------------------------------- other scenes

TEST_F(PreviewTest, EveryBuiltInSceneDrawsWhatItRecorded) {
    struct Expected {
        const char* scene;
        long points, markers, hullSegments;
    };
    // rig: 6 circles of 8 spans (11 CVs), two 16-CV boxes, two 5-CV feet and
    // ten finger circles of 6 spans (9 CVs), all hilited. hull: a 9-CV path
    // and a 6-span loop (9 CVs). dense: 160 + 80 CVs.
    const Expected expected[] = {
        {"rig", 6 * 11 + 2 * 16 + 2 * 5 + 10 * 9, 20, 0},
        {"hull", 9 + 9, 2, 8 + 8},
        {"dense", 160 + 80, 2, 0},
    };
    for (const Expected& e : expected) {
        // A hull width no scene uses tells the hull segments apart.
        const std::string svg = picture({"--scene", e.scene, "--set", "hullWidth=7"});
        ASSERT_EQ(views(svg).size(), 1u) << e.scene;
        const std::string view = views(svg)[0];
        expectDrawnEqualsRecorded(view);
        const Counts c = recorded(view);
        EXPECT_EQ(c.points, e.points) << e.scene;
        EXPECT_EQ(c.markers, e.markers) << e.scene;
        const long hullSegments = segmentsOfWidth(view, "7");
        EXPECT_EQ(hullSegments, e.hullSegments) << e.scene;
        EXPECT_GT(c.lineSegments - hullSegments, 0) << e.scene;
    }
}

// ---------------------------------------------------------------- help and bad input

TEST_F(PreviewTest, HelpDocumentsOptionsAndScenes) {
    const RunResult result = run({"--help"});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.status, 0);
    for (const char* word : {"--scene", "--set", "--camera", "--size", "--views", "--output", "--module",
                             "--help", "demo", "rig", "hull", "dense"}) {
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
    }
    EXPECT_FALSE(fs::exists(dir_ / "knotlens-preview.svg"));
}

TEST_F(PreviewTest, BadInputGetsOneLineAndNoPicture) {
    const std::string output = (dir_ / "out.svg").string();
    {
        std::ofstream junk(dir_ / "junk.so");
        junk << "not a shared object\n";
    }
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {{"--scene", "nosuch"}, "unknown scene 'nosuch'"},
        {{"--set", "noSuchAttribute=1"}, "unknown attribute 'noSuchAttribute'"},
        {{"--set", "pointSize=big"}, "pointSize"},
        {{"--set", "showHull=maybe"}, "showHull"},
        {{"--set", "dpcolor=1,0"}, "deselectedPointColor"},
        {{"--set", "crvdiv=2.5"}, "curveDivisions"},
        {{"--set", "nodeState=off"}, "nodeState"},
        {{"--set", "showHull"}, "ATTR=VALUE"},
        {{"--output", (dir_ / "missing" / "out.svg").string()}, "cannot write"},
        {{"--output", dir_.string()}, "cannot write"},
        {{"--module", (dir_ / "absent.so").string()}, "cannot load module"},
        {{"--module", (dir_ / "junk.so").string()}, "cannot load module"},
        {{"--size", "0x0"}, "--size"},
        {{"--size", "640"}, "--size"},
        {{"--size", "wide"}, "--size"},
        {{"--size", "5000x100"}, "--size"},
        {{"--views", "3"}, "--views"},
        {{"--views", "0"}, "--views"},
        {{"--views", "two"}, "--views"},
        {{"--camera", "1,2"}, "--camera"},
        {{"--camera", "1,2,3:4,5"}, "--camera"},
        {{"--camera", "a,b,c"}, "--camera"},
        {{"--camera", "1,1,1:1,1,1"}, "camera"},
        {{"--frobnicate"}, "unknown option"},
        {{"--scene"}, "needs a value"},
        {{"stray"}, "unexpected argument"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        const bool ownOutput = std::find(args.begin(), args.end(), "--output") != args.end();
        if (!ownOutput) {
            args.insert(args.begin(), {"--output", output});
        }
        const RunResult result = run(args);
        const std::string label = args.back();
        ASSERT_TRUE(result.exited) << label << " crashed: " << result.err;
        EXPECT_NE(result.status, 0) << label;
        const std::vector<std::string> err = lines(result.err);
        ASSERT_EQ(err.size(), 1u) << label << ": " << result.err;
        EXPECT_EQ(err[0].rfind("knotlens-preview: error: ", 0), 0u) << err[0];
        EXPECT_NE(err[0].find(c.mentions), std::string::npos) << err[0];
        EXPECT_EQ(result.out, "") << label;
        EXPECT_FALSE(fs::exists(output)) << label;
        EXPECT_FALSE(fs::exists(dir_ / "knotlens-preview.svg")) << label;
    }
}

TEST_F(PreviewTest, ModuleLoadFailureCarriesTheLoadersReason) {
    const std::string absent = (dir_ / "absent.so").string();
    const RunResult result = run({"--module", absent, "--output", (dir_ / "out.svg").string()});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.status, 1);
    const std::string prefix = "knotlens-preview: error: cannot load module '" + absent + "': ";
    ASSERT_EQ(result.err.rfind(prefix, 0), 0u) << result.err;
    // Something after the prefix: the reason the host gave.
    EXPECT_GT(lines(result.err).at(0).size(), prefix.size()) << result.err;
}

}  // namespace
