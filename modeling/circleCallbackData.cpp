#include "modeling/circleCallbackData.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <cmath>

const double circleCallbackData::kCircleStep = 0.10473333333333333;

circleCallbackData::circleCallbackData()
    : componentKind(0), cursorX(0), cursorY(0), enabled(0), depthDistance(0.0f) {}

circleCallbackData::~circleCallbackData() {}

void circleCallbackData::fillUnitCircle() {
    circleTemplate.clear();
    for (int k = 0;; ++k) {
        const double a = k * kCircleStep;
        if (a > 6.284) break;
        circleTemplate.append(MPoint(std::cos(a), std::sin(a), 0.0));
    }
    circlePoints = circleTemplate;
}

namespace {

int queryInt(const char* command) {
    int value = 0;
    MGlobal::executeCommand(command, value);
    return value;
}

}  // namespace

int componentSelectTypeFromUi() {
    const bool componentMode = queryInt("selectMode -q -component;") != 0;
    const int vertex = queryInt(componentMode ? "selectType -q -v" : "selectType -ocm -q -v");
    const int face = queryInt(componentMode ? "selectType -q -fc" : "selectType -ocm -q -fc");
    const int edge = queryInt(componentMode ? "selectType -q -eg" : "selectType -ocm -q -eg");
    int kind = 3;
    if (vertex == 1) kind = 0;
    if (face == 1) kind = 2;
    if (edge == 1) kind = 1;
    return kind;
}
