// Scene harness: the test hooks (counters, injected registration failures,
// the registration and UI procedure logs, batch mode, forced display
// statuses).
#include <khost/harness.h>

#include "model.h"
#include "test_hooks.h"

namespace khost {

using detail::testHooks;

// ---------------------------------------------------------------- counters
Counters& counters() {
    return testHooks().counters;
}

void resetCounters() {
    testHooks().counters = Counters();
}

// ---------------------------------------------------------------- registration
namespace {

detail::RegistrationStep stepOf(HostStep step) {
    switch (step) {
        case HostStep::RegisterNode:
            return detail::RegistrationStep::RegisterNode;
        case HostStep::DeregisterNode:
            return detail::RegistrationStep::DeregisterNode;
        case HostStep::RegisterDrawOverride:
            return detail::RegistrationStep::RegisterDrawOverride;
        case HostStep::DeregisterDrawOverride:
            return detail::RegistrationStep::DeregisterDrawOverride;
        case HostStep::RegisterUI:
            break;
    }
    return detail::RegistrationStep::RegisterUI;
}

}  // namespace

void failNext(HostStep step, MStatus::MStatusCode code) {
    testHooks().failNext[stepOf(step)] = code;
}

const std::vector<std::string>& registrationLog() {
    return testHooks().registrationLog;
}

void clearRegistrationLog() {
    testHooks().registrationLog.clear();
}

// ---------------------------------------------------------------- UI procedures
void setBatchMode(bool batch) {
    testHooks().batchMode = batch;
}

const std::vector<std::string>& uiProcedureLog() {
    return testHooks().uiProcedureLog;
}

void clearUiProcedureLog() {
    testHooks().uiProcedureLog.clear();
}

// ---------------------------------------------------------------- display status
void setDisplayStatusOverride(const std::string& name, int status) {
    if (detail::Node* n = detail::findNode(name)) {
        testHooks().displayStatusOverrides[n] = status;
    }
}

void clearDisplayStatusOverrides() {
    testHooks().displayStatusOverrides.clear();
}

}  // namespace khost
