#pragma once
// Process-wide services of the host: running MEL, the script output, the active selection and hilite
// lists, and the application state. All members are static.
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>

class MDagPath;
class MDoubleArray;
class MIntArray;
class MObject;
class MSelectionList;
class MStringArray;

class MGlobal {
public:
    enum MMayaState { kBaseUIMode, kInteractive, kBatch, kLibraryApp };
    enum ListAdjustment { kReplaceList, kXORWithList, kAddToList, kRemoveFromList, kAddToHeadOfList };
    enum SelectionMethod { kSurfaceSelectMethod, kWireframeSelectMethod };

    // This host runs headless: kBatch.
    static MMayaState mayaState(MStatus* ReturnStatus = NULL);
    static MString mayaVersion();
    static int apiVersion();

    // Runs MEL. displayEnabled echoes the command (and its result) to the script output; undoEnabled=false
    // keeps the undo queue from recording anything the command does. The result forms fail when the
    // command fails or its result does not convert to the requested type (the output is then unchanged).
    static MStatus executeCommand(const MString& command, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, int& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, double& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MString& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MStringArray& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MIntArray& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MStatus executeCommand(const MString& command, MDoubleArray& result, bool displayEnabled = false,
                                  bool undoEnabled = false);
    static MString executeCommandStringResult(const MString& command, bool displayEnabled = false,
                                              bool undoEnabled = false, MStatus* ReturnStatus = NULL);
    // Queues the command; the host runs the queue when it is idle.
    static MStatus executeCommandOnIdle(const MString& command, bool displayEnabled = false);
    static MStatus sourceFile(const MString& fileName);

    static void displayInfo(const MString& theMessage);
    static void displayWarning(const MString& theWarning);
    static void displayError(const MString& theError);

    // The scene's active selection and hilite lists. Changing them through the API is not recorded for
    // undo (commands that change the selection record their own steps).
    static MStatus getActiveSelectionList(MSelectionList& dest, bool orderedSelectionIfAvailable = false);
    static MStatus setActiveSelectionList(const MSelectionList& src,
                                          ListAdjustment listAdjustment = kReplaceList);
    static MStatus getHiliteList(MSelectionList& dest);
    static MStatus setHiliteList(MSelectionList& src);
    static MStatus getSelectionListByName(const MString& name, MSelectionList& list);
    static MStatus selectByName(const MString& name, ListAdjustment listAdjustment = kAddToList);
    static MStatus select(const MObject& object, ListAdjustment listAdjustment = kAddToList);
    static MStatus select(const MDagPath& object, const MObject& component,
                          ListAdjustment listAdjustment = kAddToList);
    static MStatus unselect(const MObject& object);
    static MStatus clearSelectionList();
    // Selects the object drawn at a port position of the active view (the transform of the nearest visible
    // mesh under that pixel), adjusting the active list; with kReplaceList an empty spot clears it.
    static MStatus selectFromScreen(const short& x_pos, const short& y_pos,
                                    ListAdjustment listAdjustment = kAddToList,
                                    SelectionMethod selectMethod = kWireframeSelectMethod);

    // Deletes a node as "delete" does (a shape takes its transform along when that is left empty).
    static MStatus deleteNode(MObject& node);
};
