#pragma once
// Callbacks on scene-level events: new scene, open, save, plug-in load and unload, exit.
#include <maya/MMessage.h>

class MSceneMessage : public MMessage {
public:
    enum Message {
        kSceneUpdate,
        kBeforeNew,
        kAfterNew,
        kBeforeImport,
        kAfterImport,
        kBeforeOpen,
        kAfterOpen,
        kBeforeFileRead,
        kAfterFileRead,
        kAfterSceneReadAndRecordEdits,
        kBeforeExport,
        kAfterExport,
        kBeforeSave,
        kAfterSave,
        kBeforeReference,
        kAfterReference,
        kBeforeRemoveReference,
        kAfterRemoveReference,
        kBeforeImportReference,
        kAfterImportReference,
        kBeforeExportReference,
        kAfterExportReference,
        kBeforeUnloadReference,
        kAfterUnloadReference,
        kBeforeSoftwareRender,
        kAfterSoftwareRender,
        kBeforeSoftwareFrameRender,
        kAfterSoftwareFrameRender,
        kSoftwareRenderInterrupted,
        kMayaInitialized,
        kMayaExiting,
        kBeforeNewCheck,
        kBeforeOpenCheck,
        kBeforeSaveCheck,
        kBeforeImportCheck,
        kBeforeExportCheck,
        kBeforeLoadReference,
        kAfterLoadReference,
        kBeforeLoadReferenceCheck,
        kBeforeReferenceCheck,
        kBeforeCreateReferenceCheck = kBeforeReferenceCheck,
        kBeforePluginLoad,
        kAfterPluginLoad,
        kBeforePluginUnload,
        kAfterPluginUnload,
        kBeforeCreateReference,
        kAfterCreateReference,
        kExportStarted,
        kLast
    };

    static MCallbackId addCallback(Message msg, MMessage::MBasicFunction func, void* clientData = NULL,
                                   MStatus* ReturnStatus = NULL);
};
