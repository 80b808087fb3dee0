#pragma once
// Shared internals of the node, attribute, plug-in and draw parts of the
// embedded host. Not installed.
#include "draw_recording.h"
#include "model.h"

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace MHWRender {
class MFrameContext;
class MUIDrawManager;
}  // namespace MHWRender

namespace khost {
namespace detail {

// ---------------------------------------------------------------- numeric values
// Number of values an MFnNumericData::Type holds; 0 for kInvalid, kLast and
// the kinds the embedded host cannot store (k4Double, kAddr).
int numericComponents(int numericType);
// Converts a value to what an attribute of that type holds: 0/1 for
// booleans, rounded integers saturated to the type's range, float precision
// for float kinds.
double storeNumeric(int numericType, double value);

// Saturating conversion of a stored value to an integer getter's type
// (NaN gives 0).
template <class I>
I saturateCast(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double lo = static_cast<double>(std::numeric_limits<I>::lowest());
    const double hi = static_cast<double>(std::numeric_limits<I>::max());
    if (value <= lo) {
        return std::numeric_limits<I>::lowest();
    }
    if (value >= hi) {
        return std::numeric_limits<I>::max();
    }
    return static_cast<I>(value);
}

// ---------------------------------------------------------------- attributes
// The built-in node state attribute ("nodeState", "nds", enum 0..5).
const AttrDef& stateAttribute();
// A built-in attribute by long or short name, or null.
const AttrDef* findBuiltinAttribute(const std::string& name);
// A plug-in attribute of a node type by long or short name, or null.
const AttrDef* findTypeAttribute(const NodeType& type, const std::string& name);
// True when `attr` is the attribute in slot attr.index of `type`.
inline bool typeOwnsAttribute(const NodeType& type, const AttrDef& attr) {
    return attr.index >= 0 && static_cast<std::size_t>(attr.index) < type.attributes.size() &&
           type.attributes[static_cast<std::size_t>(attr.index)].get() == &attr;
}

// ---------------------------------------------------------------- plug-ins
// The module whose initializePlugin or uninitializePlugin is running (null
// outside them); registrations made meanwhile belong to it.
PluginModule*& currentModule();
// The shared_ptr that owns a module, for MObject handles.
std::shared_ptr<PluginModule> modulePtr(PluginModule* module);
// Drops every registration a module still holds (after a failed initialize
// or an uninitialize that left some behind).
void dropRegistrations(PluginModule& module);

// ---------------------------------------------------------------- drawing
// Deletes the draw overrides (and their records) that a module's creators
// made, before the module is closed.
void releaseModuleOverrides(const PluginModule& module);
// Asks the frame driver to call prepareForDraw again for a node whose
// override is not always dirty (the host does so when a node changes).
void markDrawDirty(const Node& node);

// Constructs and destroys the host-owned draw manager of a frame.
struct FrameDriver {
    static void drawFrame();
    static void prepareFrame();
    static void drawPreparedFrame();
    static void destroy(Node& node);
    // Host-private state the frame's steps read.
    static bool alwaysDirty(const MHWRender::MPxDrawOverride& override);
    static bool deleteAfterUse(const MUserData& record);
    // addUIDrawables through a draw manager that records into `calls`,
    // which then hold exactly the calls it made.
    static void addUIDrawables(MHWRender::MPxDrawOverride& override, const MDagPath& path,
                               std::vector<::khost::DrawCall>& calls, const MHWRender::MFrameContext& context,
                               const MUserData* record);
    // A draw manager recording into `calls`, handed to `run` with `context`.
    static void recordCalls(
        std::vector<::khost::DrawCall>& calls, const MHWRender::MFrameContext& context,
        const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& run);
};

}  // namespace detail
}  // namespace khost
