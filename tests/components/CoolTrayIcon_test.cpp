// The tray components against the real Win32 API (run under Wine in the virtual desktop
// "Default", whose task bar has a notification area).

#include "components/TrayWin32Helpers.h"
#include "components/win32/SimpleTimerHandler.h"
#include "components/win32/TextTrayIcon.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace ombrevane {
namespace {

using namespace std::chrono_literals;
using testing::IconInTray;
using testing::Picture;
using testing::PumpFor;
using testing::PumpUntil;
using testing::ReadIcon;
using win32::TTextTrayIcon;

constexpr std::uint32_t kYellow = 0xE8F30C; // red 232, green 243, blue 12
constexpr std::uint32_t kOrange = 0xDE8B30; // red 222, green 139, blue 48
constexpr std::uint32_t kWhite = 0xFFFFFF;

struct Pixel {
    int x;
    int y;
    std::uint32_t value;
};

std::vector<Pixel> PixelsOf(const IconPixels& pixels) {
    std::vector<Pixel> out;
    for (int y = 0; y < kTrayIconSize; ++y) {
        for (int x = 0; x < kTrayIconSize; ++x) {
            out.push_back({x, y, pixels[static_cast<std::size_t>(y * kTrayIconSize + x)]});
        }
    }
    return out;
}

bool OnFrame(const Pixel& p) {
    return p.x == 0 || p.y == 0 || p.x == kTrayIconSize - 1 || p.y == kTrayIconSize - 1;
}

// A plain top-level window that records what it is sent.
class RecordingWindow {
public:
    RecordingWindow() {
        static const ATOM atom = [] {
            WNDCLASSEXA wc{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = &Proc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "OmbrevaneTrayTestOwner";
            return ::RegisterClassExA(&wc);
        }();
        (void)atom;
        window_.reset(::CreateWindowExA(0, "OmbrevaneTrayTestOwner", "owner", WS_OVERLAPPEDWINDOW,
                                        10, 10, 200, 100, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), this));
    }
    HWND get() const { return window_.get(); }
    std::vector<UINT> messages;
    std::vector<WPARAM> commands;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<RecordingWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self != nullptr) {
            self->messages.push_back(msg);
            if (msg == WM_COMMAND) {
                self->commands.push_back(LOWORD(wParam));
            }
            if (msg == WM_INITMENUPOPUP) {
                // The menu is modal: close it again once it is up.
                ::PostMessageA(hwnd, WM_CANCELMODE, 0, 0);
                ::EndMenu();
            }
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    win32::UniqueWindow window_;
};

bool Seen(const RecordingWindow& w, UINT msg) {
    return std::find(w.messages.begin(), w.messages.end(), msg) != w.messages.end();
}

// ---- painting ----

TEST(TextTrayIconPaint, DesktopNumbersOnTheMainFormLook) {
    RecordingWindow owner;
    TTextTrayIcon tray(owner.get());
    win32::ApplyMainFormLook(tray);
    std::set<IconPixels> distinct;
    for (const char* text : {"1", "2", "3", "4", "5"}) {
        tray.SetText(text);
        testing::IconReadback icon = ReadIcon(tray.Icon());
        ASSERT_EQ(icon.color.size(), 256u);
        std::string picture = Picture(icon.color, icon.mask);
        int white = 0;
        int orange = 0;
        long sumX = 0;
        long sumY = 0;
        for (const Pixel& p : PixelsOf(icon.color)) {
            EXPECT_EQ(icon.mask[static_cast<std::size_t>(p.y * 16 + p.x)], 0u)
                << "transparent pixel at " << p.x << "," << p.y << picture;
            if (OnFrame(p)) {
                EXPECT_EQ(p.value, kYellow) << "frame at " << p.x << "," << p.y << picture;
                continue;
            }
            EXPECT_TRUE(p.value == kOrange || p.value == kWhite)
                << std::hex << p.value << " at " << std::dec << p.x << "," << p.y << picture;
            if (p.value == kWhite) {
                ++white;
                sumX += p.x;
                sumY += p.y;
            } else {
                ++orange;
            }
        }
        ASSERT_GE(white, 8) << text << picture;
        EXPECT_GE(orange, 120) << text << picture;
        // The digit sits near the middle, one pixel right of centre.
        double cx = static_cast<double>(sumX) / white;
        double cy = static_cast<double>(sumY) / white;
        EXPECT_NEAR(cx, 8.0, 2.0) << text << picture;
        EXPECT_NEAR(cy, 7.5, 2.5) << text << picture;
        distinct.insert(icon.color);
    }
    EXPECT_EQ(distinct.size(), 5u) << "every digit paints its own image";
}

TEST(TextTrayIconPaint, EmptyTextPaintsBackgroundAndFrameOnly) {
    TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    tray.SetText("");
    testing::IconReadback icon = ReadIcon(tray.Icon());
    for (const Pixel& p : PixelsOf(icon.color)) {
        EXPECT_EQ(p.value, OnFrame(p) ? kYellow : kOrange) << p.x << "," << p.y;
    }
}

TEST(TextTrayIconPaint, ColourNoneLeavesOnlyTextAndFrameVisible) {
    TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    tray.SetColor(kColorNone);
    tray.SetText("3");
    testing::IconReadback icon = ReadIcon(tray.Icon());
    std::string picture = Picture(icon.color, icon.mask);
    int transparent = 0;
    int white = 0;
    for (const Pixel& p : PixelsOf(icon.color)) {
        bool clear = icon.mask[static_cast<std::size_t>(p.y * 16 + p.x)] != 0;
        if (OnFrame(p)) {
            EXPECT_FALSE(clear) << p.x << "," << p.y << picture;
            EXPECT_EQ(p.value, kYellow);
        } else if (clear) {
            ++transparent;
            EXPECT_EQ(p.value, 0u) << "a transparent pixel has colour 0";
        } else {
            EXPECT_EQ(p.value, kWhite) << p.x << "," << p.y << picture;
            ++white;
        }
    }
    EXPECT_GE(white, 8) << picture;
    EXPECT_EQ(transparent + white, 14 * 14) << picture;
    EXPECT_EQ(tray.KeyColor(), 0x000000u); // the inverse of white
}

TEST(TextTrayIconPaint, ColourEqualToTheFontPaintsItsInverseOpaque) {
    TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    tray.SetColor(kColorWhite);
    tray.SetText("4");
    testing::IconReadback icon = ReadIcon(tray.Icon());
    std::string picture = Picture(icon.color, icon.mask);
    int black = 0;
    for (const Pixel& p : PixelsOf(icon.color)) {
        EXPECT_EQ(icon.mask[static_cast<std::size_t>(p.y * 16 + p.x)], 0u) << picture;
        if (!OnFrame(p) && p.value == 0) {
            ++black;
        }
    }
    EXPECT_GE(black, 120) << picture;
}

// Rows (inside the frame) that hold text pixels.
std::vector<int> TextRows(const IconPixels& pixels) {
    std::vector<int> rows;
    for (int y = 1; y < 15; ++y) {
        for (int x = 1; x < 15; ++x) {
            if (pixels[static_cast<std::size_t>(y * 16 + x)] == kWhite) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

// Runs of consecutive text rows: {first, last} of each block.
std::vector<std::pair<int, int>> Blocks(const std::vector<int>& rows) {
    std::vector<std::pair<int, int>> blocks;
    for (int row : rows) {
        if (blocks.empty() || row != blocks.back().second + 1) {
            blocks.push_back({row, row});
        } else {
            blocks.back().second = row;
        }
    }
    return blocks;
}

TEST(TextTrayIconPaint, TwoLinesDrawTwoBlocks) {
    TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    win32::TTrayFont smallFont = tray.Font();
    smallFont.height = -7;
    smallFont.name = "Small Fonts";
    tray.SetFont(smallFont);
    tray.Options().SetOffsetY(2); // keeps the bottom of the first line inside the frame
    tray.SetText("1\r2");
    IconPixels pixels = ReadIcon(tray.Icon()).color;
    auto blocks = Blocks(TextRows(pixels));
    ASSERT_EQ(blocks.size(), 2u) << Picture(pixels, {});

    // Two more pixels between the lines: the first line moves up by two (the block is
    // centred again), the second stays.
    tray.Options().SetLineDistance(2);
    IconPixels spread = ReadIcon(tray.Icon()).color;
    auto spreadBlocks = Blocks(TextRows(spread));
    ASSERT_EQ(spreadBlocks.size(), 2u) << Picture(spread, {});
    EXPECT_EQ(spreadBlocks[0].second, blocks[0].second - 2) << Picture(spread, {});
    EXPECT_EQ(spreadBlocks[1].first, blocks[1].first) << Picture(spread, {});
}

TEST(TextTrayIconPaint, OnlyRealChangesRebuild) {
    TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    tray.SetText("2");
    HICON before = tray.Icon();
    IconPixels pixels = ReadIcon(before).color;
    tray.Options().SetOffsetX(1); // unchanged
    EXPECT_EQ(tray.Icon(), before);
    tray.Options().SetOffsetX(2);
    ASSERT_NE(tray.Icon(), before);
    IconPixels shifted = ReadIcon(tray.Icon()).color;
    // Same digit, one pixel further right.
    for (int y = 1; y < 15; ++y) {
        for (int x = 2; x < 14; ++x) {
            bool was = pixels[static_cast<std::size_t>(y * 16 + x - 1)] == kWhite;
            bool is = shifted[static_cast<std::size_t>(y * 16 + x)] == kWhite;
            EXPECT_EQ(was, is) << x << "," << y << Picture(shifted, {});
        }
    }
}

TEST(TextTrayIconPaint, RebuildStopsCycling) {
    TTextTrayIcon tray(nullptr);
    tray.SetCycleInterval(100);
    tray.SetCycleIcons(true);
    tray.SetText("5");
    EXPECT_FALSE(tray.CycleIcons());
}

TEST(TextTrayIconPaint, BackgroundIconShowsThroughTheTextBackground) {
    // A background picture: left half red, right half transparent.
    IconImage picture{IconPixels(256, 0), std::vector<bool>(256, false)};
    for (int i = 0; i < 256; ++i) {
        bool left = (i % 16) < 8;
        picture.color[static_cast<std::size_t>(i)] = left ? 0xFFFF0000u : 0;
        picture.transparent[static_cast<std::size_t>(i)] = !left;
    }
    win32::UniqueIcon background = win32::CreateIconFromImage(picture);
    ASSERT_TRUE(background);
    TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    tray.SetBorder(false);
    tray.SetColor(kColorNone);
    tray.SetBackgroundIcon(background.get());
    tray.SetText("");
    testing::IconReadback icon = ReadIcon(tray.Icon());
    for (const Pixel& p : PixelsOf(icon.color)) {
        bool clear = icon.mask[static_cast<std::size_t>(p.y * 16 + p.x)] != 0;
        if (p.x < 8) {
            EXPECT_FALSE(clear) << p.x << "," << p.y;
            EXPECT_EQ(p.value, 0xFF0000u) << p.x << "," << p.y;
        } else {
            EXPECT_TRUE(clear) << p.x << "," << p.y;
        }
    }
}

// ---- timers ----

TEST(SimpleTimerWin32, OneShotFiresOnceAndUnknownIdsAreIgnored) {
    {
        TSimpleTimer timer(win32::AcquireSimpleTimerHandler(), 30);
        timer.SetOneShot(true);
        int fired = 0;
        timer.OnFire = [&](TSimpleTimer&) { ++fired; };
        HWND window = win32::SimpleTimerWindow();
        ASSERT_NE(window, nullptr);
        ::PostMessageA(window, WM_TIMER, timer.TimerId() + 77, 0);
        ASSERT_TRUE(timer.Start());
        EXPECT_TRUE(PumpUntil([&] { return fired > 0; }, 5s));
        PumpFor(200ms);
        EXPECT_EQ(fired, 1);
        EXPECT_FALSE(timer.Running());

        TSimpleTimer zero(win32::AcquireSimpleTimerHandler(), 0);
        EXPECT_FALSE(zero.Start());
    }
    EXPECT_EQ(win32::SimpleTimerWindow(), nullptr) << "the window goes with the last timer";
}

// ---- callbacks ----

TEST(TrayCallbackWin32, TwoIconsShareOneWindowAndGetOnlyTheirOwnCallbacks) {
    RecordingWindow owner;
    win32::TCoolTrayIcon first(owner.get());
    win32::TCoolTrayIcon second(owner.get());
    ASSERT_EQ(first.HandlerWindow(), second.HandlerWindow());
    ASSERT_NE(first.IconId(), second.IconId());
    HWND window = first.HandlerWindow();
    std::vector<std::string> log;
    first.OnClick = [&] { log.push_back("first click"); };
    second.OnClick = [&] { log.push_back("second click"); };
    second.OnDblClick = [&] { log.push_back("second dblclick"); };

    auto post = [&](std::uint32_t id, UINT code) {
        ::PostMessageA(window, tray_message::kCallback, id, code);
    };
    post(first.IconId(), WM_LBUTTONDOWN);
    post(first.IconId(), WM_LBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return !log.empty(); }, 2s));
    EXPECT_EQ(log, (std::vector<std::string>{"first click"}));

    // With a double-click handler the click waits for the double-click time.
    log.clear();
    post(second.IconId(), WM_LBUTTONDOWN);
    post(second.IconId(), WM_LBUTTONUP);
    PumpFor(std::chrono::milliseconds(::GetDoubleClickTime() / 4));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(PumpUntil([&] { return !log.empty(); }, 5s));
    EXPECT_EQ(log, (std::vector<std::string>{"second click"}));

    log.clear();
    post(second.IconId(), WM_LBUTTONDOWN);
    post(second.IconId(), WM_LBUTTONUP);
    post(second.IconId(), WM_LBUTTONDBLCLK);
    post(second.IconId(), WM_LBUTTONUP);
    post(first.IconId() + second.IconId() + 100, WM_LBUTTONUP); // nobody's
    PumpFor(std::chrono::milliseconds(::GetDoubleClickTime() + 300));
    EXPECT_EQ(log, (std::vector<std::string>{"second dblclick"}));

    // The window refuses to be closed.
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(window));
}

TEST(TrayCallbackWin32, HandlerAgreesToEndTheSessionAndOutlivesCloseRequests) {
    RecordingWindow owner;
    HWND window = nullptr;
    {
        win32::TCoolTrayIcon tray(owner.get());
        window = tray.HandlerWindow();
        EXPECT_EQ(::SendMessageA(window, WM_QUERYENDSESSION, 0, 0), 1);
        EXPECT_EQ(::SendMessageA(window, WM_CLOSE, 0, 0), 1);
        ASSERT_TRUE(::IsWindow(window));
        std::vector<std::string> log;
        tray.OnClick = [&] { log.push_back("click"); };
        ::PostMessageA(window, tray_message::kCallback, tray.IconId(), WM_LBUTTONDOWN);
        ::PostMessageA(window, tray_message::kCallback, tray.IconId(), WM_LBUTTONUP);
        EXPECT_TRUE(PumpUntil([&] { return !log.empty(); }, 2s)) << "still routing callbacks";
    }
    EXPECT_FALSE(::IsWindow(window)) << "the window goes with its last icon";
    EXPECT_EQ(win32::TTrayIconHandler::CurrentWindow(), nullptr);
}

TEST(TrayCallbackWin32, RightButtonShowsTheMenuAndDoubleClickRunsTheDefaultItem) {
    RecordingWindow owner;
    win32::UniqueMenu menu(::CreatePopupMenu());
    ::AppendMenuA(menu.get(), MF_STRING, 41, "First");
    ::AppendMenuA(menu.get(), MF_STRING, 42, "Options");
    ::SetMenuDefaultItem(menu.get(), 42, FALSE);
    win32::TCoolTrayIcon tray(owner.get());
    tray.SetPopupMenu(menu.get());

    ::SendMessageA(tray.HandlerWindow(), tray_message::kCallback, tray.IconId(), WM_RBUTTONDOWN);
    EXPECT_TRUE(Seen(owner, WM_INITMENUPOPUP)) << "the menu was not shown";
    EXPECT_TRUE(PumpUntil([&] { return Seen(owner, WM_NULL); }, 2s)) << "no WM_NULL after the menu";

    ::SendMessageA(tray.HandlerWindow(), tray_message::kCallback, tray.IconId(), WM_LBUTTONDBLCLK);
    EXPECT_TRUE(PumpUntil([&] { return !owner.commands.empty(); }, 2s));
    EXPECT_EQ(owner.commands, (std::vector<WPARAM>{42}));
}

TEST(TrayCallbackWin32, MinimiseSendsTheOwnerToTheTray) {
    RecordingWindow owner;
    RecordingWindow application;
    win32::TCoolTrayIcon tray(owner.get(), application.get());
    tray.SetMinimizeToTray(true);
    int minimised = 0;
    tray.OnMinimizeToTray = [&] { ++minimised; };

    ::ShowWindow(owner.get(), SW_SHOWNORMAL);
    ::ShowWindow(application.get(), SW_SHOWNORMAL);
    ::SendMessageA(owner.get(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimised, 1);
    EXPECT_FALSE(::IsWindowVisible(owner.get()));
    EXPECT_FALSE(::IsWindowVisible(application.get()));
    EXPECT_FALSE(::IsIconic(owner.get())) << "the minimise itself is swallowed";

    ::ShowWindow(owner.get(), SW_SHOWNORMAL);
    ::ShowWindow(application.get(), SW_SHOWNORMAL);
    ::SendMessageA(application.get(), WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(minimised, 1) << "the application path raises no event";
    EXPECT_FALSE(::IsWindowVisible(owner.get()));

    tray.SetMinimizeToTray(false);
    ::ShowWindow(owner.get(), SW_SHOWNORMAL);
    ::SendMessageA(owner.get(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimised, 1);
    EXPECT_TRUE(::IsWindowVisible(owner.get()));
}

// ---- the notification area ----

class TrayShell : public ::testing::Test {
protected:
    void SetUp() override {
        // The task bar of the virtual desktop comes up with the first window of the process.
        RecordingWindow probe;
        if (!PumpUntil([] { return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }, 30s)) {
            FAIL() << "no notification area: run under Wine with \"Default\" as a virtual "
                      "desktop with a task bar (tests/wine/env.sh wine_env_up)";
        }
    }
};

TEST_F(TrayShell, IconIsAddedUpdatedAndRemoved) {
    RecordingWindow owner;
    HWND window = nullptr;
    UINT id = 0;
    {
        TTextTrayIcon keeper(owner.get()); // keeps the shared window alive
        {
            TTextTrayIcon tray(owner.get());
            win32::ApplyMainFormLook(tray);
            tray.SetText("3");
            window = tray.HandlerWindow();
            id = tray.IconId();
            EXPECT_FALSE(tray.ShowBalloon("Ombrevane", "hidden", win32::TBalloonHintIcon::Info, 10))
                << "a balloon on a hidden icon fails";
            tray.SetIconVisible(true);
            ASSERT_TRUE(PumpUntil([&] { return IconInTray(window, id); }, 30s));
            EXPECT_TRUE(tray.AddToTray() == false) << "a second add of the same icon fails";
            EXPECT_TRUE(
                tray.ShowBalloon("Ombrevane", "Started", win32::TBalloonHintIcon::Info, 10));
            tray.SetText("4");
            EXPECT_TRUE(tray.UpdateInTray());
        }
        EXPECT_FALSE(IconInTray(window, id)) << "destroying the component removes its icon";
    }
}

TEST_F(TrayShell, IconComesBackAfterTaskbarCreated) {
    RecordingWindow owner;
    TTextTrayIcon shown(owner.get());
    TTextTrayIcon hidden(owner.get());
    win32::ApplyMainFormLook(shown);
    win32::ApplyMainFormLook(hidden);
    shown.SetText("2");
    hidden.SetText("5");
    shown.SetIconVisible(true);
    HWND window = shown.HandlerWindow();
    ASSERT_TRUE(PumpUntil([&] { return IconInTray(window, shown.IconId()); }, 30s));

    // As if the shell had restarted: the icon is gone, then the shell announces itself.
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = shown.IconId();
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &data));
    ASSERT_FALSE(IconInTray(window, shown.IconId()));
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return IconInTray(window, shown.IconId()); }, 10s));
    EXPECT_FALSE(IconInTray(window, hidden.IconId())) << "a hidden icon stays hidden";
}

} // namespace
} // namespace ombrevane
