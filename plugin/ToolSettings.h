#pragma once
// The process-wide record of tool options. The plug-in's MEL windows hold the options in their controls;
// "kxSetCommands -ms storeValues" copies them here, and every tool reads the record at the moment it needs
// a value. Only loadDefaults(), storeFromUi(), the "setSlideDag" action and the interactive radius gestures
// write it.
#include <maya/MDagPath.h>

struct ToolSettings {
    bool multiComponent;              // multicomp_KXPT_CB
    int softSelectIntensity;          // intensity_KXPT_IF
    int smoothIntensity;              // smoothIntensity_KXPT_IF
    int smoothPush;                   // smoothPush_KXPT_IF
    bool slideSoftSelect;             // enable_slide_soft_select_KXPT_CB
    bool slideOnItself;               // slide on the edited mesh itself (no slide object loaded)
    int normalDirection;              // normal_direction_KXPT_RB: 0 vertex normal, 1 camera
    bool mirror;                      // mirror_KXPT_CB
    bool lockAxis;                    // lockAxis_KXPT_CB
    bool lockX;                       // lockXAxis_KXPT_CB
    bool lockY;                       // lockYAxis_KXPT_CB
    bool lockZ;                       // lockZAxis_KXPT_CB
    int mirrorAxis;                   // mirror_KXPT_RB: 0 x, 1 y, 2 z
    bool ignoreQuadDrawBackface;      // ignoreQuadDrawBackface_KXPT_CB
    bool dragSelectNormal;            // dragSelectType_KXPT_RB
    int mirrorWorldSpace;             // mirrorSpace_KXPT_RB: 0 object, 1 world
    int smoothUvIntensity;            // smoothUvIntensity_KXPT_IF
    bool pinBorderEdges;              // pinBorderEdges_KXPT_MI
    bool fullShellCompressionColors;  // fullShellCompressionColors_KXPT_MI
    double brushRadius;               // changed interactively by the modeling context and the brushes
    double uvBrushRadius;             // changed interactively by the UV brushes
    float mergeDistance;              // quad draw: welding distance of a first face and its mirror
    MDagPath slideObject;             // the reference mesh sliding and quad drawing project onto

    // The one record of the process.
    static ToolSettings& instance();

    // Every field back to its default (run when the plug-in loads).
    void loadDefaults();

    // Refreshes the fields from the windows that are open: the main window "kx_modeling_ui" and the UV
    // window "customUvWindow_KXPT", each only while it exists. A closed window's values stay as last stored.
    void storeFromUi();

    ToolSettings() { loadDefaults(); }
};

// The text of the slide object field while no object is loaded.
extern const char* const kSlideObjectPrompt;
