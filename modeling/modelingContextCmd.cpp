#include "modeling/modelingContextCmd.h"

#include "modeling/modelingContext.h"

modelingContextCmd::modelingContextCmd() {}

modelingContextCmd::~modelingContextCmd() {}

MPxContext* modelingContextCmd::makeObj() {
    return new modelingContext;
}

void* modelingContextCmd::creator() {
    return new modelingContextCmd;
}
