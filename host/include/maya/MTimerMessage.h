#pragma once
// Callbacks called repeatedly with a fixed period between calls.
//
// The host runs them from its clock between events, on the main thread: each callback is called once for
// every period that has elapsed since its previous call, in the order the calls fall due.
#include <maya/MMessage.h>

class MTimerMessage : public MMessage {
public:
    // `period` is in seconds and must be positive (kInvalidParameter otherwise, and the id is 0).
    static MCallbackId addTimerCallback(float period, MMessage::MElapsedTimeFunction func,
                                        void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static const char* className();
};
