// MPxLocatorNode: the defaults of a plug-in locator, its display colours, and its static attribute
// objects, which refer to the attributes of the host's "locator" and "dagNode" types (a plug-in locator
// type derives from "locator", so every locator node has them).
#include <maya/MPxLocatorNode.h>

#include "graph/api/ApiObject.h"
#include "graph/api/PluginNodes.h"
#include "graph/core/NodeType.h"

namespace {

struct StatusColor {
    unsigned index;  // into the host's colour palette
    MColor rgb;
};

// The colours the host draws locators in, by display status.
StatusColor statusColor(M3dView::DisplayStatus status) {
    switch (status) {
        case M3dView::kLead:
            return {19, MColor(0.26f, 1.0f, 0.64f)};
        case M3dView::kActive:
            return {16, MColor(1.0f, 1.0f, 1.0f)};
        case M3dView::kHilite:
            return {20, MColor(1.0f, 0.5f, 1.0f)};
        case M3dView::kLive:
            return {26, MColor(0.5f, 0.8f, 0.3f)};
        case M3dView::kTemplate:
            return {3, MColor(0.47f, 0.47f, 0.47f)};
        case M3dView::kActiveTemplate:
            return {31, MColor(1.0f, 0.47f, 0.47f)};
        case M3dView::kActiveComponent:
            return {17, MColor(1.0f, 1.0f, 0.0f)};
        case M3dView::kActiveAffected:
            return {9, MColor(0.78f, 0.0f, 0.78f)};
        default:
            return {6, MColor(0.0f, 0.0f, 0.6f)};  // dormant and everything else
    }
}

}  // namespace

namespace kxh {

void resolveLocatorAttributes() {
    if (!MPxLocatorNode::localPosition.isNull()) return;
    NodeTypePtr loc = NodeTypeRegistry::instance().find("locator");
    if (!loc) return;
    auto wrap = [&](MObject& target, const char* name) {
        if (AttrPtr a = loc->findAttribute(name)) target = wrapAttribute(a);
    };
    wrap(MPxLocatorNode::underWorldObject, "underWorldObject");
    wrap(MPxLocatorNode::localPositionX, "localPositionX");
    wrap(MPxLocatorNode::localPositionY, "localPositionY");
    wrap(MPxLocatorNode::localPositionZ, "localPositionZ");
    wrap(MPxLocatorNode::worldPosition, "worldPosition");
    wrap(MPxLocatorNode::worldPositionX, "worldPositionX");
    wrap(MPxLocatorNode::worldPositionY, "worldPositionY");
    wrap(MPxLocatorNode::worldPositionZ, "worldPositionZ");
    wrap(MPxLocatorNode::localScale, "localScale");
    wrap(MPxLocatorNode::localScaleX, "localScaleX");
    wrap(MPxLocatorNode::localScaleY, "localScaleY");
    wrap(MPxLocatorNode::localScaleZ, "localScaleZ");
    wrap(MPxLocatorNode::visibility, "visibility");
    wrap(MPxLocatorNode::intermediateObject, "intermediateObject");
    wrap(MPxLocatorNode::isTemplated, "template");
    wrap(MPxLocatorNode::matrix, "matrix");
    wrap(MPxLocatorNode::inverseMatrix, "inverseMatrix");
    wrap(MPxLocatorNode::worldMatrix, "worldMatrix");
    wrap(MPxLocatorNode::worldInverseMatrix, "worldInverseMatrix");
    wrap(MPxLocatorNode::parentMatrix, "parentMatrix");
    wrap(MPxLocatorNode::parentInverseMatrix, "parentInverseMatrix");
    // Last: it is the "already resolved" mark.
    wrap(MPxLocatorNode::localPosition, "localPosition");
}

}  // namespace kxh

MObject MPxLocatorNode::underWorldObject;
MObject MPxLocatorNode::localPosition;
MObject MPxLocatorNode::localPositionX;
MObject MPxLocatorNode::localPositionY;
MObject MPxLocatorNode::localPositionZ;
MObject MPxLocatorNode::worldPosition;
MObject MPxLocatorNode::worldPositionX;
MObject MPxLocatorNode::worldPositionY;
MObject MPxLocatorNode::worldPositionZ;
MObject MPxLocatorNode::localScale;
MObject MPxLocatorNode::localScaleX;
MObject MPxLocatorNode::localScaleY;
MObject MPxLocatorNode::localScaleZ;
MObject MPxLocatorNode::visibility;
MObject MPxLocatorNode::intermediateObject;
MObject MPxLocatorNode::isTemplated;
MObject MPxLocatorNode::matrix;
MObject MPxLocatorNode::inverseMatrix;
MObject MPxLocatorNode::worldMatrix;
MObject MPxLocatorNode::worldInverseMatrix;
MObject MPxLocatorNode::parentMatrix;
MObject MPxLocatorNode::parentInverseMatrix;

MPxLocatorNode::MPxLocatorNode() = default;
MPxLocatorNode::~MPxLocatorNode() = default;

MPxNode::Type MPxLocatorNode::type() const {
    return kLocatorNode;
}

void MPxLocatorNode::draw(M3dView&, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {}
bool MPxLocatorNode::isBounded() const {
    return false;
}
MBoundingBox MPxLocatorNode::boundingBox() const {
    return MBoundingBox();
}
bool MPxLocatorNode::excludeAsLocator() const {
    return true;
}
bool MPxLocatorNode::isTransparent() const {
    return false;
}
bool MPxLocatorNode::drawLast() const {
    return false;
}

unsigned MPxLocatorNode::color(M3dView::DisplayStatus displayStatus) {
    return statusColor(displayStatus).index;
}
MColor MPxLocatorNode::colorRGB(M3dView::DisplayStatus displayStatus) {
    return statusColor(displayStatus).rgb;
}
