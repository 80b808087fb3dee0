// Host events: MMessage, MEventMessage and their delivery.
#include <maya/MEventMessage.h>
#include <maya/MMessage.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "model.h"
#include "test_hooks.h"
#include "ui_state.h"

namespace khost {
namespace detail {

namespace {

// Event names the host announces. The embedded host raises
// "SelectionChanged", "NewSceneOpened" and "ActiveViewChanged"; callbacks
// for the others can be installed but never run.
const char* const kEventNames[] = {
    "SelectionChanged",
    "ActiveViewChanged",
    "NewSceneOpened",
    "SceneOpened",
    "SceneSaved",
    "PostSceneRead",
    "DagObjectCreated",
    "deleteAll",
    "idle",
    "timeChanged",
    "Undo",
    "Redo",
    "ToolChanged",
    "playbackRangeChanged",
    "modelEditorChanged",
    "linearUnitChanged",
    "quitApplication",
};

bool knownEvent(const std::string& name) {
    return std::any_of(std::begin(kEventNames), std::end(kEventNames),
                       [&](const char* known) { return name == known; });
}

}  // namespace

CallbackRegistry& callbackRegistry() {
    static CallbackRegistry* registry = new CallbackRegistry();
    return *registry;
}

void fireEvent(const std::string& event) {
    CallbackRegistry& s = callbackRegistry();
    if (event == "SelectionChanged") {
        ++hostCounters().selectionChangedEvents;
    }
    // Callbacks installed while the event is delivered wait for the next one;
    // callbacks removed meanwhile are skipped.
    std::vector<uintptr_t> ids;
    for (const auto& entry : s.callbacks) {
        if (entry.second.event == event) {
            ids.push_back(entry.first);
        }
    }
    for (uintptr_t id : ids) {
        auto it = s.callbacks.find(id);
        if (it == s.callbacks.end()) {
            continue;
        }
        const Callback cb = it->second;
        s.running.push_back(id);
        cb.fn(cb.clientData);
        s.running.pop_back();
    }
}

}  // namespace detail
}  // namespace khost

namespace kd = khost::detail;

MStatus MMessage::removeCallback(MCallbackId id) {
    auto& callbacks = kd::callbackRegistry().callbacks;
    return callbacks.erase(id) != 0 ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MMessage::removeCallbacks(MCallbackIdArray& ids) {
    MStatus result;
    for (unsigned int i = 0; i < ids.length(); ++i) {
        if (!removeCallback(ids[i])) {
            result = MStatus::kFailure;
        }
    }
    return result;
}

MCallbackId MMessage::currentCallbackId(MStatus* ReturnStatus) {
    const auto& ids = kd::callbackRegistry().running;
    kd::setStatus(ReturnStatus, ids.empty() ? MStatus::kFailure : MStatus::kSuccess);
    return ids.empty() ? 0 : ids.back();
}

MStatus MMessage::nodeCallbacks(MObject& node, MCallbackIdArray& ids) {
    // The embedded host has no node messages: no callback is tied to a node.
    ids.clear();
    return node.isNull() ? MStatus::kInvalidParameter : MStatus::kSuccess;
}

MCallbackId MEventMessage::addEventCallback(const MString& event, MMessage::MBasicFunction func,
                                            void* clientData, MStatus* ReturnStatus) {
    const std::string name = event.asChar();
    if (func == nullptr || !kd::knownEvent(name)) {
        kd::setStatus(ReturnStatus, func == nullptr ? MStatus::kInvalidParameter : MStatus::kFailure);
        return 0;
    }
    kd::CallbackRegistry& s = kd::callbackRegistry();
    const uintptr_t id = s.nextId++;
    s.callbacks[id] = kd::Callback{name, func, clientData};
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return id;
}

MStatus MEventMessage::getEventNames(MStringArray& names) {
    names.clear();
    for (const char* name : kd::kEventNames) {
        names.append(MString(name));
    }
    return MStatus::kSuccess;
}
