#pragma once
// Helpers shared by the graph core tests: a counting adder node type and scene checks.
#include <gtest/gtest.h>

#include "graph/core/Scene.h"

namespace kxh::testing {

// "coreTestAdder": sum = a + b, outTuple = (a, b, a+b); counts its computes.
inline int& adderComputeCount() {
    static int n = 0;
    return n;
}

class AdderBehavior : public NodeBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override {
        const std::string& n = plug.attribute()->longName();
        if (n != "sum" && n != "outTuple") return ComputeStatus::Unknown;
        ++adderComputeCount();
        double a = node.findPlug("a").asDouble(), b = node.findPlug("b").asDouble();
        node.setComputed(node.findPlug("sum"), Value(a + b));
        node.setComputed(node.findPlug("outTuple"), Value(std::vector<double>{a, b, a + b}));
        return ComputeStatus::Done;
    }
};

inline void registerAdder() {
    auto& reg = NodeTypeRegistry::instance();
    if (reg.find("coreTestAdder")) return;
    auto t = std::make_shared<NodeType>("coreTestAdder", 0x7e570001, "dependNode", fn::kPluginDependNode);
    AttrPtr a = Attribute::numeric("a", "a", NumericType::Double, 0);
    AttrPtr b = Attribute::numeric("b", "b", NumericType::Double, 0);
    AttrPtr sum = Attribute::numeric("sum", "s", NumericType::Double, 0);
    sum->writable = false;
    AttrPtr tup = Attribute::numericCompound("outTuple", "ot", NumericType::Double3);
    for (auto& x : {a, b, sum, tup}) t->addAttribute(x);
    for (auto& in : {a, b})
        for (auto& out : {sum, tup}) t->addAffects(in.get(), out.get());
    t->factory = [] { return std::make_unique<AdderBehavior>(); };
    reg.add(t);
}

inline void expectValid(const Scene& s) {
    auto problems = validateScene(s);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}

}  // namespace kxh::testing
