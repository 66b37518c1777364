#pragma once
// Callbacks on named host events ("SelectionChanged", "SelectTypeChanged", ...).
#include <maya/MMessage.h>

class MStringArray;

class MEventMessage : public MMessage {
public:
    static MCallbackId addEventCallback(const MString& event, MMessage::MBasicFunction func,
                                        void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static void getEventNames(MStringArray& names);
};
