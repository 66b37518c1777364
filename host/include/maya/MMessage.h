#pragma once
// The base of the message classes: callback function types and removal of registered callbacks. Every
// add*Callback returns an id; a plug-in removes its callbacks with removeCallback before it unloads.
#include <maya/MCallbackIdArray.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MObject;
class MPlug;
class MString;

class MMessage {
public:
    enum Action { kDefaultAction, kDoNotDoAction, kDoAction };

    typedef void (*MBasicFunction)(void* clientData);
    typedef void (*MElapsedTimeFunction)(float elapsedTime, float lastTime, void* clientData);
    typedef void (*MNodeFunction)(MObject& node, void* clientData);
    typedef void (*MNodePlugFunction)(MObject& node, MPlug& plug, void* clientData);
    typedef void (*MNodeStringFunction)(MObject& node, const MString& str, void* clientData);
    typedef void (*MStringFunction)(const MString& str, void* clientData);
    typedef void (*MPlugFunction)(MPlug& srcPlug, MPlug& destPlug, bool made, void* clientData);

    static MStatus removeCallback(MCallbackId id);
    static MStatus removeCallbacks(MCallbackIdArray& ids);
    static MCallbackId currentCallbackId(MStatus* ReturnStatus = NULL);
    static MStatus nodeCallbacks(MObject& node, MCallbackIdArray& ids);
};
