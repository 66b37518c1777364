// The modeling example, run by kxhost as an artist's session on the scanned bison of the Assimp test models:
// the radius drag, the mirrored grab, the face pick and its live extrusion all land, the undos take back
// exactly what they did, and both pictures are written.
#include <unistd.h>

#include <fstream>

#include "context_fixture.h"
#include "support/kxhost.h"

namespace {

TEST_F(ContextTest, TheModelingExampleGrabsExtrudesAndUndoesOnTheScannedBison) {
    char pattern[] = "/tmp/kx_modeling_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string directory = pattern;
    int status = -1;
    const std::string output =
        kxtest::runKxhost(std::string(KX_SOURCE_DIR) + "/examples/modeling.mel", status, directory);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    for (const char* line :
         {"picked: default.f[", "extruded: 3738 faces (from 3732)", "after one undo: 3732 faces",
          "after undoing the grab: 0 sampled vertices differ from the start"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
    // The grab moved part of the mesh and left nothing selected.
    EXPECT_NE(output.find(" sampled vertices moved; 0 items selected after the grab"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("grabbed: 0 sampled"), std::string::npos) << output;
    EXPECT_TRUE(std::ifstream(directory + "/out/modeling_hover.png").good());
    EXPECT_TRUE(std::ifstream(directory + "/out/modeling_grab.png").good());
}

}  // namespace
