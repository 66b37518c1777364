// The default nodes of a new scene and their node types (lambert, shadingEngine, time).
#include "graph/core/DefaultNodes.h"

#include "graph/core/Node.h"
#include "graph/core/NodeType.h"
#include "graph/core/Plug.h"
#include "graph/core/Scene.h"

namespace kxh {

namespace {

// MFn kinds of the types made here, as maya/detail/MFnTypeList.h numbers them.
constexpr int kShadingEngineFn = 1007;
constexpr int kLambertFn = 1008;
constexpr int kTimeFn = 1093;

AttrPtr colour(const std::string& longName, const std::string& shortName, double value) {
    std::vector<std::pair<std::string, std::string>> names;
    for (const char* c : {"R", "G", "B"}) names.emplace_back(longName + c, shortName + c);
    return Attribute::numericCompound(longName, shortName, NumericType::Float3, names, {value, value, value});
}

void ensureTypes() {
    NodeTypeRegistry& registry = NodeTypeRegistry::instance();
    if (!registry.find("lambert")) {
        auto lambert = std::make_shared<NodeType>("lambert", 0x524c4d42, "dependNode", kLambertFn);
        lambert->addAttribute(colour("color", "c", 0.5));
        lambert->addAttribute(colour("transparency", "it", 0));
        lambert->addAttribute(colour("ambientColor", "ambc", 0));
        lambert->addAttribute(colour("incandescence", "ic", 0));
        lambert->addAttribute(Attribute::numeric("diffuse", "dc", NumericType::Float, 0.8));
        AttrPtr out = colour("outColor", "oc", 0);
        out->writable = false;
        out->storable = false;
        lambert->addAttribute(out);
        registry.add(lambert);
    }
    if (!registry.find("shadingEngine")) {
        auto engine = std::make_shared<NodeType>("shadingEngine", 0x5345474e, "objectSet", kShadingEngineFn);
        engine->addAttribute(colour("surfaceShader", "ss", 0));
        engine->addAttribute(colour("volumeShader", "vs", 0));
        engine->addAttribute(colour("displacementShader", "ds", 0));
        registry.add(engine);
    }
    if (!registry.find("time")) {
        auto time = std::make_shared<NodeType>("time", 0x54494d45, "dependNode", kTimeFn);
        AttrPtr out = Attribute::numeric("outTime", "o", NumericType::Double, 0);
        out->setUnit(AttrUnit::Time);
        time->addAttribute(out);
        registry.add(time);
    }
}

Node* ensureNode(Scene& scene, const std::string& type, const std::string& name, bool& made) {
    made = false;
    NodePtr n = scene.find(name);
    if (n && n->type().isA(type)) return n.get();
    if (n) return nullptr;  // the name is taken by something else: leave the user's node alone
    n = scene.createNode(type, name);
    if (!n) return nullptr;
    made = true;
    n->locked = true;
    return n.get();
}

}  // namespace

void ensureDefaultNodes(Scene& scene) {
    ensureTypes();
    bool madeShader = false, madeGroup = false, madeTime = false;
    Node* shader = ensureNode(scene, "lambert", "lambert1", madeShader);
    Node* group = ensureNode(scene, "shadingEngine", "initialShadingGroup", madeGroup);
    ensureNode(scene, "time", "time1", madeTime);
    if (shader && group && (madeShader || madeGroup))
        scene.connect(shader->findPlug("outColor"), group->findPlug("surfaceShader"));
}

}  // namespace kxh
