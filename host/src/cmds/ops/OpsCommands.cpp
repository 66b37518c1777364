#include "cmds/ops/OpsCommands.h"

namespace kxh {

void registerOpsCommands(mel::CommandRegistry& registry) {
    opscmd::registerCreateFacet(registry);
    opscmd::registerAppendVertex(registry);
    opscmd::registerMergeVertex(registry);
    opscmd::registerEdgeCommands(registry);
    opscmd::registerExtrudeFacet(registry);
    opscmd::registerBevel(registry);
    opscmd::registerFaceCommands(registry);
    opscmd::registerUniteSeparate(registry);
}

}  // namespace kxh
