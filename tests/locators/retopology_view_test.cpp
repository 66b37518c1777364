// What an artist sees while retopologising a convex reference with the QuadDraw Tool in a perspective view,
// read from playblast files: the stippled preview while hovering, and the faces built so far over the
// reference, with the mesh being built hilited.
#include <maya/MDagPath.h>

#include <unistd.h>

#include <filesystem>

#include "locator_fixture.h"
#include "plugin/ToolSettings.h"
#include "support/png_read.h"

namespace locatortest {
namespace {

namespace fs = std::filesystem;

class RetopologyViewTest : public LocatorTest {
protected:
    void SetUp() override {
        LocatorTest::SetUp();
        ToolSettings& settings = ToolSettings::instance();
        settings.loadDefaults();
        settings.mirror = false;
        mel("kxhViewSize 320 240; viewPlace -eye 0 0 40 -la 0 0 0 -p");
        mel("polySphere -r 10 -sa 48 -sh 32 -n reference; select -cl");
        settings.slideObject = kxtest::pathOf("reference");
        settings.slideSoftSelect = true;
        dir_ = fs::temp_directory_path() / ("kx_retopology_view_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        mel("setToolTo `quadDrawContext`");
    }
    void TearDown() override {
        run("setToolTo selectSuperContext");
        ToolSettings::instance().loadDefaults();
        fs::remove_all(dir_);
        LocatorTest::TearDown();
    }

    static void click(int x, int y) {
        mel("kxhPress " + std::to_string(x) + " " + std::to_string(y) + "; kxhRelease");
    }

    // A playblast of the active view, decoded: pixel (x, y) in port coordinates (y up).
    struct Picture {
        int width = 0, height = 0;
        std::vector<unsigned char> rgba;
        Rgba at(int x, int y) const {
            const unsigned char* p = &rgba[(size_t(height - 1 - y) * size_t(width) + size_t(x)) * 4];
            return {p[0], p[1], p[2], p[3]};
        }
    };
    Picture playblast(const char* name) {
        const std::string file = (dir_ / name).string();
        mel("playblast -fmt image -c png -p 100 -v 0 -cf \"" + file + "\"");
        Picture picture;
        int channels = 0;
        stbi_uc* data = stbi_load(file.c_str(), &picture.width, &picture.height, &channels, 4);
        EXPECT_NE(data, nullptr) << file;
        if (data) {
            picture.rgba.assign(data, data + size_t(picture.width) * size_t(picture.height) * 4);
            stbi_image_free(data);
        }
        return picture;
    }

    // The preview's stippled blue.
    static bool previewBlue(const Rgba& c) { return c[2] >= 200 && c[0] <= 100 && c[1] <= 100; }

    fs::path dir_;
};

TEST_F(RetopologyViewTest, HoveringShowsThePreviewAndBuiltFacesShowOverTheReference) {
    // A first quad left of the middle of the sphere, built with a Shift-click inside its four points; then
    // two more points to its right, and the cursor resting between them and the quad.
    const int x0 = 130, x1 = 160, x2 = 190, y0 = 90, y1 = 150;
    click(x0, y0);
    click(x1, y0);
    click(x1, y1);
    click(x0, y1);
    mel("kxhPress -sh 145 120; kxhRelease -sh");
    const std::vector<std::string> hilited = mel("ls -hl").asStringArray();
    ASSERT_EQ(hilited.size(), 1u);
    EXPECT_NE(hilited[0], "reference");
    click(x2, y0);
    click(x2, y1);
    mel("kxhViewCursor 175 120; kxhAdvanceTime 0.05");

    const Picture hovering = playblast("hovering.png");
    ASSERT_EQ(hovering.width, 320);
    // Inside the preview (3 pixels in from its sides) the stipple shows everywhere: each pixel or its right
    // neighbour is the preview's blue.
    int cells = 0, shown = 0;
    for (int y = y0 + 3; y <= y1 - 3; ++y)
        for (int x = x1 + 3; x <= x2 - 4; ++x, ++cells)
            shown += previewBlue(hovering.at(x, y)) || previewBlue(hovering.at(x + 1, y));
    EXPECT_GE(shown, cells * 98 / 100) << shown << " of " << cells;
    // The loose points are green.
    EXPECT_EQ(hovering.at(x2, y0), kGreen);
    EXPECT_EQ(hovering.at(x2, y1), kGreen);

    // The built face shows over the reference in the hilite tint, its edges on top in the hilite colour
    // (yellow-white: blue well below red and green).
    const Rgba inside = hovering.at(145, 120), outside = hovering.at(160, 60);
    EXPECT_EQ(outside[0], outside[2]) << "the reference is grey";
    EXPECT_GT(inside[0], inside[2] + 40) << inside[0] << "," << inside[1] << "," << inside[2];
    int edgePixels = 0;
    for (int y = y0 - 2; y <= y0 + 2; ++y) {
        const Rgba c = hovering.at(145, y);
        edgePixels += c[0] > 220 && c[1] > 200 && c[2] < 160;
    }
    EXPECT_GE(edgePixels, 1);
}

}  // namespace
}  // namespace locatortest
