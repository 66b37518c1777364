#pragma once
// quadDrawContextCmd: the context command "quadDrawContext", which makes a QuadDraw Tool context. It has
// no flags of its own.
#include <maya/MPxContext.h>
#include <maya/MPxContextCommand.h>

class quadDrawContextCmd : public MPxContextCommand {
public:
    quadDrawContextCmd();
    ~quadDrawContextCmd() override;

    MPxContext* makeObj() override;

    static void* creator();
};
