#include "plugin/journaledToolCmd.h"

#include <maya/MArgList.h>

MStatus journaledToolCmd::finalize() {
    MArgList command;
    command.addArg(commandString());
    return doFinalize(command);
}
