// The navigation bar's model: layout, text fitting, animation, hit testing and the mouse.

#include "components/ExBarFakes.h"
#include "dialogs/OptionsBarContent.h"

#include <gtest/gtest.h>

#include <memory>

namespace ombrevane {
namespace {

using testing::FakeHost;
using testing::FakeImageList;
using testing::FakeMetrics;

class ExBarTest : public ::testing::Test {
protected:
    ExBarTest() : bar(host) {
        host.Attach(bar);
        bar.ItemIcons = &icons;
    }

    // The content the options dialog gives the bar.
    void FillLikeOptionsDialog() {
        bar.LockUpdates();
        AddOptionsDialogGroups(bar);
        bar.UnlockUpdates();
        bar.RefreshBar();
    }

    TExMenuItem& Link(int group, int item) {
        return dynamic_cast<TExMenuItem&>(*bar.Groups[group].Items.at(static_cast<size_t>(item)));
    }
    static int MidX(const ExRect& r) { return (r.Left + r.Right) / 2; }
    static int MidY(const ExRect& r) { return (r.Top + r.Bottom) / 2; }

    void Hover(const ExRect& r) { bar.MouseMove(MidX(r), MidY(r), ExMouseState{}); }
    void ReleaseOver(const ExRect& r) { bar.MouseUp(MidX(r), MidY(r)); }

    FakeHost host;
    TExBar bar;
    FakeImageList icons{16, 16};
    std::vector<int32_t> clicks;
};

// ---------------------------------------------------------------------------------------------
// Construction and layout

TEST_F(ExBarTest, StartsWithTheDocumentedDefaults) {
    EXPECT_TRUE(bar.Animate);
    EXPECT_FALSE(bar.Updating);
    EXPECT_TRUE(bar.LayoutPending);
    EXPECT_EQ(bar.LastWidth, 218);
    EXPECT_EQ(bar.HotObject(), nullptr);
    EXPECT_FALSE(bar.HasThemePicture());
    EXPECT_EQ(bar.Color(), Rgb(255, 255, 255));
    EXPECT_EQ(bar.TextColor, SystemColor(TSystemColor::ButtonText));
    bar.LockUpdates(); // nothing painted: HitRect keeps its initial value

    TExGroup& group = bar.Groups.AddGroup("G", false);
    EXPECT_EQ(group.Step, 0);
    EXPECT_EQ(group.StepLimit, 0);
    EXPECT_EQ(group.TargetHeight, 25);
    EXPECT_EQ(group.CurrentHeight, 25);
    EXPECT_EQ(group.FullHeight, 25);
    EXPECT_EQ(group.ImageIndex(), -1);
    EXPECT_EQ(group.GroupState, ExGroupState::Expanded);
    EXPECT_EQ(group.Width, 218 - 24);

    TExMenuItem& link = group.AddItem<TExMenuItem>();
    EXPECT_EQ(link.Caption, "MenuItem");
    EXPECT_EQ(link.Hint, "MenuItem");
    EXPECT_EQ(link.ImageIndex, -1);
    EXPECT_EQ(link.Id, -1);
    EXPECT_EQ(link.HitRect, (ExRect{-1, -1, -1, -1}));
    TExCheckBox& check = group.AddItem<TExCheckBox>();
    EXPECT_FALSE(check.Checked());
    EXPECT_TRUE(check.Enabled);
    EXPECT_TRUE(check.Flat);
}

TEST_F(ExBarTest, BodyHeightFollowsTheLinksItHolds) {
    struct Case {
        int links;
        int fullHeight;
    };
    // Icon 16, text height 13: each "Desktop N" row is 1 + 13 + 1 -> 16, plus 4.
    for (const Case c : {Case{0, 16}, Case{1, 36}, Case{2, 56}, Case{5, 116}}) {
        TExGroup& group = bar.Groups.AddGroup("Desktop Setting", false);
        for (int i = 0; i < c.links; ++i) {
            group.AddLink("Desktop " + std::to_string(i + 1), "", 10 + i, 2);
        }
        bar.UpdateLayout();
        EXPECT_EQ(group.FullHeight, c.fullHeight) << c.links << " links";
        EXPECT_EQ(group.CurrentHeight, c.fullHeight) << c.links << " links";
        bar.Groups.Clear();
    }
}

TEST_F(ExBarTest, LinkTextStartsOnePixelBelowTheIconAndTheRowIsTwentyHigh) {
    TExGroup& group = bar.Groups.AddGroup("Desktop Setting", false);
    group.AddLink("Desktop 1", "Desktop 1", 10, 2);
    group.AddLink("Desktop 2", "Desktop 2", 11, 2);
    bar.RefreshBar();
    // Header block from 8, body from 40, items from 48.
    const auto* first = host.canvas.FindText("Desktop 1");
    const auto* second = host.canvas.FindText("Desktop 2");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->X, 12 + 16 + 18);
    EXPECT_EQ(first->Y, 49);
    EXPECT_EQ(second->Y, 69);
    EXPECT_EQ(Link(0, 0).HitRect, (ExRect{24, 48, 46 + 9 * 6, 64}));
}

TEST_F(ExBarTest, ContentHeightAndSurfaceFollowTheGroups) {
    FillLikeOptionsDialog();
    // 8 + (32 + 56 + 8) + (32 + 116 + 8) + (32 + 36 + 8)
    EXPECT_EQ(bar.ContentHeight, 8 + 96 + 156 + 76);
    EXPECT_EQ(host.surfaceHeight, bar.ContentHeight);
}

TEST_F(ExBarTest, GroupAddedWhileLockedIsLaidOutAtUnlockAndDrawnAtRefresh) {
    bar.LockUpdates();
    TExGroup& group = bar.Groups.AddGroup("Options", true);
    group.AddLink("General", "General options", 1, 0);
    bar.RefreshBar();
    EXPECT_EQ(host.renders, 0);
    EXPECT_EQ(group.FullHeight, 25);

    bar.UnlockUpdates();
    EXPECT_EQ(group.FullHeight, 36);
    EXPECT_EQ(host.renders, 0);

    bar.RefreshBar();
    EXPECT_EQ(host.renders, 1);
    EXPECT_NE(host.canvas.FindText("General"), nullptr);
}

TEST_F(ExBarTest, LinkAddedToAShownBarIsLaidOut) {
    TExGroup& group = bar.Groups.AddGroup("Options", true);
    group.AddLink("General", "General options", 1, 0);
    EXPECT_EQ(group.FullHeight, 36);
    group.AddLink("Hotkey", "Golobal hotkey", 2, 1);
    EXPECT_EQ(group.FullHeight, 56);
    EXPECT_EQ(group.CurrentHeight, 56);
    EXPECT_NE(host.canvas.FindText("Hotkey"), nullptr);
}

TEST_F(ExBarTest, AddLinkWithoutItemIconsAddsNothing) {
    bar.ItemIcons = nullptr;
    TExGroup& group = bar.Groups.AddGroup("Options", true);
    EXPECT_EQ(group.AddLink("General", "General options", 1, 0), nullptr);
    EXPECT_TRUE(group.Items.empty());

    bar.ItemIcons = &icons;
    EXPECT_NE(group.AddLink("General", "General options", 1, 0), nullptr);
    EXPECT_EQ(group.Items.size(), 1u);
}

TEST_F(ExBarTest, ScrollBarIsShownExactlyWhenTheContentIsTallerThanTheClientArea) {
    FillLikeOptionsDialog(); // 336 high
    host.clientHeight = 400;
    bar.Resized();
    EXPECT_FALSE(host.scrollBar);

    host.clientHeight = 335;
    bar.Resized();
    EXPECT_TRUE(host.scrollBar);
    // The scroll bar takes client width; the groups follow.
    EXPECT_EQ(bar.Groups[0].Width, 218 - 17 - 24);

    host.clientHeight = 336;
    bar.Resized();
    EXPECT_FALSE(host.scrollBar);
    EXPECT_EQ(bar.Groups[0].Width, 218 - 24);

    // Collapsing a group makes everything fit again.
    host.clientHeight = 300;
    bar.Resized();
    ASSERT_TRUE(host.scrollBar);
    bar.Animate = false;
    bar.Groups[1].ToggleGroup();
    EXPECT_EQ(bar.ContentHeight, 336 - 116);
    EXPECT_FALSE(host.scrollBar);
    bar.Groups[1].ToggleGroup();
    EXPECT_TRUE(host.scrollBar);
}

TEST_F(ExBarTest, WidthChangeReachesSurfaceAndGroups) {
    FillLikeOptionsDialog();
    ASSERT_FALSE(host.scrollBar);
    host.barWidth = 180;
    bar.Resized();
    EXPECT_EQ(bar.LastWidth, 180);
    EXPECT_EQ(host.surfaceWidth, 180);
    for (const auto& group : bar.Groups) {
        EXPECT_EQ(group->Width, 156);
    }
}

// ---------------------------------------------------------------------------------------------
// FitLine

TEST(ExBarFitLine, SplitsCaptionsAsDocumented) {
    FakeMetrics metrics; // 6 pixels per character
    struct Case {
        const char* text;
        int maxWidth;
        const char* line;
        const char* rest;
    };
    const Case cases[] = {
        {"Hello world", 100, "Hello world", ""},
        {"Hello world", 66, "Hello ", "world"}, // exactly as wide is too wide
        {"Hello world", 67, "Hello world", ""},
        {"Hello  world", 60, "Hello  ", "world"}, // each space ends a word
        {"Supercalifragilistic rest", 60, "Superc...", "rest"},
        {"abcdefghij", 30, "a...", ""},
        {"abcde", 30, "a...", ""},
        {"abc", 1, "a...", ""}, // never fewer than one character
        {"W", 5, "W...", ""},
        {"A B", 0, "A...", "B"},
        {"", 50, "", ""},
    };
    for (const Case& c : cases) {
        std::string rest = c.text;
        const std::string line = FitLine(rest, c.maxWidth, metrics);
        EXPECT_EQ(line, c.line) << '"' << c.text << "\" in " << c.maxWidth;
        EXPECT_EQ(rest, c.rest) << '"' << c.text << "\" in " << c.maxWidth;
    }
}

TEST_F(ExBarTest, LongCaptionWrapsAndHitRectCoversTheWidestLine) {
    TExGroup& group = bar.Groups.AddGroup("G", false);
    // Line width 194 - 34 - 12 = 148: 24 characters at most.
    group.AddLink("Switch to the next desktop now", "", 1, 0);
    group.AddLink("Unbelievablylongwordthatdoesnotfit at all", "", 2, 0);
    bar.RefreshBar();
    EXPECT_NE(host.canvas.FindText("Switch to the next "), nullptr);
    EXPECT_NE(host.canvas.FindText("desktop now"), nullptr);
    EXPECT_EQ(Link(0, 0).HitRect.Right, 12 + 34 + 19 * 6);
    // One pixel down for the icon, then two lines of 14.
    EXPECT_EQ(Link(0, 0).HitRect.Height(), 29);
    // The long word is cut short and its remainder dropped; the next words go on.
    EXPECT_NE(host.canvas.FindText("Unbelievablylongwordt..."), nullptr);
    EXPECT_NE(host.canvas.FindText("at all"), nullptr);
    EXPECT_EQ(group.FullHeight, 8 + (29 + 4) + (29 + 4) + 8);
}

// A caption that just fits its line is measured as one line and painted as one; one pixel
// wider, as two by both. Measuring and painting must agree, or the body is cut or gapes.
TEST_F(ExBarTest, MeasuringAndPaintingAgreeAtTheLineWidth) {
    host.metrics.charWidth = 1;
    enum class Kind { LinkWithIcon, LinkWithoutIcon, Check };
    struct Case {
        const char* name;
        Kind kind;
        int lineWidth; // of a group 194 wide
    };
    const Case cases[] = {
        {"link with icon", Kind::LinkWithIcon, 194 - 34 - 12},
        {"link without icon", Kind::LinkWithoutIcon, 194 - 12 - 12},
        {"check item", Kind::Check, 194 - 34 - 12},
    };
    for (const Case& c : cases) {
        for (const int lines : {1, 2}) {
            SCOPED_TRACE(std::string(c.name) + (lines == 1 ? ", just narrower" : ", as wide"));
            // Two words whose width is one short of the line width, or exactly it.
            const int width = lines == 1 ? c.lineWidth - 1 : c.lineWidth;
            const std::string first(static_cast<std::size_t>(width / 2), 'x');
            const std::string caption =
                first + " " + std::string(static_cast<std::size_t>(width) - first.size() - 1, 'y');
            TExGroup& group = bar.Groups.AddGroup("G", false);
            if (c.kind == Kind::Check) {
                group.AddItem<TExCheckBox>().Caption = caption;
            } else {
                group.AddLink(caption, "", 1, c.kind == Kind::LinkWithIcon ? 0 : -1);
            }
            bar.UpdateLayout();
            bar.RefreshBar();
            int drawn = 0;
            for (const auto& text : host.canvas.texts) {
                drawn +=
                    !text.Text.empty() && (text.Text.front() == 'x' || text.Text.front() == 'y');
            }
            EXPECT_EQ(drawn, lines);
            EXPECT_EQ(group.BodyRect.Height(), group.FullHeight) << "painted and measured differ";
            bar.Groups.Clear();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Animation

// Four links without icons, text height 16: 4 x (17 + 4) = 84, body 100.
class ExBarAnimationTest : public ExBarTest {
protected:
    ExBarAnimationTest() {
        host.metrics.textHeight = 16;
        TExGroup& g = bar.Groups.AddGroup("Desktop Setting", false);
        for (int i = 0; i < 4; ++i) {
            g.AddLink("Desktop " + std::to_string(i + 1), "", 10 + i, -1);
        }
        bar.RefreshBar();
    }
    TExGroup& group() { return bar.Groups[0]; }
    std::vector<int> Run(int ticks) {
        std::vector<int> heights;
        for (int i = 0; i < ticks; ++i) {
            bar.TimerTick(group().TimerId());
            heights.push_back(group().CurrentHeight);
        }
        return heights;
    }
};

TEST_F(ExBarAnimationTest, StepCountOfTheHundredPixelBody) {
    ASSERT_EQ(group().FullHeight, 100);
    EXPECT_EQ(StepCount(0, 100, 1), 15);
    EXPECT_EQ(StepCount(100, 0, 1), 15);
    EXPECT_EQ(StepCount(0, 0, 1), 1);
    EXPECT_EQ(StepCount(0, 300, 3), StepCount(300, 0, 3));
    EXPECT_EQ(StepCount(0, 10, 0), StepCount(0, 10, 1)); // no endless loop on a zero step
}

TEST_F(ExBarAnimationTest, ClosingAcceleratesOverFifteenTicks) {
    group().ToggleGroup();
    EXPECT_EQ(group().GroupState, ExGroupState::Collapsing);
    EXPECT_EQ(group().StepLimit, 15);
    EXPECT_EQ(host.timers.count(group().TimerId()), 1u);
    EXPECT_EQ(Run(15),
              (std::vector<int>{100, 99, 97, 94, 90, 85, 79, 72, 64, 55, 45, 34, 22, 9, 0}));
    EXPECT_EQ(group().GroupState, ExGroupState::Collapsed);
    EXPECT_TRUE(host.timers.empty());
    EXPECT_FALSE(group().TimerRunning());
}

TEST_F(ExBarAnimationTest, OpeningDeceleratesOverFifteenTicks) {
    bar.Animate = false;
    group().ToggleGroup();
    bar.Animate = true;
    ASSERT_EQ(group().GroupState, ExGroupState::Collapsed);
    group().ToggleGroup();
    EXPECT_EQ(group().GroupState, ExGroupState::Expanding);
    EXPECT_EQ(group().CurrentHeight, 0);
    EXPECT_EQ(Run(15),
              (std::vector<int>{14, 27, 39, 50, 60, 69, 77, 84, 90, 95, 99, 100, 100, 100, 100}));
    EXPECT_EQ(group().GroupState, ExGroupState::Expanded);
    EXPECT_TRUE(host.timers.empty());
}

TEST_F(ExBarAnimationTest, ToggleDuringAnimationReversesFromTheCurrentHeight) {
    group().ToggleGroup();
    EXPECT_EQ(Run(5), (std::vector<int>{100, 99, 97, 94, 90}));
    group().ToggleGroup();
    EXPECT_EQ(group().GroupState, ExGroupState::Expanding);
    EXPECT_EQ(group().CurrentHeight, 90);
    EXPECT_EQ(host.timers.size(), 1u);
    EXPECT_EQ(Run(6), (std::vector<int>{95, 99, 100, 100, 100, 100}));
    EXPECT_EQ(group().GroupState, ExGroupState::Expanded);
    EXPECT_TRUE(host.timers.empty());

    // And the other way: opening reversed into closing.
    bar.Animate = false;
    group().ToggleGroup();
    bar.Animate = true;
    group().ToggleGroup();
    EXPECT_EQ(Run(3), (std::vector<int>{14, 27, 39}));
    group().ToggleGroup();
    EXPECT_EQ(group().GroupState, ExGroupState::Collapsing);
    const std::vector<int> closing = Run(20);
    EXPECT_EQ(group().GroupState, ExGroupState::Collapsed);
    EXPECT_EQ(group().CurrentHeight, 0);
    EXPECT_TRUE(std::is_sorted(closing.rbegin(), closing.rend()));
}

// While updates are locked the layout does not run, so the tick itself must keep the
// height within the body.
TEST_F(ExBarAnimationTest, OpeningTicksUnderLockedUpdatesStayWithinTheBody) {
    bar.Animate = false;
    group().ToggleGroup();
    bar.Animate = true;
    group().ToggleGroup();
    bar.LockUpdates();
    for (const int height : Run(15)) {
        EXPECT_LE(height, group().FullHeight);
    }
    EXPECT_EQ(group().GroupState, ExGroupState::Expanded);
    EXPECT_EQ(group().CurrentHeight, 100);
    bar.UnlockUpdates();
}

// Links hidden while the body closes shrink it under the height it has reached.
TEST_F(ExBarAnimationTest, HidingLinksOfAClosingBodyKeepsItsHeightWithin) {
    group().ToggleGroup();
    EXPECT_EQ(Run(3), (std::vector<int>{100, 99, 97}));
    for (int i = 1; i < 4; ++i) {
        group().Items[static_cast<std::size_t>(i)]->Visible = false;
    }
    bar.UpdateLayout();
    EXPECT_EQ(group().FullHeight, 8 + 21 + 8);
    EXPECT_LE(group().CurrentHeight, group().FullHeight);
    for (const int height : Run(20)) {
        EXPECT_LE(height, group().FullHeight);
    }
    EXPECT_EQ(group().GroupState, ExGroupState::Collapsed);
    EXPECT_EQ(group().CurrentHeight, 0);
}

// Animate switched off while a body opens or closes: the click still means what it meant,
// the opposite of where the body was going, reached at once.
TEST_F(ExBarAnimationTest, AnimateSwitchedOffMidwayKeepsTheToggleMeant) {
    bar.Animate = false;
    group().ToggleGroup();
    bar.Animate = true;
    group().ToggleGroup();
    Run(3);
    ASSERT_EQ(group().GroupState, ExGroupState::Expanding);
    bar.Animate = false;
    group().ToggleGroup();
    EXPECT_EQ(group().GroupState, ExGroupState::Collapsed);
    EXPECT_EQ(group().CurrentHeight, 0);
    EXPECT_TRUE(host.timers.empty());

    bar.Animate = false;
    group().ToggleGroup();
    bar.Animate = true;
    group().ToggleGroup();
    Run(3);
    ASSERT_EQ(group().GroupState, ExGroupState::Collapsing);
    bar.Animate = false;
    group().ToggleGroup();
    EXPECT_EQ(group().GroupState, ExGroupState::Expanded);
    EXPECT_EQ(group().CurrentHeight, 100);
    EXPECT_TRUE(host.timers.empty());
}

TEST_F(ExBarAnimationTest, WithoutAnimateAHeaderClickSwitchesAtOnce) {
    bar.Animate = false;
    Hover(group().HeaderRect);
    ReleaseOver(group().HeaderRect);
    EXPECT_EQ(group().GroupState, ExGroupState::Collapsed);
    EXPECT_TRUE(host.timers.empty());
    ReleaseOver(group().HeaderRect);
    EXPECT_EQ(group().GroupState, ExGroupState::Expanded);
    EXPECT_EQ(group().CurrentHeight, 100);
}

TEST_F(ExBarAnimationTest, CollapsingBodySlidesUpAndFadesTowardTheBackground) {
    group().ToggleGroup();
    Run(10); // 55 of 100 left
    ASSERT_EQ(group().CurrentHeight, 55);
    const auto& blends = host.canvas.blends;
    ASSERT_EQ(blends.size(), 1u);
    EXPECT_EQ(blends[0].Area, (ExRect{12, 40, 206, 95}));
    EXPECT_EQ(blends[0].Current, 55);
    EXPECT_EQ(blends[0].Full, 100);
    // Items moved up by 45: the first of them starts above the visible body.
    EXPECT_EQ(Link(0, 0).HitRect.Top, 48 - 45);
    EXPECT_EQ(group().BodyRect, (ExRect{12, 40, 206, 95}));
    // While collapsing the surface keeps the client height so nothing is cut off.
    EXPECT_EQ(host.surfaceHeight, 399);
}

// The screen copy after a hot-tracking repaint is limited to what the repaint answers, so it
// must cover every area the group drew into: the header block and the open part of the body.
TEST_F(ExBarAnimationTest, InPlaceRepaintAnswersTheAreaItPaintedOver) {
    const auto expectArea = [&](int openBody) {
        host.canvas.Clear();
        const ExRect area = bar.PaintGroupInPlace(host.canvas, group());
        EXPECT_EQ(area, (ExRect{12, 8, 206, 8 + 32 + openBody}));
        ASSERT_FALSE(host.canvas.clips.empty());
        for (const ExRect& clip : host.canvas.clips) {
            EXPECT_TRUE(clip.Left >= area.Left && clip.Top >= area.Top &&
                        clip.Right <= area.Right && clip.Bottom <= area.Bottom)
                << "clip " << clip.Left << "," << clip.Top << "-" << clip.Right << ","
                << clip.Bottom << " with " << openBody << " of the body open";
        }
    };
    expectArea(100);
    group().ToggleGroup();
    Run(10);
    expectArea(55);
    Run(5);
    ASSERT_EQ(group().GroupState, ExGroupState::Collapsed);
    expectArea(0);
}

TEST_F(ExBarAnimationTest, RemovingAnAnimatingGroupStopsItsTimer) {
    group().ToggleGroup();
    ASSERT_EQ(host.timers.size(), 1u);
    bar.Groups.Delete(0);
    EXPECT_TRUE(host.timers.empty());
    bar.TimerTick(1); // a late tick finds nothing
}

// ---------------------------------------------------------------------------------------------
// Hit testing

TEST_F(ExBarTest, ObjectAtIncludesLeftAndTopEdgesOnly) {
    FillLikeOptionsDialog();
    TExGroup& options = bar.Groups[0];
    ASSERT_EQ(options.HeaderRect, (ExRect{12, 17, 206, 40}));
    const TExMenuItem& general = Link(0, 0);
    const ExRect hit = general.HitRect;
    ASSERT_EQ(hit, (ExRect{24, 48, 46 + 7 * 6, 64}));
    struct Case {
        int x, y;
        const TExObject* expected;
    };
    const Case cases[] = {
        {12, 17, &options},       {205, 39, &options},
        {206, 17, nullptr},       {12, 40, nullptr},
        {11, 20, nullptr},        {12, 16, nullptr},
        {24, 48, &general},       {hit.Right - 1, 63, &general},
        {hit.Right, 50, nullptr}, // right of the text
        {24, 64, nullptr},        {23, 50, nullptr},
        {150, 50, nullptr},       {5, 5, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bar.ObjectAt(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
}

TEST_F(ExBarTest, CollapsedBodyIsNeverHit) {
    TExGroup& group = bar.Groups.AddGroup("Desktop Setting", false);
    group.AddLink("Desktop 1", "", 10, 2);
    bar.RefreshBar();
    const ExRect where = Link(0, 0).HitRect;
    ASSERT_EQ(bar.ObjectAt(where.Left, where.Top), &Link(0, 0));
    bar.Animate = false;
    group.ToggleGroup();
    EXPECT_EQ(group.BodyRect.Height(), 0);
    EXPECT_EQ(Link(0, 0).HitRect, where); // stale, but behind the empty body
    EXPECT_EQ(bar.ObjectAt(where.Left, where.Top), nullptr);
}

TEST_F(ExBarTest, InvisibleItemsAreNeitherMeasuredPaintedNorHit) {
    bar.LockUpdates();
    TExGroup& group = bar.Groups.AddGroup("G", false);
    group.AddLink("Shown", "", 1, 0);
    TExMenuItem* hidden = group.AddLink("Hidden", "", 2, 0);
    hidden->Visible = false;
    bar.UnlockUpdates();
    bar.RefreshBar();
    EXPECT_EQ(group.FullHeight, 36);
    EXPECT_EQ(host.canvas.FindText("Hidden"), nullptr);
    EXPECT_EQ(hidden->HitRect, (ExRect{-1, -1, -1, -1}));
}

// ---------------------------------------------------------------------------------------------
// Hot tracking and clicks

TEST_F(ExBarTest, HotTrackingRepaintsOnlyTheGroupsConcerned) {
    FillLikeOptionsDialog();
    TExGroup& options = bar.Groups[0];
    TExGroup& desktops = bar.Groups[1];
    const int renders = host.renders;

    Hover(Link(1, 2).HitRect); // "Desktop 3"
    EXPECT_EQ(bar.HotObject(), &Link(1, 2));
    ASSERT_EQ(host.repaints.size(), 1u);
    EXPECT_EQ(host.repaints[0], (std::vector<TExGroup*>{&desktops}));
    EXPECT_EQ(host.cursor, ExCursor::Hand);
    EXPECT_EQ(host.tooltip, "Desktop 3");
    EXPECT_TRUE(host.tooltipActive);
    const auto* text = host.canvas.FindText("Desktop 3");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->Font.Underline);
    EXPECT_EQ(text->Color, bar.HotTextColor);

    Hover(Link(1, 3).HitRect); // same group
    EXPECT_EQ(host.repaints.back(), (std::vector<TExGroup*>{&desktops}));

    Hover(Link(0, 0).HitRect); // another group: both
    EXPECT_EQ(host.repaints.back(), (std::vector<TExGroup*>{&desktops, &options}));
    Hover(Link(0, 0).HitRect); // no change, no repaint
    EXPECT_EQ(host.repaints.size(), 3u);

    Hover(options.HeaderRect);
    EXPECT_EQ(bar.HotObject(), &options);
    EXPECT_FALSE(host.tooltipActive);
    EXPECT_EQ(host.cursor, ExCursor::Hand);

    bar.MouseMove(2, 2, ExMouseState{});
    EXPECT_EQ(bar.HotObject(), nullptr);
    EXPECT_EQ(host.cursor, ExCursor::Arrow);
    EXPECT_EQ(host.renders, renders); // never a full render
}

TEST_F(ExBarTest, MovesWithAButtonOrModifierHeldChangeNothing) {
    FillLikeOptionsDialog();
    Hover(Link(1, 0).HitRect);
    const auto repaints = host.repaints.size();
    const int cursorSets = host.cursorSets;
    const ExRect other = Link(1, 1).HitRect;
    const ExMouseState held[] = {{.Buttons = true}, {.Shift = true}, {.Ctrl = true}, {.Alt = true}};
    for (const ExMouseState& state : held) {
        bar.MouseMove(MidX(other), MidY(other), state);
        EXPECT_EQ(bar.HotObject(), &Link(1, 0));
    }
    bar.MouseMove(1, 1, ExMouseState{.Buttons = true});
    EXPECT_EQ(bar.HotObject(), &Link(1, 0));
    EXPECT_EQ(host.repaints.size(), repaints);
    EXPECT_EQ(host.cursorSets, cursorSets);
}

TEST_F(ExBarTest, ClickRaisesTheIdOnlyWhenReleasedOverTheHotLink) {
    FillLikeOptionsDialog();
    bar.OnMenuItemClick = [this](TExBar& sender, int32_t id) {
        EXPECT_EQ(&sender, &bar);
        clicks.push_back(id);
    };
    // Press over "Desktop 1", drag (button held) to "Desktop 2", release there: nothing.
    Hover(Link(1, 0).HitRect);
    const ExRect other = Link(1, 1).HitRect;
    bar.MouseMove(MidX(other), MidY(other), ExMouseState{.Buttons = true});
    ReleaseOver(other);
    EXPECT_TRUE(clicks.empty());

    // Release over empty body space: nothing either.
    bar.MouseUp(200, MidY(other));
    EXPECT_TRUE(clicks.empty());

    Hover(Link(1, 2).HitRect);
    ReleaseOver(Link(1, 2).HitRect);
    EXPECT_EQ(clicks, (std::vector<int32_t>{12}));
    ReleaseOver(Link(1, 2).HitRect); // still hot: another click
    EXPECT_EQ(clicks, (std::vector<int32_t>{12, 12}));
}

TEST_F(ExBarTest, ClickOnTheHeaderTogglesTheGroup) {
    FillLikeOptionsDialog();
    TExGroup& desktops = bar.Groups[1];
    Hover(desktops.HeaderRect);
    ReleaseOver(desktops.HeaderRect);
    EXPECT_EQ(desktops.GroupState, ExGroupState::Collapsing);
    EXPECT_EQ(host.cursor, ExCursor::Hand);
}

TEST_F(ExBarTest, CheckItemsToggleWhenEnabled) {
    TExGroup& group = bar.Groups.AddGroup("G", false);
    TExCheckBox& check = group.AddItem<TExCheckBox>();
    check.Caption = "Flag";
    check.Id = 7;
    TExCheckBox& disabled = group.AddItem<TExCheckBox>();
    disabled.Caption = "Off";
    disabled.Id = 8;
    disabled.Enabled = false;
    bar.OnMenuItemClick = [this](TExBar&, int32_t id) { clicks.push_back(id); };
    bar.RefreshBar();
    EXPECT_EQ(check.HitRect, (ExRect{24, 48, 46 + 4 * 6, 64}));

    Hover(check.HitRect);
    ReleaseOver(check.HitRect);
    EXPECT_TRUE(check.Checked());
    EXPECT_EQ(clicks, (std::vector<int32_t>{7}));
    const auto* text = host.canvas.FindText("Flag");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->Font.Bold);
    EXPECT_TRUE(text->Font.Underline);
    ASSERT_FALSE(host.canvas.checks.empty());
    EXPECT_EQ(host.canvas.checks[0].State, 1);

    const int cursorSets = host.cursorSets;
    Hover(disabled.HitRect);
    EXPECT_EQ(host.cursorSets, cursorSets); // the cursor stays as it was
    ReleaseOver(disabled.HitRect);
    EXPECT_FALSE(disabled.Checked());
    EXPECT_EQ(clicks.size(), 1u);
    const auto* off = host.canvas.FindText("Off");
    ASSERT_NE(off, nullptr);
    EXPECT_FALSE(off->Font.Underline);
    EXPECT_EQ(off->Color, bar.TextColor);
}

TEST_F(ExBarTest, LeavingTheBarClearsTheHotObject) {
    FillLikeOptionsDialog();
    Hover(Link(1, 4).HitRect);
    bar.MouseLeave();
    EXPECT_EQ(bar.HotObject(), nullptr);
    EXPECT_EQ(host.repaints.back(), (std::vector<TExGroup*>{&bar.Groups[1]}));
    const auto* text = host.canvas.FindText("Desktop 5");
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->Font.Underline);
    const size_t repaints = host.repaints.size();
    bar.MouseLeave();
    EXPECT_EQ(host.repaints.size(), repaints);
}

TEST_F(ExBarTest, DestroyingTheHotObjectClearsIt) {
    FillLikeOptionsDialog();
    Hover(Link(1, 1).HitRect);
    bar.Groups[1].Items.erase(bar.Groups[1].Items.begin() + 1);
    EXPECT_EQ(bar.HotObject(), nullptr);
    Hover(bar.Groups[2].HeaderRect);
    bar.Groups.Delete(2);
    EXPECT_EQ(bar.HotObject(), nullptr);
}

TEST_F(ExBarTest, ClickHandlerMayRemoveTheClickedLink) {
    FillLikeOptionsDialog();
    bar.OnMenuItemClick = [this](TExBar&, int32_t) { bar.Groups[1].Items.clear(); };
    Hover(Link(1, 0).HitRect);
    ReleaseOver(Link(1, 0).HitRect);
    EXPECT_EQ(bar.HotObject(), nullptr);
    EXPECT_EQ(host.cursor, ExCursor::Arrow);
}

} // namespace
} // namespace ombrevane
