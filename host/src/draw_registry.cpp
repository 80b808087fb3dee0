// The draw override registry: creators of draw overrides by draw
// classification.
#include <maya/MDrawRegistry.h>

#include <algorithm>
#include <string>

#include "plugin_registry.h"
#include "test_hooks.h"

using khost::detail::logRegistration;
using khost::detail::OverrideRegistration;
using khost::detail::PluginRegistry;
using khost::detail::pluginRegistry;
using khost::detail::RegistrationStep;
using khost::detail::takeInjectedFailure;

// ---------------------------------------------------------------- MDrawRegistry
namespace MHWRender {

MStatus MDrawRegistry::registerDrawOverrideCreator(const MString& drawClassification,
                                                   const MString& registrantId, DrawOverrideCreator creator) {
    PluginRegistry& registry = pluginRegistry();
    const std::string classification = drawClassification.asChar();
    const std::string registrant = registrantId.asChar();
    const std::string entry = "registerDrawOverrideCreator " + classification;
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::RegisterDrawOverride);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    if (classification.empty() || registrant.empty() || !creator) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    for (const OverrideRegistration& r : registry.overrides) {
        if (r.classification == classification && r.registrantId == registrant) {
            return logRegistration(entry, MStatus::kFailure);
        }
    }
    OverrideRegistration r;
    r.classification = classification;
    r.registrantId = registrant;
    r.creator = creator;
    r.owner = khost::detail::currentModule();
    registry.overrides.push_back(r);
    return logRegistration(entry, MStatus::kSuccess);
}

MStatus MDrawRegistry::deregisterDrawOverrideCreator(const MString& drawClassification,
                                                     const MString& registrantId) {
    PluginRegistry& registry = pluginRegistry();
    const std::string classification = drawClassification.asChar();
    const std::string registrant = registrantId.asChar();
    const std::string entry = "deregisterDrawOverrideCreator " + classification;
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::DeregisterDrawOverride);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    auto& overrides = registry.overrides;
    const auto it = std::find_if(overrides.begin(), overrides.end(), [&](const OverrideRegistration& r) {
        return r.classification == classification && r.registrantId == registrant;
    });
    if (it == overrides.end()) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    overrides.erase(it);
    return logRegistration(entry, MStatus::kSuccess);
}

}  // namespace MHWRender
