// The navigation bar's window under Wine: what lands in the back buffer, the scroll bar, the
// theme copy, the classic look and the arrow glyph resources.

#include "components/win32/ExBarControl.h"
#include "dialogs/OptionsBarContent.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

namespace ombrevane {
namespace {

TColor ToEx(COLORREF color) {
    return static_cast<TColor>(color & 0xFFFFFF);
}

HBITMAP LoadBlueImg() {
    return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), "BlueImg", IMAGE_BITMAP,
                                             0, 0, LR_CREATEDIBSECTION));
}

class ExBarControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "ExBarControlTestHost";
        ::RegisterClassA(&wc);
        host_.reset(::CreateWindowExA(0, "ExBarControlTestHost", "host",
                                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 500,
                                      nullptr, nullptr, wc.hInstance, nullptr));
        ASSERT_TRUE(host_) << "no window: is there a display for Wine?";
        control_ = ExBarControl::Create(host_.get());
        ASSERT_NE(control_, nullptr);
        icons_ = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
        for (int i = 0; i < 4; ++i) {
            ::ImageList_AddIcon(icons_, ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
        }
        control_->OnGroupPainted = [this](const TExGroup& g) { painted_.push_back(g.Caption()); };
        control_->OnRender = [this] { ++renders_; };
    }
    void TearDown() override {
        control_.reset();
        if (icons_ != nullptr) {
            ::ImageList_Destroy(icons_);
        }
    }

    void Fill(bool themed, int height) {
        TExBar& bar = control_->Bar();
        bar.LockUpdates();
        if (themed) {
            win32::UniqueGdiObject picture(LoadBlueImg());
            ASSERT_TRUE(picture) << "BlueImg resource missing";
            control_->ApplyTheme(static_cast<HBITMAP>(picture.get()));
        }
        control_->SetItemIcons(icons_);
        AddOptionsDialogGroups(bar);
        control_->SetBounds(0, 0, 180, height);
        bar.UnlockUpdates();
        ::ShowWindow(host_.get(), SW_SHOWNOACTIVATE);
        bar.RefreshBar();
    }

    TExMenuItem& Link(int group, int item) {
        return dynamic_cast<TExMenuItem&>(
            *control_->Bar().Groups[group].Items.at(static_cast<size_t>(item)));
    }
    TColor Pixel(int x, int y) const { return control_->Surface().BackBuffer().PixelAt(x, y); }
    // How often each colour occurs inside a rectangle of the back buffer.
    std::map<TColor, int> Colours(const ExRect& r) const {
        std::map<TColor, int> counts;
        for (int y = r.Top; y < r.Bottom; ++y) {
            for (int x = r.Left; x < r.Right; ++x) {
                ++counts[Pixel(x, y)];
            }
        }
        return counts;
    }
    // The longest run of `color` along one row of the rectangle.
    int LongestRun(const ExRect& r, TColor color) const {
        int best = 0;
        for (int y = r.Top; y < r.Bottom; ++y) {
            int run = 0;
            for (int x = r.Left; x < r.Right; ++x) {
                run = Pixel(x, y) == color ? run + 1 : 0;
                best = std::max(best, run);
            }
        }
        return best;
    }

    win32::UniqueWindow host_;
    std::unique_ptr<ExBarControl> control_;
    HIMAGELIST icons_ = nullptr;
    std::vector<std::string> painted_;
    int renders_ = 0;
};

TEST_F(ExBarControlTest, ThemedRenderShowsTheBlueColours) {
    Fill(true, 500);
    TExBar& bar = control_->Bar();
    EXPECT_EQ(bar.BackgroundColor, Rgb(122, 160, 230));
    EXPECT_EQ(bar.TextColor, Rgb(33, 93, 198));
    EXPECT_EQ(Pixel(3, 3), Rgb(122, 160, 230));
    const ExRect link = Link(1, 2).HitRect;
    EXPECT_GT(Colours(ExRect{link.Left + 18, link.Top, link.Right, link.Bottom})[Rgb(33, 93, 198)],
              10);
    // White caption on the special header, left of its button.
    const ExRect header = bar.Groups[0].HeaderRect;
    EXPECT_GT(Colours(ExRect{header.Left + 8, header.Top, header.Right - 25,
                             header.Bottom})[Rgb(255, 255, 255)],
              10);
    // The header's rounded corner shows the background colour taken from the picture.
    EXPECT_EQ(Pixel(header.Left, header.Top), Rgb(122, 160, 230));
    EXPECT_EQ(Pixel(header.Left + 2, header.Top + 10), Rgb(0, 73, 181));
}

TEST_F(ExBarControlTest, HotLinkIsUnderlinedInTheHotColourAndOnlyItsGroupRepainted) {
    Fill(true, 500);
    TExBar& bar = control_->Bar();
    const ExRect link = Link(1, 2).HitRect;
    const ExRect text{link.Left + 22, link.Top, link.Right, link.Bottom};
    EXPECT_EQ(Colours(text)[Rgb(66, 142, 255)], 0);
    const int renders = renders_;
    painted_.clear();
    bar.MouseMove((link.Left + link.Right) / 2, (link.Top + link.Bottom) / 2, ExMouseState{});
    EXPECT_EQ(painted_, (std::vector<std::string>{"Desktop Setting"}));
    EXPECT_EQ(renders_, renders);
    EXPECT_EQ(Colours(text)[Rgb(33, 93, 198)], 0);
    // The underline: one unbroken row of the hot colour nearly as wide as the text.
    EXPECT_GE(LongestRun(text, Rgb(66, 142, 255)), text.Width() - 4);

    // Over to a link of another group: both groups, nothing else.
    painted_.clear();
    const ExRect general = Link(0, 0).HitRect;
    bar.MouseMove(general.Left + 20, general.Top + 5, ExMouseState{});
    EXPECT_EQ(painted_, (std::vector<std::string>{"Desktop Setting", "Options"}));
    EXPECT_EQ(LongestRun(text, Rgb(66, 142, 255)), 0);
}

// What a hot-tracking repaint leaves in the back buffer is what a full render of the same
// state draws, and what reaches the screen is the back buffer, scrolled or not.
TEST_F(ExBarControlTest, HotTrackingRepaintMatchesAFullRenderAndReachesTheScreen) {
    struct Case {
        const char* name;
        int height;
        bool scrolled;
    };
    const Case cases[] = {{"whole bar shown", 500, false}, {"scrolled to the end", 300, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Fill(true, c.height);
        TExBar& bar = control_->Bar();
        if (c.scrolled) {
            ::SendMessageA(control_->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
            ASSERT_GT(control_->ScrollPosition(), 0);
        }
        // The rows the scroll or the first showing uncovered, painted as the message loop
        // would paint them.
        ::UpdateWindow(host_.get());
        const ExRect general = Link(0, 0).HitRect;
        const ExRect desktop3 = Link(1, 2).HitRect;
        // Hot on "General", then over to "Desktop 3": both groups repainted in place.
        bar.MouseMove(general.Left + 20, general.Top + 5, ExMouseState{});
        bar.MouseMove(desktop3.Left + 20, desktop3.Top + 5, ExMouseState{});
        const ExDibBuffer& buffer = control_->Surface().BackBuffer();
        const int width = buffer.Width();
        const int height = buffer.Height();
        std::vector<TColor> inPlace;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                inPlace.push_back(Pixel(x, y));
            }
        }

        // The screen: the surface window's pixels, read back into a buffer of our own.
        ExDibBuffer screen(width, height);
        {
            win32::WindowDc dc(control_->SurfaceHandle());
            ASSERT_NE(dc.get(), nullptr);
            ASSERT_TRUE(::BitBlt(screen.Dc(), 0, 0, width, height, dc.get(), 0, 0, SRCCOPY));
        }
        RECT visible{};
        ::GetClientRect(control_->Handle(), &visible);
        const int firstRow = control_->ScrollPosition();
        const int lastRow = std::min(height, firstRow + static_cast<int>(visible.bottom));
        // The scroll bar covers the surface's right end.
        const int lastColumn = std::min(width, static_cast<int>(visible.right));
        int screenDiffers = 0;
        for (int y = firstRow; y < lastRow; ++y) {
            for (int x = 0; x < lastColumn; ++x) {
                screenDiffers +=
                    screen.PixelAt(x, y) != inPlace[static_cast<size_t>(y * width + x)];
            }
        }
        EXPECT_EQ(screenDiffers, 0) << "pixels on screen that differ from the back buffer";

        bar.RefreshBar();
        int renderDiffers = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                renderDiffers += Pixel(x, y) != inPlace[static_cast<size_t>(y * width + x)];
            }
        }
        EXPECT_EQ(renderDiffers, 0) << "pixels a full render draws differently";
    }
}

TEST_F(ExBarControlTest, ScrollBarFollowsTheContentHeight) {
    Fill(true, 300); // 336 of content
    TExBar& bar = control_->Bar();
    EXPECT_TRUE(control_->VerticalScrollBarShown());
    RECT client{};
    ::GetClientRect(control_->Handle(), &client);
    EXPECT_LT(client.right, 180);
    EXPECT_EQ(bar.Groups[0].Width, client.right - 24);

    bar.Animate = false;
    bar.Groups[1].ToggleGroup();
    EXPECT_FALSE(control_->VerticalScrollBarShown());
    ::GetClientRect(control_->Handle(), &client);
    EXPECT_EQ(client.right, 180);
    EXPECT_EQ(bar.Groups[0].Width, 156);
    bar.Groups[1].ToggleGroup();
    EXPECT_TRUE(control_->VerticalScrollBarShown());

    // Scrolling moves the surface; the end of the range shows the last pixel row.
    ::SendMessageA(control_->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(control_->ScrollPosition(), 336 - 300);
    RECT surface{};
    ::GetWindowRect(control_->SurfaceHandle(), &surface);
    POINT origin{0, 0};
    ::ClientToScreen(control_->Handle(), &origin);
    EXPECT_EQ(surface.top, origin.y - 36);
}

TEST_F(ExBarControlTest, ThemeIsAPrivateCopy) {
    win32::UniqueGdiObject picture(LoadBlueImg());
    ASSERT_TRUE(picture);
    control_->ApplyTheme(static_cast<HBITMAP>(picture.get()));
    picture.reset(); // the caller discards its own
    Fill(false, 500);
    const ExRect header = control_->Bar().Groups[1].HeaderRect;
    // Normal header: white at its left, theme button at the right.
    EXPECT_EQ(Pixel(header.Left + 3, header.Top + 12), Rgb(255, 255, 255));
    EXPECT_EQ(Pixel(header.Right - 3, header.Top + 12), Rgb(210, 220, 249));
}

TEST_F(ExBarControlTest, UnusablePictureGivesTheClassicLook) {
    win32::WindowDc screen(nullptr);
    win32::UniqueGdiObject small(::CreateCompatibleBitmap(screen.get(), 100, 20));
    control_->ApplyTheme(static_cast<HBITMAP>(small.get()));
    EXPECT_FALSE(control_->Bar().HasThemePicture());
    EXPECT_EQ(control_->Bar().Color(), Rgb(255, 255, 255));
}

TEST_F(ExBarControlTest, ClassicHeadersAndTheArrowGlyphs) {
    Fill(false, 500);
    TExBar& bar = control_->Bar();
    const ExRect special = bar.Groups[0].HeaderRect;
    const ExRect normal = bar.Groups[1].HeaderRect;
    EXPECT_EQ(Pixel(special.Left + 2, special.Top + 2), ToEx(::GetSysColor(COLOR_ACTIVECAPTION)));
    EXPECT_EQ(Pixel(normal.Left + 2, normal.Top + 2), ToEx(::GetSysColor(COLOR_BTNFACE)));

    const auto glyphMatches = [&](const ExRect& header, const ExGlyphRows& rows, TColor color) {
        const int left = header.Left + bar.Groups[1].Width - 24;
        const int top = header.Top - 9 + 16;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const bool set = (rows[static_cast<size_t>(y)] & (0x80 >> x)) != 0;
                if ((Pixel(left + x, top + y) == color) != set) {
                    return false;
                }
            }
        }
        return true;
    };
    const TColor text = ToEx(::GetSysColor(COLOR_BTNTEXT));
    EXPECT_TRUE(glyphMatches(normal, GlyphRowsUp(), text));
    bar.Animate = false;
    bar.Groups[1].ToggleGroup();
    EXPECT_TRUE(glyphMatches(normal, GlyphRowsDown(), text));
}

TEST_F(ExBarControlTest, ArrowGlyphResourcesAreLinked) {
    const ExBarShared& shared = GetExBarShared();
    EXPECT_TRUE(shared.GlyphsFromResources);
    EXPECT_EQ(shared.Up, GlyphRowsUp());
    EXPECT_EQ(shared.Down, GlyphRowsDown());
    EXPECT_GT(shared.CheckWidth, 0);
    EXPECT_GT(shared.CheckHeight, 0);
    EXPECT_NE(shared.Hand, nullptr);
}

TEST_F(ExBarControlTest, CollapsingBodyFadesTowardTheBackground) {
    Fill(true, 500);
    TExBar& bar = control_->Bar();
    TExGroup& desktops = bar.Groups[1];
    const ExRect body = desktops.BodyRect;
    const int bodyX = body.Right - 5;
    const int bodyY = body.Top + 2;
    ASSERT_EQ(Pixel(bodyX, bodyY), Rgb(237, 242, 255));
    desktops.ToggleGroup();
    for (int i = 0; i < 8; ++i) {
        bar.TimerTick(desktops.TimerId());
    }
    ASSERT_EQ(desktops.GroupState, ExGroupState::Collapsing);
    const int current = desktops.CurrentHeight;
    const int full = desktops.FullHeight;
    const TColor expected =
        Rgb(BlendValue(237, 122, current, full), BlendValue(242, 160, current, full),
            BlendValue(255, 230, current, full));
    EXPECT_EQ(Pixel(bodyX, bodyY), expected) << current << "/" << full;
    EXPECT_EQ(Pixel(bodyX, body.Top + current), Rgb(122, 160, 230)); // below: background
}

TEST_F(ExBarControlTest, ResizeReplacesTheBackBufferAndTheNextPaintRendersAll) {
    Fill(true, 500);
    const int renders = renders_;
    control_->SetBounds(0, 0, 200, 500);
    EXPECT_EQ(control_->Surface().BackBuffer().Width(), 200);
    EXPECT_GT(renders_, renders);
    EXPECT_FALSE(control_->Surface().Dirty());
    EXPECT_EQ(control_->Bar().Groups[0].Width, 176);
}

TEST_F(ExBarControlTest, RendersDoNotLeakGdiObjects) {
    Fill(true, 300);
    TExBar& bar = control_->Bar();
    const ExRect link = Link(1, 2).HitRect;
    const auto cycle = [&] {
        bar.RefreshBar();
        bar.MouseMove(link.Left + 20, link.Top + 5, ExMouseState{});
        bar.MouseMove(2, 2, ExMouseState{});
    };
    cycle();
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0) {
        GTEST_SKIP() << "GetGuiResources gives no GDI object count here (a stub under Wine)";
    }
    for (int i = 0; i < 300; ++i) {
        cycle();
    }
    const DWORD after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_LE(after, before) << "GDI objects grew from " << before << " to " << after;
}

} // namespace
} // namespace ombrevane
