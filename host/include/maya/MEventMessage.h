#pragma once
// Embedded host: callbacks on named host events such as "SelectionChanged".
#include <maya/MApiNamespace.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MMessage.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

class MEventMessage : public MMessage {
public:
    // Installs `func` for the event; an unknown event name fails and returns 0.
    static MCallbackId addEventCallback(const MString& event, MMessage::MBasicFunction func,
                                        void* clientData = nullptr, MStatus* ReturnStatus = nullptr);
    static MStatus getEventNames(MStringArray& names);
};
