#include "svg_writer.h"

#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace preview {

namespace {

// MUIDrawManager::Primitive codes of the primitives drawn.
constexpr int kPointsPrimitive = 0;
constexpr int kLinesPrimitive = 1;
constexpr int kLineStripPrimitive = 2;
constexpr int kClosedLinePrimitive = 3;

bool isLinePrimitive(int primitive) {
    return primitive == kLinesPrimitive || primitive == kLineStripPrimitive ||
           primitive == kClosedLinePrimitive;
}

// The vertex pairs of the segments a line primitive of `n` vertices draws:
// disjoint pairs for a line list, each vertex to the next for a strip, and
// a closed line also from the last back to the first.
std::vector<std::array<unsigned int, 2>> segmentsOf(int primitive, unsigned int n) {
    std::vector<std::array<unsigned int, 2>> segments;
    if (primitive == kLinesPrimitive) {
        for (unsigned int i = 0; i + 1 < n; i += 2) {
            segments.push_back({{i, i + 1}});
        }
        return segments;
    }
    for (unsigned int i = 0; i + 1 < n; ++i) {
        segments.push_back({{i, i + 1}});
    }
    if (primitive == kClosedLinePrimitive && n > 2) {
        segments.push_back({{n - 1, 0}});
    }
    return segments;
}

constexpr int kMargin = 8;
constexpr int kGap = 8;
constexpr int kLegendRow = 15;
constexpr int kLegendColumn = 320;

// A number with at most `decimals` decimals and no trailing zeros.
std::string num(double value, int decimals = 2) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    if (text == "-0") {
        text = "0";
    }
    return text;
}

double unit(double v) {
    if (!std::isfinite(v)) {
        return 0.0;
    }
    return std::min(1.0, std::max(0.0, v));
}

std::string hexColor(double r, double g, double b) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<unsigned>(std::lround(unit(r) * 255.0)),
                  static_cast<unsigned>(std::lround(unit(g) * 255.0)),
                  static_cast<unsigned>(std::lround(unit(b) * 255.0)));
    return buffer;
}

std::string hexColor(const MColor& c) {
    return hexColor(c.r, c.g, c.b);
}

std::string opacity(const MColor& c) {
    return num(unit(c.a), 3);
}

std::string escapeXml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                // Control characters are not allowed in XML 1.0 text.
                out += (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') ? '?' : c;
        }
    }
    return out;
}

khost::Vec3 cartesian(const MPoint& p) {
    if (p.w != 0.0 && p.w != 1.0) {
        return {p.x / p.w, p.y / p.w, p.z / p.w};
    }
    return {p.x, p.y, p.z};
}

MColor vertexColor(const khost::DrawCall& call, unsigned int i, const MColor& current) {
    if (call.hasColors && i < call.colors.length()) {
        return call.colors[i];
    }
    return current;
}

// Writes the elements of one view. Positions are in the view's own pixel
// frame with y down.
class ViewWriter {
public:
    ViewWriter(std::ostringstream& out, const ViewPicture& view) : out_(out), view_(view) {}

    void sceneWires() {
        out_ << "<g class=\"kl-scene\" fill=\"none\" stroke-width=\"1\">\n";
        for (const auto& mesh : view_.meshEdges) {
            std::string d;
            for (const Edge& e : mesh) {
                double x0, y0, x1, y1;
                if (toSvg(e[0], x0, y0) && toSvg(e[1], x1, y1)) {
                    d += "M" + num(x0) + " " + num(y0) + "L" + num(x1) + " " + num(y1);
                }
            }
            if (!d.empty()) {
                out_ << "<path class=\"kl-scene-mesh\" stroke=\"#9aa8b8\" stroke-opacity=\"0.3\" d=\"" << d
                     << "\"/>\n";
            }
        }
        for (const auto& wire : view_.curveWires) {
            // A run of projectable points is one polyline; a point that cannot
            // be projected breaks the run.
            std::string points;
            std::size_t run = 0;
            auto flush = [&] {
                if (run >= 2) {
                    out_ << "<polyline class=\"kl-scene-curve\" stroke=\"#c8c8c8\" stroke-opacity=\"0.4\" "
                            "points=\""
                         << points << "\"/>\n";
                }
                points.clear();
                run = 0;
            };
            for (const khost::Vec3& p : wire) {
                double x, y;
                if (toSvg(p, x, y)) {
                    points += (run > 0 ? " " : "") + num(x) + "," + num(y);
                    ++run;
                } else {
                    flush();
                }
            }
            flush();
        }
        out_ << "</g>\n";
    }

    void overlay() {
        out_ << "<g class=\"kl-overlay\" stroke-linecap=\"butt\">\n";
        MColor current(1.0f, 1.0f, 1.0f, 1.0f);
        double lineWidth = 1.0;
        double pointSize = 1.0;
        int lineLists = 0;
        for (const khost::DrawCall& call : view_.calls) {
            switch (call.kind) {
                case khost::DrawCall::SetColor:
                    current = call.color;
                    break;
                case khost::DrawCall::SetLineWidth:
                    lineWidth = call.value;
                    break;
                case khost::DrawCall::SetPointSize:
                    pointSize = call.value;
                    break;
                case khost::DrawCall::Mesh:
                    if (isLinePrimitive(call.primitive)) {
                        lineList(call, lineLists++, lineWidth, current);
                    } else if (call.primitive == kPointsPrimitive) {
                        pointList(call, pointSize, current);
                    }
                    break;
                case khost::DrawCall::Circle2d:
                    circle(call, lineWidth, current);
                    break;
                default:
                    break;
            }
        }
        out_ << "</g>\n";
    }

private:
    bool toSvg(const khost::Vec3& world, double& x, double& y) const {
        double vx = 0.0, vy = 0.0;
        if (!view_.project || !view_.project(world, vx, vy) || !std::isfinite(vx) || !std::isfinite(vy)) {
            return false;
        }
        x = vx;
        y = view_.height - vy;
        return true;
    }

    void lineList(const khost::DrawCall& call, int list, double width, const MColor& current) {
        const std::string cls = "class=\"kl-line-seg\" data-list=\"" + std::to_string(list) + "\"";
        for (const auto& segment : segmentsOf(call.primitive, call.points.length())) {
            const unsigned int i0 = segment[0], i1 = segment[1];
            const MColor c0 = vertexColor(call, i0, current);
            const MColor c1 = vertexColor(call, i1, current);
            double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            const bool visible =
                toSvg(cartesian(call.points[i0]), x0, y0) && toSvg(cartesian(call.points[i1]), x1, y1);
            const std::string hidden = visible ? "" : " visibility=\"hidden\"";
            const std::string w = num(width);
            if (c0 == c1) {
                out_ << "<line " << cls << hidden << " x1=\"" << num(x0) << "\" y1=\"" << num(y0)
                     << "\" x2=\"" << num(x1) << "\" y2=\"" << num(y1) << "\" stroke=\"" << hexColor(c0)
                     << "\" stroke-opacity=\"" << opacity(c0) << "\" stroke-width=\"" << w << "\"/>\n";
                continue;
            }
            // Two vertex colours: each half of the segment takes the colour of
            // its end, as a line with per-vertex colours shows it.
            const double mx = 0.5 * (x0 + x1), my = 0.5 * (y0 + y1);
            out_ << "<g " << cls << hidden << " stroke-width=\"" << w << "\">"
                 << "<line x1=\"" << num(x0) << "\" y1=\"" << num(y0) << "\" x2=\"" << num(mx) << "\" y2=\""
                 << num(my) << "\" stroke=\"" << hexColor(c0) << "\" stroke-opacity=\"" << opacity(c0)
                 << "\"/>"
                 << "<line x1=\"" << num(mx) << "\" y1=\"" << num(my) << "\" x2=\"" << num(x1) << "\" y2=\""
                 << num(y1) << "\" stroke=\"" << hexColor(c1) << "\" stroke-opacity=\"" << opacity(c1)
                 << "\"/></g>\n";
        }
    }

    void pointList(const khost::DrawCall& call, double size, const MColor& current) {
        const unsigned int n = call.points.length();
        for (unsigned int i = 0; i < n; ++i) {
            const MColor c = vertexColor(call, i, current);
            double x = 0, y = 0;
            const bool visible = toSvg(cartesian(call.points[i]), x, y);
            out_ << "<rect class=\"kl-point\"" << (visible ? "" : " visibility=\"hidden\"") << " x=\""
                 << num(x - 0.5 * size) << "\" y=\"" << num(y - 0.5 * size) << "\" width=\"" << num(size)
                 << "\" height=\"" << num(size) << "\" fill=\"" << hexColor(c) << "\" fill-opacity=\""
                 << opacity(c) << "\"/>\n";
        }
    }

    void circle(const khost::DrawCall& call, double width, const MColor& c) {
        // circle2d centres are view pixels already.
        const double x = call.center.x;
        const double y = view_.height - call.center.y;
        out_ << "<circle class=\"kl-marker\" cx=\"" << num(x) << "\" cy=\"" << num(y) << "\" r=\""
             << num(call.radius) << "\"";
        if (call.filled) {
            out_ << " fill=\"" << hexColor(c) << "\" fill-opacity=\"" << opacity(c) << "\" stroke=\"none\"";
        } else {
            out_ << " fill=\"none\" stroke=\"" << hexColor(c) << "\" stroke-opacity=\"" << opacity(c)
                 << "\" stroke-width=\"" << num(width) << "\"";
        }
        out_ << "/>\n";
    }

    std::ostringstream& out_;
    const ViewPicture& view_;
};

std::string countAttributes(const RecordedCounts& c) {
    return " data-points=\"" + std::to_string(c.points) + "\" data-markers=\"" + std::to_string(c.markers) +
           "\" data-line-segments=\"" + std::to_string(c.lineSegments) + "\"";
}

}  // namespace

RecordedCounts countRecorded(const std::vector<khost::DrawCall>& calls) {
    RecordedCounts counts;
    for (const khost::DrawCall& call : calls) {
        if (call.kind == khost::DrawCall::BeginDrawInXray) {
            counts.xray = true;
        } else if (call.kind == khost::DrawCall::Circle2d) {
            ++counts.markers;
        } else if (call.kind == khost::DrawCall::Mesh && call.primitive == kPointsPrimitive) {
            counts.points += call.points.length();
        } else if (call.kind == khost::DrawCall::Mesh && isLinePrimitive(call.primitive)) {
            counts.lineSegments += segmentsOf(call.primitive, call.points.length()).size();
        }
    }
    return counts;
}

std::string describeCounts(const RecordedCounts& c) {
    return std::to_string(c.points) + " points, " + std::to_string(c.markers) + " markers, " +
           std::to_string(c.lineSegments) + " line segments";
}

std::string renderSvg(const Picture& picture) {
    std::vector<RecordedCounts> counts;
    RecordedCounts total;
    int viewsWidth = 0;
    int viewsHeight = 0;
    for (const ViewPicture& view : picture.views) {
        counts.push_back(countRecorded(view.calls));
        total.points += counts.back().points;
        total.markers += counts.back().markers;
        total.lineSegments += counts.back().lineSegments;
        viewsWidth += view.width + (viewsWidth > 0 ? kGap : 0);
        viewsHeight = std::max(viewsHeight, view.height);
    }

    const int width = std::max(viewsWidth, kLegendColumn) + 2 * kMargin;
    const int columns = std::max(1, (width - 2 * kMargin) / kLegendColumn);
    const int settingRows = static_cast<int>((picture.settings.size() + columns - 1) / columns);
    const int headerRows = 1 + static_cast<int>(picture.views.size());
    const int legendTop = kMargin + viewsHeight + kGap;
    const int height = legendTop + (headerRows + settingRows) * kLegendRow + kMargin;

    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"kl-preview\" width=\"" << width
        << "\" height=\"" << height << "\" viewBox=\"0 0 " << width << " " << height << "\" data-scene=\""
        << escapeXml(picture.scene) << "\" data-views=\"" << picture.views.size() << "\""
        << countAttributes(total) << ">\n"
        << "<title>knotlens overlay preview: " << escapeXml(picture.scene) << "</title>\n"
        << "<defs><linearGradient id=\"kl-backdrop\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
        << "<stop offset=\"0\" stop-color=\"#6b7684\"/><stop offset=\"1\" stop-color=\"#2e3238\"/>"
        << "</linearGradient></defs>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#202226\"/>\n";

    int x = kMargin;
    for (std::size_t v = 0; v < picture.views.size(); ++v) {
        const ViewPicture& view = picture.views[v];
        out << "<svg class=\"kl-view\" data-view=\"" << (v + 1) << "\" x=\"" << x << "\" y=\"" << kMargin
            << "\" width=\"" << view.width << "\" height=\"" << view.height << "\" viewBox=\"0 0 "
            << view.width << " " << view.height << "\" data-xray=\"" << (counts[v].xray ? 1 : 0) << "\""
            << countAttributes(counts[v]) << ">\n"
            << "<rect width=\"100%\" height=\"100%\" fill=\"url(#kl-backdrop)\"/>\n";
        ViewWriter writer(out, view);
        writer.sceneWires();
        writer.overlay();
        out << "<text x=\"6\" y=\"14\" font-family=\"monospace\" font-size=\"11\" fill=\"#e8e8e8\">"
            << escapeXml(view.label) << "</text>\n"
            << "</svg>\n";
        x += view.width + kGap;
    }

    out << "<g class=\"kl-legend\" font-family=\"monospace\" font-size=\"11\" fill=\"#d8d8d8\">\n";
    int y = legendTop + 11;
    out << "<text x=\"" << kMargin << "\" y=\"" << y << "\" font-weight=\"bold\">knotlens-preview, scene "
        << escapeXml(picture.scene) << "</text>\n";
    for (std::size_t v = 0; v < picture.views.size(); ++v) {
        y += kLegendRow;
        out << "<text x=\"" << kMargin << "\" y=\"" << y << "\">view " << (v + 1) << ": "
            << escapeXml(describeCounts(counts[v])) << (counts[v].xray ? ", drawn in x-ray" : "")
            << "</text>\n";
    }
    const int settingsTop = y + kLegendRow;
    for (std::size_t i = 0; i < picture.settings.size(); ++i) {
        const LegendEntry& entry = picture.settings[i];
        const int column = static_cast<int>(i) / settingRows;
        const int row = static_cast<int>(i) % settingRows;
        const int ex = kMargin + column * kLegendColumn;
        const int ey = settingsTop + row * kLegendRow;
        int textX = ex;
        if (entry.hasSwatch) {
            out << "<rect x=\"" << ex << "\" y=\"" << (ey - 9) << "\" width=\"9\" height=\"9\" fill=\""
                << hexColor(entry.swatch[0], entry.swatch[1], entry.swatch[2]) << "\" stroke=\"#d8d8d8\"/>";
            textX += 13;
        }
        out << "<text x=\"" << textX << "\" y=\"" << ey << "\">" << escapeXml(entry.text) << "</text>\n";
    }
    out << "</g>\n</svg>\n";
    return out.str();
}

}  // namespace preview
