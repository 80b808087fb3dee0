// The registry of draw override creators by draw classification
// (MDrawRegistry); pairing plug-in nodes with the registered creators, and
// making and releasing the overrides and their draw data records on the
// host's behalf.
#include <maya/MDrawRegistry.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxNode.h>
#include <maya/MUserData.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frame_state.h"
#include "model.h"
#include "plugin_registry.h"
#include "test_hooks.h"

namespace khost {
namespace detail {
namespace {

// A registered classification pairs with a node's classification when the
// two are equal or the registered one is a leading part that ends at a '/'.
bool classificationMatches(const std::string& registered, const std::string& nodeClass) {
    if (registered.empty() || nodeClass.compare(0, registered.size(), registered) != 0) {
        return false;
    }
    return nodeClass.size() == registered.size() || registered.back() == '/' ||
           nodeClass[registered.size()] == '/';
}

}  // namespace

FrameState& frameState() {
    static FrameState* state = new FrameState();
    return *state;
}

const OverrideRegistration* findRegistration(const NodeType& type) {
    const OverrideRegistration* best = nullptr;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = type.classification.find(':', start);
        const std::string part = type.classification.substr(start, end - start);
        for (const OverrideRegistration& r : pluginRegistry().overrides) {
            if (classificationMatches(r.classification, part) &&
                (!best || r.classification.size() > best->classification.size())) {
                best = &r;
            }
        }
    }
    return best;
}

void releaseOverride(const Node& node) {
    FrameState& state = frameState();
    const auto it = state.slots.find(&node);
    if (it == state.slots.end()) {
        return;
    }
    FrameSlot slot = std::move(it->second);
    state.slots.erase(it);
    if (slot.override) {
        delete slot.override;
        ++hostCounters().overridesDeleted;
    }
    for (MUserData* record : slot.records) {
        if (record) {
            delete record;
            ++hostCounters().recordsDeleted;
        }
    }
}

void destroyPluginNode(Node& node) {
    releaseOverride(node);
    if (node.kind != NodeKind::PluginShape) {
        return;
    }
    if (MPxNode* user = node.plugin().user) {
        // The object stays linked to its node while its destructor runs.
        node.plugin().user = nullptr;
        delete user;
    }
}

void releaseModuleOverrides(const PluginModule& module) {
    std::vector<const Node*> doomed;
    for (const auto& entry : frameState().slots) {
        if (entry.second.owner == &module) {
            doomed.push_back(entry.first);
        }
    }
    for (const Node* n : doomed) {
        releaseOverride(*n);
    }
}

void markDrawDirty(const Node& node) {
    auto& slots = frameState().slots;
    const auto it = slots.find(&node);
    if (it != slots.end()) {
        std::fill(it->second.current.begin(), it->second.current.end(), false);
    }
}

}  // namespace detail
}  // namespace khost

// ---------------------------------------------------------------- MDrawRegistry
namespace kd = khost::detail;

namespace MHWRender {

MStatus MDrawRegistry::registerDrawOverrideCreator(const MString& drawClassification,
                                                   const MString& registrantId, DrawOverrideCreator creator) {
    const std::string classification = drawClassification.asChar();
    const std::string registrant = registrantId.asChar();
    const std::string entry = "registerDrawOverrideCreator " + classification;
    const MStatus::MStatusCode injected = kd::takeInjectedFailure(kd::RegistrationStep::RegisterDrawOverride);
    if (injected != MStatus::kSuccess) {
        return kd::logRegistration(entry, injected);
    }
    if (classification.empty() || registrant.empty() || !creator) {
        return kd::logRegistration(entry, MStatus::kInvalidParameter);
    }
    auto& overrides = kd::pluginRegistry().overrides;
    if (std::any_of(overrides.begin(), overrides.end(), [&](const kd::OverrideRegistration& r) {
            return r.classification == classification && r.registrantId == registrant;
        })) {
        return kd::logRegistration(entry, MStatus::kFailure);
    }
    overrides.push_back(kd::OverrideRegistration{classification, registrant, creator, kd::currentModule()});
    return kd::logRegistration(entry, MStatus::kSuccess);
}

MStatus MDrawRegistry::deregisterDrawOverrideCreator(const MString& drawClassification,
                                                     const MString& registrantId) {
    const std::string classification = drawClassification.asChar();
    const std::string registrant = registrantId.asChar();
    const std::string entry = "deregisterDrawOverrideCreator " + classification;
    const MStatus::MStatusCode injected =
        kd::takeInjectedFailure(kd::RegistrationStep::DeregisterDrawOverride);
    if (injected != MStatus::kSuccess) {
        return kd::logRegistration(entry, injected);
    }
    auto& overrides = kd::pluginRegistry().overrides;
    const auto it = std::find_if(overrides.begin(), overrides.end(), [&](const kd::OverrideRegistration& r) {
        return r.classification == classification && r.registrantId == registrant;
    });
    if (it == overrides.end()) {
        return kd::logRegistration(entry, MStatus::kInvalidParameter);
    }
    overrides.erase(it);
    return kd::logRegistration(entry, MStatus::kSuccess);
}

}  // namespace MHWRender
