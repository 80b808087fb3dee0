#pragma once
// Embedded host: base of the message classes; removal of callbacks.
#include <maya/MApiNamespace.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <cstdint>

// The id a callback registration returns (MCallbackIdArray.h repeats it).
typedef std::uintptr_t MCallbackId;

class MMessage {
public:
    typedef void (*MBasicFunction)(void* clientData);

    // Removes an installed callback. A removed callback is never called
    // again, even by an event that is being delivered at the time.
    static MStatus removeCallback(MCallbackId id);
    // Removes every listed callback; fails when one of them was not installed
    // (the others are removed all the same).
    static MStatus removeCallbacks(MCallbackIdArray& ids);
    // The id of the callback being run; fails outside a callback.
    static MCallbackId currentCallbackId(MStatus* ReturnStatus = nullptr);
    static MStatus nodeCallbacks(MObject& node, MCallbackIdArray& ids);
};
