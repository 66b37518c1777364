// The two locator node types in the plug-in's tables: a taken name stopping the load with the row's
// message, and the module in a kxhost script whose playblast shows a quad draw locator over a mesh.
#include <maya/MPxLocatorNode.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "graph/core/NodeType.h"
#include "locator_fixture.h"
#include "support/png_read.h"

namespace locatortest {
namespace {

namespace fs = std::filesystem;

// A locator type of another plug-in that takes one of the names.
class SquatterLocator : public MPxLocatorNode {
public:
    static void* creator() { return new SquatterLocator; }
    static MStatus initialize() { return MS::kSuccess; }
};

class LocatorRegistrationTest : public LocatorTest {
protected:
    LocatorRegistrationTest() { withoutCore(); }
    void TearDown() override {
        std::string error;
        for (const char* name : {"kxtSquatter", "kxtTables"})
            if (kxh::PluginHost::instance().find(name)) kxh::PluginHost::instance().unload(name, error);
        LocatorTest::TearDown();
    }
    static MStatus walk(const char* plugin, const std::vector<RegistrationRow>& rows, bool registering) {
        kxh::PluginHost::Scope scope(plugin);
        MObject handle;
        MFnPlugin fn(handle, "Kestrix Tools", "2008", "Any");
        return registering ? registerRows(fn, rows) : deregisterRows(fn, rows);
    }
    static void squat(const char* typeName) {
        kxh::PluginHost::Scope scope("kxtSquatter");
        MObject handle;
        MFnPlugin fn(handle);
        ASSERT_TRUE(fn.registerNode(typeName, MTypeId(0x7F0B7), SquatterLocator::creator,
                                    SquatterLocator::initialize, MPxNode::kLocatorNode));
    }
    static kxh::NodeTypePtr type(const char* name) { return kxh::NodeTypeRegistry::instance().find(name); }
};

TEST_F(LocatorRegistrationTest, ATakenNameStopsTheLoadWithItsRowsMessage) {
    squat("drawLocator");
    EXPECT_FALSE(walk("kxtTables", loadTable(), true));
    std::vector<std::string> printed = lines(kxh::OutputKind::Perror);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].rfind("error registering draw locator: ", 0), 0u) << printed[0];
    EXPECT_FALSE(type("quadDrawLocator"));  // the load ended at row 9
    std::string error;
    kxh::PluginHost::instance().unload("kxtTables", error);
    kxh::PluginHost::instance().unload("kxtSquatter", error);
    kxh::output().clear();

    squat("quadDrawLocator");
    EXPECT_FALSE(walk("kxtTables", loadTable(), true));
    printed = lines(kxh::OutputKind::Perror);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].rfind("quadDrawLocator failed to register: ", 0), 0u) << printed[0];
    ASSERT_TRUE(type("drawLocator"));
    EXPECT_EQ(type("drawLocator")->typeId(), 1126285u);
}

TEST_F(LocatorRegistrationTest, AKxhostScriptPlayblastsAQuadDrawLocatorOverAMesh) {
    const fs::path dir = fs::temp_directory_path() / ("kx_locators_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path script = dir / "quad_locator.mel", image = dir / "quad_locator.png";
    {
        std::ofstream out(script);
        out << "loadPlugin kxModelingTools;\n"
               "kxhViewSize 160 120;\n"
               "viewPlace -eye 0 0 10 -la 0 0 0 persp;\n"
               "polyCube -w 6 -h 6 -d 1;\n"
               "createNode transform -n kxModelingToolsDrawQuadLocator;\n"
               "createNode quadDrawLocator -n kxModelingToolsDrawQuadLocatorShape -p "
               "kxModelingToolsDrawQuadLocator;\n"
               "setAttr kxModelingToolsDrawQuadLocatorShape.parr -type pointArray 2 -2 2 0.6 1 2 -2 0.6 1;\n"
               "setAttr kxModelingToolsDrawQuadLocatorShape.geoparr -type pointArray 4"
               " -1 -1 0.6 1 1 -1 0.6 1 1 1 0.6 1 -1 1 0.6 1;\n"
               "playblast -fmt image -p 100 -v 0 -cf \""
            << image.string() << "\";\n";
    }
    const std::string command = std::string(KX_BINARY_DIR) + "/bin/kxhost " + script.string() + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    ASSERT_EQ(::pclose(pipe), 0) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;

    int width = 0, height = 0, channels = 0;
    stbi_uc* data = stbi_load(image.c_str(), &width, &height, &channels, 4);
    ASSERT_NE(data, nullptr) << output;
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    // This program's view has the script's port and camera, so it projects the same points; the file
    // stores the top row first.
    auto at = [&](std::array<int, 2> v) {
        const stbi_uc* px = data + (size_t(kHeight - 1 - v[1]) * kWidth + size_t(v[0])) * 4;
        return Rgba{px[0], px[1], px[2], px[3]};
    };
    auto blue = [](const Rgba& c) { return c[2] >= 200 && c[0] <= 100 && c[1] <= 100; };
    EXPECT_EQ(at(project(MPoint(-2, 2, 0.6))), kGreen);
    EXPECT_EQ(at(project(MPoint(2, -2, 0.6))), kGreen);
    // The preview: of two neighbouring pixels one is blue and the other the mesh's grey.
    const auto c = project(MPoint(0, 0, 0.6));
    const Rgba centre = at(c), beside = at({c[0] + 1, c[1]});
    EXPECT_NE(blue(centre), blue(beside));
    const Rgba mesh = blue(centre) ? beside : centre;
    EXPECT_EQ(mesh[0], mesh[2]);
    EXPECT_NE(mesh, kBackground);
    const Rgba around = at(project(MPoint(2.5, 0, 0.5)));
    EXPECT_EQ(around[0], around[2]);
    EXPECT_NE(around, kBackground);
    stbi_image_free(data);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace locatortest
