#pragma once
// modelingContextCmd: the context command "modelingContext", which makes an Advanced Modeling Tool
// context. It has no flags of its own; the tool reads its options from the tool settings.
#include <maya/MPxContext.h>
#include <maya/MPxContextCommand.h>

class modelingContextCmd : public MPxContextCommand {
public:
    modelingContextCmd();
    ~modelingContextCmd() override;

    MPxContext* makeObj() override;

    static void* creator();
};
