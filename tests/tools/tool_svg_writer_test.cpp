// The preview's SVG writer on hand-made call lists: it draws what was
// recorded, in recorded order, whatever the order of the calls.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MColor.h>
#include <maya/MPoint.h>
#include <maya/MUIDrawManager.h>

#include <string>
#include <vector>

#include "svg_writer.h"

namespace {

khost::DrawCall lineCall(int primitive, const std::vector<MPoint>& points) {
    khost::DrawCall call;
    call.kind = khost::DrawCall::Mesh;
    call.primitive = primitive;
    for (const MPoint& p : points) {
        call.points.append(p);
    }
    return call;
}

khost::DrawCall widthCall(float width) {
    khost::DrawCall call;
    call.kind = khost::DrawCall::SetLineWidth;
    call.value = width;
    return call;
}

khost::DrawCall colorCall(const MColor& color) {
    khost::DrawCall call;
    call.kind = khost::DrawCall::SetColor;
    call.color = color;
    return call;
}

std::string render(const std::vector<khost::DrawCall>& calls) {
    preview::Picture picture;
    preview::ViewPicture view;
    view.width = 100;
    view.height = 100;
    view.project = [](const khost::Vec3& world, double& x, double& y) {
        x = world[0];
        y = world[1];
        return true;
    };
    view.calls = calls;
    picture.views.push_back(view);
    return preview::renderSvg(picture);
}

// The opening tags of the kl-line-seg elements, in document order.
std::vector<std::string> segments(const std::string& svg) {
    std::vector<std::string> found;
    const std::string needle = "class=\"kl-line-seg\"";
    for (std::size_t at = svg.find(needle); at != std::string::npos; at = svg.find(needle, at + 1)) {
        const std::size_t start = svg.rfind('<', at);
        found.push_back(svg.substr(start, svg.find('>', at) - start + 1));
    }
    return found;
}

bool has(const std::string& tag, const std::string& text) {
    return tag.find(text) != std::string::npos;
}

TEST(SvgWriter, LineCallsKeepTheirRecordedOrderWidthAndColour) {
    const MPoint a(10, 10), b(20, 10), c(20, 20), d(10, 20);
    // A thick red list first, then a thin green one: the writer must not
    // assume which kind of line comes first.
    const std::vector<khost::DrawCall> calls = {
        widthCall(7.0f),
        colorCall(MColor(1.0f, 0.0f, 0.0f)),
        lineCall(MHWRender::MUIDrawManager::kLines, {a, b, c, d}),
        widthCall(2.0f),
        colorCall(MColor(0.0f, 1.0f, 0.0f)),
        lineCall(MHWRender::MUIDrawManager::kLines, {a, c}),
    };
    const std::vector<std::string> tags = segments(render(calls));
    ASSERT_EQ(tags.size(), 3u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(has(tags[i], "data-list=\"0\"")) << tags[i];
        EXPECT_TRUE(has(tags[i], "stroke-width=\"7\"")) << tags[i];
        EXPECT_TRUE(has(tags[i], "stroke=\"#ff0000\"")) << tags[i];
    }
    EXPECT_TRUE(has(tags[2], "data-list=\"1\"")) << tags[2];
    EXPECT_TRUE(has(tags[2], "stroke-width=\"2\"")) << tags[2];
    EXPECT_TRUE(has(tags[2], "stroke=\"#00ff00\"")) << tags[2];
    // The view's y axis points down: (10, 10) lands at y = 90.
    EXPECT_TRUE(has(tags[0], "x1=\"10\" y1=\"90\" x2=\"20\" y2=\"90\"")) << tags[0];
}

TEST(SvgWriter, StripsAndClosedLinesGiveOneSegmentPerEdge) {
    const MPoint a(10, 10), b(20, 10), c(20, 20), d(10, 20);
    const std::vector<khost::DrawCall> calls = {
        lineCall(MHWRender::MUIDrawManager::kLineStrip, {a, b, c, d}),
        lineCall(MHWRender::MUIDrawManager::kClosedLine, {a, b, c, d}),
        lineCall(MHWRender::MUIDrawManager::kLines, {a, b, c}),  // the odd vertex draws nothing
    };
    EXPECT_EQ(preview::countRecorded(calls).lineSegments, 3u + 4u + 1u);
    const std::string svg = render(calls);
    const std::vector<std::string> tags = segments(svg);
    ASSERT_EQ(tags.size(), 8u);
    EXPECT_TRUE(has(tags[6], "x1=\"10\" y1=\"80\" x2=\"10\" y2=\"90\"")) << tags[6];  // closing edge d-a
    EXPECT_TRUE(has(svg, "data-line-segments=\"8\""));
}

TEST(SvgWriter, CountsComeFromTheCallsAlone) {
    khost::DrawCall points;
    points.kind = khost::DrawCall::Mesh;
    points.primitive = MHWRender::MUIDrawManager::kPoints;
    points.points.append(MPoint(1, 2));
    points.points.append(MPoint(3, 4));
    khost::DrawCall marker;
    marker.kind = khost::DrawCall::Circle2d;
    khost::DrawCall xray;
    xray.kind = khost::DrawCall::BeginDrawInXray;
    const preview::RecordedCounts counts = preview::countRecorded({xray, points, marker, marker});
    EXPECT_EQ(counts.points, 2u);
    EXPECT_EQ(counts.markers, 2u);
    EXPECT_EQ(counts.lineSegments, 0u);
    EXPECT_TRUE(counts.xray);
    EXPECT_FALSE(preview::countRecorded({points}).xray);
    EXPECT_EQ(preview::describeCounts(counts), "2 points, 2 markers, 0 line segments");
}

}  // namespace
