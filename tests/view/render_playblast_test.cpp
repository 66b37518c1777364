// playblast: one frame of the active view written as a PNG whose decoded pixels are the view's frame.
#include <unistd.h>

#include <filesystem>

#include "view/render_fixture.h"
#include "support/png_read.h"

namespace rendertest {
namespace {

namespace fs = std::filesystem;

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // top row first, as the file stores it
    Rgba at(int x, int yFromTop) const {
        const std::uint8_t* p = &rgba[(size_t(yFromTop) * size_t(width) + size_t(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

Image load(const fs::path& file) {
    Image img;
    int channels = 0;
    stbi_uc* data = stbi_load(file.c_str(), &img.width, &img.height, &channels, 4);
    if (!data) return img;
    img.rgba.assign(data, data + size_t(img.width) * size_t(img.height) * 4);
    stbi_image_free(data);
    return img;
}

class PlayblastTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        dir_ = fs::temp_directory_path() / ("kxh_playblast_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(PlayblastTest, WritesThePngOfTheFrameTopRowFirst) {
    mel("polyCube -w 2 -h 2 -d 2");
    Recipe r;
    r.points = {MPoint(-3, 2, 0)};
    r.color = {0, 1, 0, 1};
    makeLocator("loc", r);
    const fs::path file = dir_ / "out.png";
    const std::string result = mel("playblast -frame 1 -format image -completeFilename \"" + file.string() +
                                   "\" -width 160 -height 120 -viewer 0 -showOrnaments 0 -percent 100")
                                   .asString();
    EXPECT_EQ(result, file.string());
    const Image img = load(file);
    ASSERT_EQ(img.width, kWidth);
    ASSERT_EQ(img.height, kHeight);

    const kxh::view::Frame& f = refresh();
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) differing += img.at(x, kHeight - 1 - y) != pixel(f, x, y);
    EXPECT_EQ(differing, 0);
    // Background stays exactly the clear colour, the locator's point is in the upper left part.
    EXPECT_EQ(img.at(0, 0), kBackground);
    const auto p = project(MPoint(-3, 2, 0));
    EXPECT_EQ(img.at(p[0], kHeight - 1 - p[1]), (Rgba{0, 255, 0, 255}));
    EXPECT_LT(kHeight - 1 - p[1], kHeight / 2);
}

TEST_F(PlayblastTest, SizeFollowsPercentAndNeverExceedsThePort) {
    const fs::path half = dir_ / "half.png";
    mel("playblast -fr 1 -fmt image -cf \"" + half.string() + "\" -v 0");
    Image img = load(half);
    EXPECT_EQ(img.width, kWidth / 2);
    EXPECT_EQ(img.height, kHeight / 2);

    const fs::path big = dir_ / "big.png";
    mel("playblast -fmt image -cf \"" + big.string() + "\" -w 4000 -h 60 -p 100");
    img = load(big);
    EXPECT_EQ(img.width, kWidth);
    EXPECT_EQ(img.height, 60);
    // The view's own frame size is untouched by a playblast at another size.
    EXPECT_EQ(refresh().width, kWidth);
}

TEST_F(PlayblastTest, FilenameGetsThePaddedFrameAndExtension) {
    const fs::path base = dir_ / "shot";
    const std::string result =
        mel("playblast -frame 12 -format image -filename \"" + base.string() + "\" -percent 100").asString();
    EXPECT_EQ(result, base.string() + ".0012.png");
    EXPECT_TRUE(fs::exists(result));
}

TEST_F(PlayblastTest, RefusesWhatItCannotWrite) {
    const fs::path missing = dir_ / "no" / "such" / "folder" / "out.png";
    const std::string error =
        melError("playblast -format image -completeFilename \"" + missing.string() + "\"");
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
    EXPECT_NE(error.find((dir_ / "no" / "such" / "folder").string()), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(missing));

    melError("playblast -format qt -completeFilename \"" + (dir_ / "a.mov").string() + "\"");
    melError("playblast -format image -compression jpg -completeFilename \"" + (dir_ / "a.jpg").string() +
             "\"");
    melError("playblast -format image");
    // A folder in the file's place cannot be written over.
    fs::create_directories(dir_ / "taken.png");
    melError("playblast -format image -completeFilename \"" + (dir_ / "taken.png").string() + "\"");
    EXPECT_EQ(mel("playblast -activeEditor").asString(), "modelPanel4");
}

}  // namespace
}  // namespace rendertest
