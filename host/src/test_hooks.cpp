// The state tests observe and steer the host through (test_hooks.h).
#include "test_hooks.h"

namespace khost {
namespace detail {

TestHooks& testHooks() {
    // Never destroyed: plug-in code may still count work while the process
    // exits.
    static TestHooks* hooks = new TestHooks();
    return *hooks;
}

MStatus::MStatusCode takeInjectedFailure(RegistrationStep step) {
    auto& pending = testHooks().failNext;
    const auto it = pending.find(step);
    if (it == pending.end()) {
        return MStatus::kSuccess;
    }
    const MStatus::MStatusCode code = it->second;
    pending.erase(it);
    return code;
}

MStatus logRegistration(const std::string& entry, MStatus status) {
    testHooks().registrationLog.push_back(status ? entry : entry + " failed");
    return status;
}

}  // namespace detail
}  // namespace khost
