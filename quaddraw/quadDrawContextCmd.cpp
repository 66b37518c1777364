#include "quaddraw/quadDrawContextCmd.h"

#include "quaddraw/quadDrawContext.h"

quadDrawContextCmd::quadDrawContextCmd() {}

quadDrawContextCmd::~quadDrawContextCmd() {}

MPxContext* quadDrawContextCmd::makeObj() {
    return new quadDrawContext;
}

void* quadDrawContextCmd::creator() {
    return new quadDrawContextCmd;
}
