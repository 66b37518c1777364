#pragma once
// Shared set-up of the graph API tests: an empty current scene per test, and a mesh shape with cube
// geometry (the mesh function set lives in a later layer, so the geometry is put in place directly).
#include <gtest/gtest.h>

#include <maya/MDagModifier.h>
#include <maya/MFnDagNode.h>
#include <maya/MObject.h>

#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"
#include "mesh/MeshPrimitives.h"

namespace kxh::apitest {

class ApiTest : public ::testing::Test {
protected:
    void SetUp() override { kxh::Scene::current().reset(); }
    void TearDown() override { kxh::Scene::current().reset(); }

    // A transform "pCube1" over a mesh shape "pCubeShape1" holding a unit cube; returns the transform.
    MObject makeCube(const char* name = "pCube1") {
        MDagModifier mod;
        MObject xform = mod.createNode("mesh");
        EXPECT_TRUE(mod.doIt());
        mod.renameNode(xform, name);
        MFnDagNode fn(xform);
        MObject shape = fn.child(0);
        std::string n = name;
        size_t digits = n.find_last_not_of("0123456789") + 1;
        mod.renameNode(shape, (n.substr(0, digits) + "Shape" + n.substr(digits)).c_str());
        EXPECT_TRUE(mod.doIt());
        kxh::Scene::current().setShapeMesh(*kxh::nodeOf(shape), std::make_shared<kxh::Mesh>(kxh::cube()));
        return xform;
    }
};

}  // namespace kxh::apitest
