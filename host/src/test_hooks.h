#pragma once
// What the embedded host lets tests observe and steer that the real host
// does not: counts of the work it does for the plug-in, failures injected
// into registration steps, the log of registration calls, the UI procedures
// it would run, and display statuses forced on nodes. The host's parts write
// here; the harness reads and resets it (harness_hooks.cpp). Not installed.
#include <khost/test_hooks.h>
#include <maya/MStatus.h>

#include <map>
#include <string>
#include <vector>

#include "host_access.h"

namespace khost {
namespace detail {

// The registration steps a failure can be injected into.
using RegistrationStep = ::khost::HostStep;

struct TestHooks {
    ::khost::Counters counters;
    // The failure the next call of a step returns (once), without changing
    // any registration.
    std::map<RegistrationStep, MStatus::MStatusCode> failNext;
    // "registerNode <type>", ... in call order; failed ones end with " failed".
    std::vector<std::string> registrationLog;
    // The host runs no scripts: it records the UI procedures it would run,
    // the batch ones in batch mode. Both outlive a new scene.
    bool batchMode = false;
    std::vector<std::string> uiProcedureLog;
    // Display statuses forced on nodes (a shape without one of its own takes
    // its transform's); a node's entry goes with the node, all go with the
    // scene.
    std::map<const Node*, int> displayStatusOverrides;
};

// One per process, never destroyed (like the scene).
TestHooks& testHooks();
inline ::khost::Counters& hostCounters() {
    return testHooks().counters;
}

// Takes the failure injected for `step`: kSuccess when there is none.
MStatus::MStatusCode takeInjectedFailure(RegistrationStep step);
// Logs a registration call with its outcome and returns the outcome.
MStatus logRegistration(const std::string& entry, MStatus status);

}  // namespace detail
}  // namespace khost
