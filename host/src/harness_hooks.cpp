// Scene harness: the test hooks (counters, injected registration failures,
// the registration and UI procedure logs, batch mode, forced display
// statuses) and the console capture.
#include <khost/harness.h>

#include <iostream>

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
void failNext(HostStep step, MStatus::MStatusCode code) {
    testHooks().failNext[step] = code;
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

// ---------------------------------------------------------------- console
ConsoleCapture::ConsoleCapture()
    : oldOut_((std::cout.flush(), std::cout.rdbuf(out_.rdbuf()))),
      oldErr_((std::cerr.flush(), std::cerr.rdbuf(err_.rdbuf()))) {}

ConsoleCapture::~ConsoleCapture() {
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
}

std::string ConsoleCapture::out() const {
    return out_.str();
}

std::string ConsoleCapture::err() const {
    return err_.str();
}

}  // namespace khost
