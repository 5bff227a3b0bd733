// The committed pictures are what the generator writes, and the theme picture holds what the
// bar reads from it.

#include "components/res/ExBarResources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace ombrevane {
namespace {

std::vector<uint8_t> ReadCommitted(const std::string& name) {
    std::ifstream in(std::string(EXBAR_RES_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(ExBarResources, CommittedFilesMatchTheGenerator) {
    // When this fails, run make_exbar_resources src/components/res and commit the result.
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {{"BlueImg.bmp", EncodeBmp24(MakeBlueImg())},
                          {"AR_UP.bmp", EncodeGlyphBmp(GlyphRowsUp())},
                          {"AR_DN.bmp", EncodeGlyphBmp(GlyphRowsDown())}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> committed = ReadCommitted(c.name);
        ASSERT_FALSE(committed.empty()) << c.name << " missing in " << EXBAR_RES_DIR;
        EXPECT_TRUE(committed == c.bytes) << c.name << " differs from the generator";
    }
}

TEST(ExBarResources, BlueImgHoldsTheSampleColoursAndHeaders) {
    const ExRgbImage image = MakeBlueImg();
    ASSERT_EQ(image.Width, 268);
    ASSERT_EQ(image.Height, 49);
    const ExThemeColors colors =
        ThemeColorsFromPicture([&](int x, int y) { return image.At(x, y); });
    EXPECT_EQ(colors.Background, Rgb(122, 160, 230));
    EXPECT_EQ(colors.Body, Rgb(237, 242, 255));
    EXPECT_EQ(colors.BodyFrame, Rgb(255, 255, 255));
    EXPECT_EQ(colors.Text, Rgb(33, 93, 198));
    EXPECT_EQ(colors.HotText, Rgb(66, 142, 255));
    EXPECT_EQ(colors.SpecialText, Rgb(255, 255, 255));
    EXPECT_EQ(colors.SpecialHotText, Rgb(66, 142, 255));

    const TColor magenta = Rgb(255, 0, 255);
    const TColor background = Rgb(122, 160, 230);
    struct Pixel {
        int x, y;
        TColor color;
    };
    const Pixel pixels[] = {
        {267, 10, magenta},
        {100, 0, magenta},
        {100, 24, magenta},
        {100, 48, magenta},
        {6, 10, magenta},
        {12, 10, magenta},
        {163, 10, magenta},
        {7, 1, background},
        {8, 1, background},
        {7, 2, background}, // rounded corners
        {266, 1, background},
        {266, 25, background},
        {9, 10, Rgb(255, 255, 255)},   // normal header: white at the left
        {162, 10, Rgb(210, 220, 249)}, // fading to its right end
        {13, 35, Rgb(0, 73, 181)},     // special header left
        {162, 35, Rgb(37, 91, 203)},   // and right
    };
    for (const Pixel& p : pixels) {
        EXPECT_EQ(image.At(p.x, p.y), p.color) << p.x << "," << p.y;
    }
}

TEST(ExBarResources, ButtonsCarryChevronsInTheirColours) {
    const ExRgbImage image = MakeBlueImg();
    struct Button {
        int x, y;
        TColor chevron;
    };
    const Button buttons[] = {
        {164, 1, Rgb(0, 60, 165)},     {190, 1, Rgb(66, 142, 255)},   {216, 1, Rgb(0, 60, 165)},
        {242, 1, Rgb(66, 142, 255)},   {164, 25, Rgb(255, 255, 255)}, {190, 25, Rgb(172, 205, 255)},
        {216, 25, Rgb(255, 255, 255)}, {242, 25, Rgb(172, 205, 255)},
    };
    for (const Button& b : buttons) {
        int count = 0;
        int topmost = 99;
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 25; ++x) {
                if (image.At(b.x + x, b.y + y) == b.chevron) {
                    ++count;
                    topmost = std::min(topmost, y);
                }
            }
        }
        EXPECT_GE(count, 20) << b.x << "," << b.y;
        // Expanded variants point up: their apex, a single pixel, is the topmost row.
        const bool up = b.x < 216;
        const int apexRow = up ? topmost : -1;
        if (up) {
            EXPECT_EQ(image.At(b.x + 12, b.y + apexRow), b.chevron);
            EXPECT_NE(image.At(b.x + 11, b.y + apexRow), b.chevron);
        } else {
            EXPECT_NE(image.At(b.x + 12, b.y + topmost), b.chevron) << "down: wide top row";
        }
    }
}

} // namespace
} // namespace ombrevane
