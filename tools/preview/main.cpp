// knotlens-preview: loads the knotlens plug-in module into the embedded host
// the way the host loads any plug-in, builds a scene, creates a draw manager
// node, applies settings, draws one frame in one or two model views and
// writes what the overlay drew as an SVG picture.
#include "options.h"
#include "scenes.h"
#include "svg_writer.h"

#include <khost/harness.h>
#include <maya/MDagPath.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <utility>

#ifndef KNOTLENS_DEFAULT_MODULE
#define KNOTLENS_DEFAULT_MODULE "knotlens.so"
#endif

namespace {

using preview::Options;
using preview::UsageError;

constexpr const char* kProgram = "knotlens-preview";
constexpr const char* kNodeType = "QVTK_Tessark_DrawManagerNode";
constexpr int kExitFailure = 1;  // the module, the host or the output file failed
constexpr int kExitUsage = 2;    // bad input

// Curve wireframes are sampled this many times per span.
constexpr int kWireSamplesPerSpan = 16;

// A failure that is not the user's input.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string usage() {
    std::string text =
        "Usage: knotlens-preview [options]\n"
        "\n"
        "Loads the knotlens plug-in module into the embedded host, builds a scene,\n"
        "creates a draw manager node, draws one frame and writes what the overlay\n"
        "drew as an SVG picture.\n"
        "\n"
        "Options:\n"
        "  --scene NAME            scene to build (default: demo)\n"
        "  --set ATTR=VALUE        set a node attribute by long or short name; repeatable.\n"
        "                          Booleans take 0, 1, true or false, colours r,g,b,\n"
        "                          strings are taken as they are\n"
        "  --camera EX,EY,EZ[:TX,TY,TZ]\n"
        "                          camera eye and target (default: the scene's own view;\n"
        "                          without a target the camera looks at the scene's)\n"
        "  --size WxH              size of each view in pixels (default: 640x480)\n"
        "  --views N               1 or 2; the second view shows the same frame from a\n"
        "                          camera turned 90 degrees around the target\n"
        "  --output FILE           picture to write (default: knotlens-preview.svg)\n"
        "  --module PATH           plug-in module to load (default: " KNOTLENS_DEFAULT_MODULE
        ")\n"
        "  --help                  show this text\n"
        "\n"
        "Scenes:\n";
    for (const preview::SceneInfo& scene : preview::sceneCatalog()) {
        std::string name = scene.name;
        name.resize(8, ' ');
        text += "  " + name + scene.summary + "\n";
    }
    text +=
        "\n"
        "Exit status: 0 when the picture was written, 1 when the module, the host\n"
        "or the output file failed, 2 on bad input.\n";
    return text;
}

std::string sceneNames() {
    std::string names;
    for (const preview::SceneInfo& scene : preview::sceneCatalog()) {
        names += (names.empty() ? "" : ", ") + std::string(scene.name);
    }
    return names;
}

std::string formatNumber(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

std::string formatTriple(const std::array<double, 3>& v) {
    return formatNumber(v[0]) + "," + formatNumber(v[1]) + "," + formatNumber(v[2]);
}

// ---------------------------------------------------------------- host session

// Keeps the host tidy: when the run ends, every node is deleted (so the
// plug-in prints nothing after the program's own output) and the module is
// unloaded.
class HostSession {
public:
    HostSession() = default;
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;
    ~HostSession() {
        if (!pluginName_.empty()) {
            khost::newScene();
            khost::unloadPlugin(pluginName_);
        }
    }

    void load(const std::string& path) {
        std::string reason;
        if (!khost::loadPlugin(path, &reason)) {
            throw RuntimeError("cannot load module '" + path + "': " + (reason.empty() ? "refused" : reason));
        }
        // The host names a plug-in after its file's stem.
        pluginName_ = std::filesystem::path(path).stem().string();
    }

private:
    std::string pluginName_;
};

// ---------------------------------------------------------------- settings

// MFnNumericData::Type and MFnData::Type codes of the attribute kinds that
// can be set from the command line.
enum NumericKind {
    kBoolean = 1,
    kByte = 2,
    kChar = 3,
    kShort = 4,
    kInt = 7,
    kInt64 = 10,
    kFloat = 11,
    kDouble = 14
};
constexpr int kStringData = 4;

bool isIntegerKind(int type) {
    return type == kByte || type == kChar || type == kShort || type == kInt || type == kInt64;
}

const khost::AttributeInfo* findAttribute(const std::vector<khost::AttributeInfo>& attributes,
                                          const std::string& name) {
    for (const khost::AttributeInfo& info : attributes) {
        if (info.longName == name || info.shortName == name) {
            return &info;
        }
    }
    return nullptr;
}

bool isNodeState(const std::string& name) {
    return name == "nodeState" || name == "nds";
}

void applySetting(const std::string& node, const std::vector<khost::AttributeInfo>& attributes,
                  const preview::Setting& setting) {
    const std::string& value = setting.value;
    const khost::AttributeInfo* info = findAttribute(attributes, setting.attribute);
    bool stored = false;
    if (info == nullptr) {
        if (!isNodeState(setting.attribute)) {
            throw UsageError("unknown attribute '" + setting.attribute + "' on " + kNodeType);
        }
        long long state = 0;
        if (!preview::parseInteger(value, state)) {
            throw UsageError("attribute 'nodeState' takes a whole number, not '" + value + "'");
        }
        stored = khost::setAttr(node, "nodeState", static_cast<double>(state));
    } else if (info->typed) {
        if (info->dataType != kStringData) {
            throw UsageError("attribute '" + info->longName + "' is of a kind this program cannot set");
        }
        stored = khost::setAttrString(node, info->longName, value);
    } else if (info->components == 3) {
        preview::Triple triple{};
        if (!preview::parseTriple(value, triple)) {
            throw UsageError("attribute '" + info->longName + "' takes three numbers r,g,b, not '" + value +
                             "'");
        }
        stored = khost::setAttr(node, info->longName, triple[0], triple[1], triple[2]);
    } else if (info->components != 1) {
        throw UsageError("attribute '" + info->longName + "' is of a kind this program cannot set");
    } else if (info->numericType == kBoolean) {
        bool flag = false;
        if (!preview::parseBool(value, flag)) {
            throw UsageError("attribute '" + info->longName + "' takes 0, 1, true or false, not '" + value +
                             "'");
        }
        stored = khost::setAttr(node, info->longName, flag ? 1.0 : 0.0);
    } else if (isIntegerKind(info->numericType)) {
        long long number = 0;
        if (!preview::parseInteger(value, number)) {
            throw UsageError("attribute '" + info->longName + "' takes a whole number, not '" + value + "'");
        }
        stored = khost::setAttr(node, info->longName, static_cast<double>(number));
    } else if (info->numericType == kFloat || info->numericType == kDouble) {
        double number = 0.0;
        if (!preview::parseDouble(value, number)) {
            throw UsageError("attribute '" + info->longName + "' takes a number, not '" + value + "'");
        }
        stored = khost::setAttr(node, info->longName, number);
    } else {
        throw UsageError("attribute '" + info->longName + "' is of a kind this program cannot set");
    }
    if (!stored) {
        throw UsageError("the host refused '" + value + "' for attribute '" + setting.attribute + "'");
    }
}

// The node's attribute values as the legend shows them, read back from the
// host (so a value the host clamped shows as clamped).
std::vector<preview::LegendEntry> legendFor(const std::string& node,
                                            const std::vector<khost::AttributeInfo>& attributes) {
    std::vector<preview::LegendEntry> entries;
    for (const khost::AttributeInfo& info : attributes) {
        preview::LegendEntry entry;
        std::string value;
        if (info.typed) {
            value = khost::attrStringIsNull(node, info.longName)
                        ? "(none)"
                        : "\"" + khost::getAttrString(node, info.longName) + "\"";
        } else if (info.components == 3) {
            entry.swatch = khost::getAttr3(node, info.longName);
            entry.hasSwatch = info.usedAsColor;
            value = formatTriple(entry.swatch);
        } else if (info.numericType == kBoolean) {
            value = khost::getAttr(node, info.longName) != 0.0 ? "true" : "false";
        } else {
            value = formatNumber(khost::getAttr(node, info.longName));
        }
        entry.text = info.longName + " (" + info.shortName + ") = " + value;
        entries.push_back(entry);
    }
    entries.push_back({"nodeState (nds) = " + formatNumber(khost::getAttr(node, "nodeState")), false, {}});
    return entries;
}

// ---------------------------------------------------------------- scene geometry

std::vector<khost::Vec3> curveWire(const std::string& curve) {
    std::vector<khost::Vec3> wire;
    MFnNurbsCurve fn(khost::dagPath(curve));
    double start = 0.0, end = 0.0;
    if (!fn.getKnotDomain(start, end) || !(end > start)) {
        return wire;
    }
    const int steps = std::max(1, fn.numSpans()) * kWireSamplesPerSpan;
    for (int i = 0; i <= steps; ++i) {
        const double t = (i == steps) ? end : start + (end - start) * i / steps;
        MPoint p;
        if (fn.getPointAtParam(t, p, MSpace::kWorld)) {
            wire.push_back({p.x, p.y, p.z});
        }
    }
    return wire;
}

std::vector<preview::Edge> meshWire(const preview::SceneMesh& mesh) {
    const MMatrix world = khost::dagPath(mesh.name).inclusiveMatrix();
    std::vector<khost::Vec3> vertices;
    for (const khost::Vec3& v : mesh.desc.vertices) {
        const MPoint p = MPoint(v[0], v[1], v[2]) * world;
        vertices.push_back({p.x, p.y, p.z});
    }
    std::set<std::pair<int, int>> seen;
    std::vector<preview::Edge> edges;
    const int count = static_cast<int>(vertices.size());
    for (const std::vector<int>& face : mesh.desc.faces) {
        for (std::size_t i = 0; i < face.size(); ++i) {
            const int a = face[i];
            const int b = face[(i + 1) % face.size()];
            if (a < 0 || b < 0 || a >= count || b >= count || a == b) {
                continue;
            }
            if (seen.insert({std::min(a, b), std::max(a, b)}).second) {
                edges.push_back({vertices[a], vertices[b]});
            }
        }
    }
    return edges;
}

// ---------------------------------------------------------------- cameras

khost::Vec3 orbitQuarterTurn(const khost::Vec3& eye, const khost::Vec3& target) {
    const double dx = eye[0] - target[0], dy = eye[1] - target[1], dz = eye[2] - target[2];
    const double horizontal = std::hypot(dx, dz);
    if (horizontal > 1e-6 * std::hypot(horizontal, dy)) {
        // A quarter turn around the vertical axis through the target.
        return {target[0] + dz, eye[1], target[2] - dx};
    }
    // Looking straight down or up: tilt to the side instead.
    return {target[0], target[1], target[2] + dy};
}

std::string cameraLabel(int index, const khost::Vec3& eye, const khost::Vec3& target) {
    return "view " + std::to_string(index) + (index == 1 ? " (active)" : "") + "  eye " + formatTriple(eye) +
           "  target " + formatTriple(target);
}

// ---------------------------------------------------------------- the run

struct Outcome {
    std::string output;
    preview::RecordedCounts counts;
};

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
        throw RuntimeError("cannot write '" + path + "': " + std::strerror(errno));
    }
    file << text;
    file.close();
    if (!file) {
        std::remove(path.c_str());
        throw RuntimeError("cannot write '" + path + "': the write failed");
    }
}

Outcome run(const Options& options) {
    // The plug-in's console lines (node creation and the like) are not the
    // program's output.
    khost::ConsoleCapture console;
    HostSession session;

    session.load(options.module.empty() ? std::string(KNOTLENS_DEFAULT_MODULE) : options.module);
    khost::newScene();

    std::string reason;
    const std::string node = khost::createNode(kNodeType, "", &reason);
    if (node.empty()) {
        throw RuntimeError(std::string("the module does not provide node type ") + kNodeType +
                           (reason.empty() ? "" : ": " + reason));
    }

    preview::BuiltScene scene;
    if (!preview::buildScene(options.scene, node, scene, reason)) {
        throw RuntimeError("cannot build scene '" + options.scene + "': " + reason);
    }

    const std::vector<khost::AttributeInfo> attributes = khost::listAttributes(node);
    for (const preview::Setting& setting : options.settings) {
        applySetting(node, attributes, setting);
    }

    khost::Vec3 eye = scene.eye;
    khost::Vec3 target = scene.target;
    if (options.camera.given) {
        eye = options.camera.eye;
        if (options.camera.hasTarget) {
            target = options.camera.target;
        }
    }
    if (std::hypot(eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]) < 1e-9) {
        throw UsageError("the camera eye " + formatTriple(eye) + " lies on its target");
    }

    std::vector<std::pair<khost::Vec3, int>> views;  // eye, view index
    const std::string camera = khost::createCamera(eye, target, 54.43, "previewCamera");
    views.push_back({eye, khost::addView(camera, options.width, options.height)});
    if (options.views == 2) {
        const khost::Vec3 eye2 = orbitQuarterTurn(eye, target);
        const std::string camera2 = khost::createCamera(eye2, target, 54.43, "previewCamera2");
        views.push_back({eye2, khost::addView(camera2, options.width, options.height)});
    }
    // The first view is the one the user works in.
    khost::setActiveView(views.front().second);
    khost::drawFrame();

    std::vector<std::vector<khost::Vec3>> curveWires;
    for (const std::string& curve : scene.curves) {
        curveWires.push_back(curveWire(curve));
    }
    std::vector<std::vector<preview::Edge>> meshEdges;
    for (const preview::SceneMesh& mesh : scene.meshes) {
        meshEdges.push_back(meshWire(mesh));
    }

    preview::Picture picture;
    picture.scene = options.scene;
    picture.settings = legendFor(node, attributes);
    Outcome outcome;
    outcome.output = options.output;
    for (std::size_t i = 0; i < views.size(); ++i) {
        const int viewIndex = views[i].second;
        preview::ViewPicture view;
        view.width = options.width;
        view.height = options.height;
        view.label = cameraLabel(static_cast<int>(i) + 1, views[i].first, target);
        view.project = [viewIndex](const khost::Vec3& world, double& x, double& y) {
            return khost::projectToView(viewIndex, world, x, y);
        };
        view.curveWires = curveWires;
        view.meshEdges = meshEdges;
        view.calls = khost::drawCalls(viewIndex, node);
        const preview::RecordedCounts counts = preview::countRecorded(view.calls);
        outcome.counts.points += counts.points;
        outcome.counts.markers += counts.markers;
        outcome.counts.lineSegments += counts.lineSegments;
        picture.views.push_back(std::move(view));
    }

    writeFile(options.output, preview::renderSvg(picture));
    return outcome;
}

int fail(int code, const std::string& message) {
    std::cerr << kProgram << ": error: " << message << std::endl;
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    try {
        options = preview::parseOptions(args);
    } catch (const UsageError& error) {
        return fail(kExitUsage, error.what());
    }
    if (options.help) {
        std::cout << usage();
        return 0;
    }
    if (!preview::sceneExists(options.scene)) {
        return fail(kExitUsage, "unknown scene '" + options.scene + "' (known: " + sceneNames() + ")");
    }
    try {
        const Outcome outcome = run(options);
        std::cout << kProgram << ": wrote " << outcome.output << " ("
                  << preview::describeCounts(outcome.counts) << ")" << std::endl;
        return 0;
    } catch (const UsageError& error) {
        return fail(kExitUsage, error.what());
    } catch (const std::exception& error) {
        return fail(kExitFailure, error.what());
    }
}
