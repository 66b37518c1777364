#pragma once
// Callbacks on the dependency graph as a whole: nodes added and removed, connections made and broken.
#include <maya/MMessage.h>
#include <maya/MString.h>

class MDGMessage : public MMessage {
public:
    static MCallbackId addNodeAddedCallback(MMessage::MNodeFunction func,
                                            const MString& nodeType = "dependNode", void* clientData = NULL,
                                            MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeRemovedCallback(MMessage::MNodeFunction func,
                                              const MString& nodeType = "dependNode", void* clientData = NULL,
                                              MStatus* ReturnStatus = NULL);
};
