// What the navigation bar draws: header forms, colours, icons, base items and the fade.

#include "components/ExBarFakes.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace ombrevane {
namespace {

using testing::FakeHost;
using testing::FakeImageList;

const ExThemeColors kBlue{Rgb(122, 160, 230), Rgb(237, 242, 255), Rgb(255, 255, 255),
                          Rgb(33, 93, 198),   Rgb(66, 142, 255),  Rgb(255, 255, 255),
                          Rgb(66, 142, 255)};

class ExBarPaintTest : public ::testing::Test {
protected:
    ExBarPaintTest() : bar(host) {
        host.Attach(bar);
        bar.ItemIcons = &icons;
    }
    TExGroup& AddGroup(const std::string& caption, bool special) {
        TExGroup& group = bar.Groups.AddGroup(caption, special);
        group.AddLink(caption + " link", caption + " hint", 1, 0);
        return group;
    }
    // Theme parts drawn for the header at `top` (its block's top).
    std::vector<testing::RecordingCanvas::ThemePart> PartsAt(int top) const {
        std::vector<testing::RecordingCanvas::ThemePart> parts;
        for (const auto& part : host.canvas.themeParts) {
            if (part.Target.Top == top + 9) {
                parts.push_back(part);
            }
        }
        return parts;
    }

    FakeHost host;
    TExBar bar;
    FakeImageList icons{16, 16};
};

TEST_F(ExBarPaintTest, ThemedHeaderIsCutFromThePictureRowAndButtonVariant) {
    bar.ApplyTheme(&kBlue);
    EXPECT_EQ(bar.Color(), Rgb(122, 160, 230));
    TExGroup& special = AddGroup("Options", true);
    TExGroup& normal = AddGroup("About", false);
    bar.RefreshBar();
    const int normalTop = normal.HeaderRect.Top - 9;

    auto parts = PartsAt(8);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].Source, (ExRect{7, 25, 12, 48}));
    EXPECT_EQ(parts[0].Target, (ExRect{12, 17, 17, 40}));
    EXPECT_EQ(parts[1].Source, (ExRect{13, 25, 163, 48}));
    EXPECT_EQ(parts[1].Target, (ExRect{17, 17, 17 + 194 - 30, 40}));
    EXPECT_EQ(parts[2].Source, (ExRect{164, 25, 189, 48}));
    EXPECT_EQ(parts[2].Target, (ExRect{181, 17, 206, 40}));
    EXPECT_EQ(PartsAt(normalTop)[2].Source.Top, 1);
    EXPECT_TRUE(host.canvas.glyphs.empty());

    struct Case {
        bool collapsed;
        bool hot;
        int sourceX;
    };
    for (const Case c : {Case{false, false, 164}, Case{false, true, 190}, Case{true, false, 216},
                         Case{true, true, 242}}) {
        normal.GroupState = c.collapsed ? ExGroupState::Collapsed : ExGroupState::Expanded;
        bar.MouseMove(c.hot ? normal.HeaderRect.Left : 0, normal.HeaderRect.Top, ExMouseState{});
        bar.RefreshBar();
        EXPECT_EQ(PartsAt(normalTop).at(2).Source.Left, c.sourceX)
            << "collapsed " << c.collapsed << " hot " << c.hot;
    }
    EXPECT_EQ(special.GroupState, ExGroupState::Expanded);
}

TEST_F(ExBarPaintTest, HeaderCaptionColoursAndPlace) {
    bar.ApplyTheme(&kBlue);
    TExGroup& special = AddGroup("Options", true);
    TExGroup& normal = AddGroup("About", false);
    bar.RefreshBar();
    struct Case {
        TExGroup* group;
        bool hot;
        TColor color;
    };
    const Case cases[] = {{&special, false, kBlue.SpecialText},
                          {&special, true, kBlue.SpecialHotText},
                          {&normal, false, kBlue.Text},
                          {&normal, true, kBlue.HotText}};
    for (const Case& c : cases) {
        bar.MouseMove(c.hot ? c.group->HeaderRect.Left : 0, c.group->HeaderRect.Top,
                      ExMouseState{});
        bar.RefreshBar();
        const auto* text = host.canvas.FindText(c.group->Caption());
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->Color, c.color) << c.group->Caption() << " hot " << c.hot;
        EXPECT_TRUE(text->Font.Bold);
        EXPECT_EQ(text->X, 20);
        EXPECT_EQ(text->Y, c.group->HeaderRect.Top - 9 + 8 + (24 - 13) / 2);
    }
    // The caption is clipped before the button, not wrapped.
    bool clipped = false;
    for (const ExRect& clip : host.canvas.clips) {
        clipped = clipped || clip == ExRect{12, 8, 12 + 194 - 25, 40};
    }
    EXPECT_TRUE(clipped);
}

TEST_F(ExBarPaintTest, ClassicHeaderUsesSystemColoursAndArrowGlyphs) {
    TExGroup& special = AddGroup("Options", true);
    AddGroup("About", false);
    bar.RefreshBar();
    std::vector<TColor> headerFills;
    for (const auto& fill : host.canvas.fills) {
        if (fill.Area.Height() == 23) {
            headerFills.push_back(fill.Color);
        }
    }
    EXPECT_EQ(headerFills, (std::vector<TColor>{SystemColor(TSystemColor::ActiveCaption),
                                                SystemColor(TSystemColor::ButtonFace)}));
    ASSERT_EQ(host.canvas.glyphs.size(), 2u);
    EXPECT_EQ(host.canvas.glyphs[0].Kind, ExGlyph::Up);
    EXPECT_EQ(host.canvas.glyphs[0].X, 194 - 12);
    EXPECT_EQ(host.canvas.glyphs[0].Y, 8 + 16);
    EXPECT_EQ(host.canvas.glyphs[0].Color, SystemColor(TSystemColor::CaptionText));

    bar.Animate = false;
    special.ToggleGroup();
    EXPECT_EQ(host.canvas.glyphs[0].Kind, ExGlyph::Down);
}

TEST_F(ExBarPaintTest, GroupIconRaisesAboveTheHeaderAndMovesTheCaption) {
    FakeImageList big{32, 32};
    bar.GroupIcons = &big;
    TExGroup& group = AddGroup("Options", true);
    group.SetImageIndex(0);
    bar.RefreshBar();
    bool iconAtBlockTop = false;
    for (const auto& image : host.canvas.images) {
        iconAtBlockTop = iconAtBlockTop || (image.X == 12 && image.Y == 8);
    }
    EXPECT_TRUE(iconAtBlockTop);
    EXPECT_EQ(host.canvas.FindText("Options")->X, 52);
}

TEST_F(ExBarPaintTest, BodyIsFilledFramedAndItsLinksPlaced) {
    bar.ApplyTheme(&kBlue);
    TExGroup& group = AddGroup("About", false);
    bar.RefreshBar();
    bool bodyFilled = false;
    for (const auto& fill : host.canvas.fills) {
        bodyFilled =
            bodyFilled || (fill.Area == ExRect{12, 40, 206, 76} && fill.Color == kBlue.Body);
    }
    EXPECT_TRUE(bodyFilled);
    EXPECT_EQ(host.canvas.lines, 3);
    EXPECT_EQ(group.BodyRect, (ExRect{12, 40, 206, 76}));
    ASSERT_FALSE(host.canvas.images.empty());
    EXPECT_EQ(host.canvas.images.back().X, 24);
    EXPECT_EQ(host.canvas.images.back().Y, 48);
    EXPECT_EQ(host.canvas.FindText("About link")->Color, kBlue.Text);
    EXPECT_TRUE(host.canvas.blends.empty()); // only while animating
}

TEST_F(ExBarPaintTest, BaseItemIsADottedFrameTwentyHigh) {
    TExGroup& group = bar.Groups.AddGroup("G", false);
    group.AddItem<TExCustomItem>();
    bar.RefreshBar();
    ASSERT_EQ(host.canvas.dotted.size(), 1u);
    EXPECT_EQ(host.canvas.dotted[0], (ExRect{24, 50, 12 + 194 - 12, 66}));
    EXPECT_EQ(group.FullHeight, 36);
    EXPECT_EQ(bar.ObjectAt(30, 55), nullptr);
}

TEST_F(ExBarPaintTest, NothingIsDrawnWhileUpdatesAreLocked) {
    AddGroup("Options", true);
    bar.RefreshBar();
    const int renders = host.renders;
    bar.LockUpdates();
    bar.Groups[0].SetCaption("Other");
    EXPECT_EQ(host.renders, renders);
    host.canvas.Clear();
    bar.PaintGroups(host.canvas);
    EXPECT_TRUE(host.canvas.texts.empty());
    bar.UnlockUpdates();
    bar.Groups[0].SetCaption("Options");
    EXPECT_EQ(host.renders, renders + 1);
}

// ---------------------------------------------------------------------------------------------
// Theme colours and the fade arithmetic

TEST(ExBarTheme, ColoursComeFromTheSevenSamplePixels) {
    const auto pixel = [](int x, int y) { return static_cast<TColor>(x * 1000 + y); };
    const ExThemeColors colors = ThemeColorsFromPicture(pixel);
    EXPECT_EQ(colors.Background, 1001u);
    EXPECT_EQ(colors.Body, 1007u);
    EXPECT_EQ(colors.BodyFrame, 1013u);
    EXPECT_EQ(colors.Text, 1019u);
    EXPECT_EQ(colors.HotText, 1025u);
    EXPECT_EQ(colors.SpecialText, 1031u);
    EXPECT_EQ(colors.SpecialHotText, 1037u);
    EXPECT_TRUE(IsUsableThemePicture(267, 48));
    EXPECT_FALSE(IsUsableThemePicture(266, 48));
    EXPECT_FALSE(IsUsableThemePicture(267, 47));
}

TEST(ExBarTheme, BlendRoundsHalfToEven) {
    struct Case {
        int c, b, current, full, expected;
    };
    const Case cases[] = {
        {1, 0, 1, 2, 0},                                // 0.5 -> 0
        {3, 0, 1, 2, 2},                                // 1.5 -> 2
        {255, 0, 1, 2, 128},                            // 127.5 -> 128
        {0, 255, 1, 2, 128},    {5, 0, 1, 2, 2},        // 2.5 -> 2
        {200, 100, 1, 3, 133},                          // 133.33
        {200, 100, 2, 3, 167},                          // 166.67
        {10, 20, 0, 100, 20},                           // nothing left: the background
        {10, 20, -5, 100, 20},  {10, 20, 100, 100, 10}, // fully open: unchanged
        {10, 20, 150, 100, 10}, {37, 122, 50, 100, 80}, // 79.5 -> 80
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            BlendValue(static_cast<uint8_t>(c.c), static_cast<uint8_t>(c.b), c.current, c.full),
            c.expected)
            << c.c << " toward " << c.b << " at " << c.current << "/" << c.full;
    }
}

TEST(ExBarTheme, BlendPixelsWorksOnBlueGreenRedTriples) {
    std::vector<uint8_t> row{255, 255, 255, 0, 0, 0, 9};
    BlendPixelsBgr(row, Rgb(122, 160, 230), 50, 100);
    // (255 + 230) / 2 = 242.5 -> 242, (255 + 160) / 2 = 207.5 -> 208, (255 + 122) / 2 = 188.5
    EXPECT_EQ(row, (std::vector<uint8_t>{242, 208, 188, 115, 80, 61, 9}));
    std::vector<uint8_t> same{1, 2, 3};
    BlendPixelsBgr(same, Rgb(200, 200, 200), 100, 100);
    EXPECT_EQ(same, (std::vector<uint8_t>{1, 2, 3}));
    BlendPixelsBgr(same, Rgb(7, 8, 9), 0, 100);
    EXPECT_EQ(same, (std::vector<uint8_t>{9, 8, 7}));
}

// Pixels of one image drawn over black and over white give the premultiplied pixels that
// AlphaBlend puts down as the image list would have.
TEST(ExBarTheme, PremultipliedPixelsFromTheTwoBackdrops) {
    struct Case {
        const char* what;
        std::array<uint8_t, 3> overBlack;
        std::array<uint8_t, 3> overWhite;
        std::array<uint8_t, 4> bgra;
    };
    const Case cases[] = {
        {"opaque keeps its exact values", {10, 200, 255}, {10, 200, 255}, {10, 200, 255, 255}},
        {"opaque black", {0, 0, 0}, {0, 0, 0}, {0, 0, 0, 255}},
        {"opaque white", {255, 255, 255}, {255, 255, 255}, {255, 255, 255, 255}},
        {"transparent", {0, 0, 0}, {255, 255, 255}, {0, 0, 0, 0}},
        {"half covered red", {0, 0, 128}, {127, 127, 255}, {0, 0, 128, 128}},
        // Rounding may leave one channel a step apart: the widest gap decides.
        {"channels a step apart", {50, 50, 50}, {177, 178, 177}, {50, 50, 50, 127}},
        // An inverting pixel (brighter over black than over white) counts as opaque.
        {"inverted", {255, 255, 255}, {0, 0, 0}, {255, 255, 255, 255}},
        // Never more colour than coverage: AlphaBlend would overflow.
        {"colour above its alpha", {200, 0, 0}, {255, 250, 250}, {5, 0, 0, 5}},
    };
    for (const Case& c : cases) {
        std::array<uint8_t, 4> out{1, 1, 1, 1};
        PremultiplyFromBackdrops(c.overBlack, c.overWhite, out);
        EXPECT_EQ(out, c.bgra) << c.what;
    }
}

TEST(ExBarTheme, PremultiplyStopsAtTheShortestRow) {
    const std::vector<uint8_t> black{1, 2, 3, 4, 5, 6};
    const std::vector<uint8_t> white{1, 2, 3, 4, 5, 6};
    std::vector<uint8_t> out(4 + 3, 9); // room for one pixel and a bit
    PremultiplyFromBackdrops(black, white, out);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3, 255, 9, 9, 9}));
}

TEST(ExBarTheme, ArrowGlyphRows) {
    const ExGlyphRows up = GlyphRowsUp();
    const ExGlyphRows down = GlyphRowsDown();
    const char* upRows[] = {"....X...", "...XXX..", "..XX.XX.", ".XX...XX"};
    const char* downRows[] = {".XX...XX", "..XX.XX.", "...XXX..", "....X..."};
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const bool upSet = (up[static_cast<size_t>(row)] & (0x80 >> column)) != 0;
            const bool downSet = (down[static_cast<size_t>(row)] & (0x80 >> column)) != 0;
            EXPECT_EQ(upSet, upRows[row % 4][column] == 'X') << row << "," << column;
            EXPECT_EQ(downSet, downRows[row % 4][column] == 'X') << row << "," << column;
        }
    }
}

} // namespace
} // namespace ombrevane
