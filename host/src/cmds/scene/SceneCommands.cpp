#include "cmds/scene/SceneCommands.h"

namespace kxh {

void registerSceneCommands(mel::CommandRegistry& registry) {
    scenecmd::registerSelectionCommands(registry);
    scenecmd::registerNodeCommands(registry);
    scenecmd::registerAttrCommands(registry);
    scenecmd::registerAttrDefinitionCommands(registry);
    scenecmd::registerTransformCommands(registry);
    scenecmd::registerSetCommands(registry);
    scenecmd::registerPolyCommands(registry);
    scenecmd::registerFileCommands(registry);
    scenecmd::registerTimeCommands(registry);
    scenecmd::registerQueryCommands(registry);
    scenecmd::registerComponentConversion(registry);
    scenecmd::registerRotateScaleCommands(registry);
}

}  // namespace kxh
