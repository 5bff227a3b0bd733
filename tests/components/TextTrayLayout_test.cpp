#include "components/TextTrayLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

TEST(TextTrayLayout, CentringOn15TruncatesTowardZero) {
    const std::array<std::pair<int, int>, 7> cases{
        {{7, 4}, {16, 0}, {20, -2}, {15, 0}, {0, 7}, {30, -7}, {17, -1}}};
    for (auto [extent, expected] : cases) {
        EXPECT_EQ(CentreOn15(extent), expected) << "extent " << extent;
    }
}

// Every character 7 pixels wide; the font 16 pixels high.
TextExtent SevenWide(std::string_view line) {
    return {7 * static_cast<int>(line.size()), 16};
}

TEST(TextTrayLayout, SingleLineWithTheMainFormOffsets) {
    TOffsetOptions options;
    options.SetOffsetX(1);
    struct Case {
        const char* text;
        PlacedLine expected;
    };
    const std::array<Case, 4> cases{{
        {"3", {"3", 5, 0}},
        {"12", {"12", 1, 0}},    // (15 - 14) / 2 + 1
        {"123", {"123", -2, 0}}, // (15 - 21) / 2 + 1: clipped at both edges
        {"", {"", 8, 0}},
    }};
    for (const Case& c : cases) {
        auto placed = PlaceText(c.text, options, SevenWide, 16);
        ASSERT_EQ(placed.size(), 1u);
        EXPECT_EQ(placed[0], c.expected) << c.text;
    }
}

TEST(TextTrayLayout, SingleLineUsesTheTextsOwnHeight) {
    TOffsetOptions options;
    options.SetOffsetY(-1);
    auto placed = PlaceText(
        "x", options,
        [](std::string_view) {
            return TextExtent{5, 11};
        },
        16);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0], (PlacedLine{"x", 5, 1}));
}

TEST(TextTrayLayout, MultiLineBlockIsCentred) {
    struct Case {
        const char* text;
        int lineDistance;
        std::vector<PlacedLine> expected;
    };
    const std::array<Case, 3> cases{{
        // pitch 16, top (15 - 32) / 2 = -8
        {"1\r2", 0, {{"1", 5, -8}, {"2", 5, 8}}},
        // pitch 18, top (15 - 36) / 2 = -10
        {"1\r2", 2, {{"1", 5, -10}, {"2", 5, 8}}},
        // pitch 16, top (15 - 48) / 2 = -16; empty last line still counts
        {"12\r3\r", 0, {{"12", 1, -16}, {"3", 5, 0}, {"", 8, 16}}},
    }};
    for (const Case& c : cases) {
        TOffsetOptions options;
        options.SetOffsetX(1);
        options.SetLineDistance(c.lineDistance);
        EXPECT_EQ(PlaceText(c.text, options, SevenWide, 16), c.expected) << c.text;
    }
}

TEST(TextTrayLayout, SplitLines) {
    struct Case {
        std::string text;
        std::vector<std::string> expected;
    };
    const std::array<Case, 7> cases{{
        {"1", {"1"}},
        {"", {""}},
        {"1\r2", {"1", "2"}},
        {"1\r", {"1", ""}},
        {"\r", {"", ""}},
        {"1\r\n2", {"1", "\n2"}},
        {"a\r\rb", {"a", "", "b"}},
    }};
    for (const Case& c : cases) {
        EXPECT_EQ(SplitLines(c.text), c.expected);
    }
}

TEST(TextTrayLayout, OffsetOptionsRaiseChangeOnlyForNewValues) {
    TOffsetOptions options;
    int changes = 0;
    options.OnChange = [&] { ++changes; };
    options.SetOffsetX(0);
    options.SetOffsetY(0);
    options.SetLineDistance(0);
    EXPECT_EQ(changes, 0);
    options.SetOffsetX(1);
    options.SetOffsetY(2);
    options.SetLineDistance(3);
    options.SetOffsetX(1);
    EXPECT_EQ(changes, 3);
    TOffsetOptions same;
    same.SetOffsetX(1);
    same.SetOffsetY(2);
    same.SetLineDistance(3);
    options.Assign(same);
    EXPECT_EQ(changes, 3);
    same.SetLineDistance(0);
    options.Assign(same);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(options.LineDistance(), 0);
}

std::uint32_t FakeSysColor(int index) {
    return index == 15 ? 0x00C0C0C0u : 0x00FFFFFFu;
}

TEST(TextTrayLayout, KeyColourAndTransparency) {
    struct Case {
        const char* name;
        TColor color;
        std::uint32_t fontRgb;
        std::uint32_t keyRgb;
        TColor transparent;
    };
    const std::array<Case, 6> cases{{
        {"none: inverse font colour, transparent", kColorNone, 0x00FFFFFF, 0x000000, 0x00000000},
        {"none with a red font", kColorNone, 0x000000FF, 0xFFFF00, 0x00FFFF00},
        {"equal to the font: inverse, opaque", 0x00FFFFFF, 0x00FFFFFF, 0x000000, kColorNone},
        {"orange: itself, opaque", 0x00308BDE, 0x00FFFFFF, 0x308BDE, kColorNone},
        {"system button face", kColorBtnFace, 0x00FFFFFF, 0xC0C0C0, kColorNone},
        {"system colour equal to the font", 0xFF000005, 0x00FFFFFF, 0x000000, kColorNone},
    }};
    for (const Case& c : cases) {
        TextIconColors colors = ComputeTextIconColors(c.color, c.fontRgb, FakeSysColor);
        EXPECT_EQ(colors.keyRgb, c.keyRgb) << c.name;
        EXPECT_EQ(colors.transparent, c.transparent) << c.name;
    }
}

TEST(TextTrayLayout, ColourValues) {
    EXPECT_EQ(ColorToRgb(0x00308BDE, FakeSysColor), 0x308BDEu);
    EXPECT_EQ(ColorToRgb(kColorBtnFace, FakeSysColor), 0xC0C0C0u);
    EXPECT_EQ(ColorToRgb(kColorNone, FakeSysColor), 0u);
    EXPECT_EQ(InverseRgb(0x308BDE), 0xCF7421u);
    EXPECT_EQ(RgbToPixel(0x00308BDE), 0x00DE8B30u); // red 222, green 139, blue 48
}

TEST(TextTrayLayout, MaskMakesOnlyTheKeyColourTransparent) {
    const std::uint32_t key = RgbToPixel(0x000000);
    const std::uint32_t white = 0xFFFFFF;
    const std::uint32_t orange = RgbToPixel(0x308BDE);
    IconPixels pixels{key, white, orange, key};

    IconImage masked = MaskPixels(pixels, 0x000000);
    EXPECT_EQ(masked.transparent, (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(masked.color, (IconPixels{0, 0xFFFFFFFF, 0xFF000000 | orange, 0}));

    IconImage opaque = MaskPixels(pixels, kColorNone);
    EXPECT_EQ(opaque.transparent, (std::vector<bool>(4, false)));
    EXPECT_EQ(opaque.color[0], 0xFF000000u);
}

TEST(TextTrayLayout, ComposeLeavesOutTheKeyPixels) {
    IconPixels base{1, 2, 3, 4};
    IconPixels overlay{9, 0x00FF00, 9, 7};
    EXPECT_EQ(ComposeOver(base, overlay, 9), (IconPixels{1, 0x00FF00, 3, 7}));
}

} // namespace
} // namespace ombrevane
