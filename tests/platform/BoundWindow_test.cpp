// Windows bound to their owners, and the class registered once (run under Wine).

#include "platform/MessagePump.h"
#include "platform/win32/BoundWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

using namespace std::chrono_literals;
using win32::BoundWindow;
using win32::WindowPlacement;

constexpr char kClass[] = "OmbrevaneBoundWindowTest";
constexpr UINT kMsgWho = WM_APP + 1;
constexpr UINT kMsgThrow = WM_APP + 2;

// Records what reaches it, and whether the window was known to its binding at that moment.
class Recorder final : private win32::WindowOwner {
public:
    explicit Recorder(int name) : name_(name) {}

    bool Create(HWND parent = nullptr, DWORD style = WS_POPUP) {
        WindowPlacement placement;
        placement.style = style;
        placement.width = 50;
        placement.height = 50;
        placement.parent = parent;
        return window.Create(
            *this, {.name = kClass, .cursor = win32::SystemCursor(win32::kIdcArrow)}, placement);
    }

    std::vector<UINT> messages;
    bool boundAtCreate = false;
    // Last, so that the window goes first.
    BoundWindow window;

private:
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        switch (message) {
        case WM_CREATE:
            boundAtCreate = window.get() == hwnd;
            break;
        case kMsgWho:
            return name_;
        case kMsgThrow:
            throw std::runtime_error("The settings file cannot be written.");
        default:
            break;
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }

    int name_;
};

bool Saw(const std::vector<UINT>& messages, UINT message) {
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

TEST(BoundWindow, OwnerHearsEveryMessageFromNcCreateToNcDestroy) {
    Recorder owner(1);
    ASSERT_TRUE(owner.Create());
    const HWND hwnd = owner.window.get();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_FALSE(owner.messages.empty());
    EXPECT_EQ(owner.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(owner.boundAtCreate) << "the handle is known from the first message on";
    EXPECT_EQ(::SendMessageA(hwnd, kMsgWho, 0, 0), 1);

    owner.window.Destroy();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(owner.window);
    EXPECT_TRUE(Saw(owner.messages, WM_DESTROY));
    EXPECT_EQ(owner.messages.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(BoundWindow, WindowsOfOneClassEachReachTheirOwnOwner) {
    Recorder first(1);
    Recorder second(2);
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_EQ(::SendMessageA(first.window.get(), kMsgWho, 0, 0), 1);
    EXPECT_EQ(::SendMessageA(second.window.get(), kMsgWho, 0, 0), 2);

    // Registered once: a later request with another cursor finds the class as it was.
    EXPECT_TRUE(win32::EnsureWindowClass({.name = kClass,
                                          .procedure = &::DefWindowProcA,
                                          .cursor = win32::SystemCursor(win32::kIdcHand)}));
    Recorder third(3);
    ASSERT_TRUE(third.Create());
    EXPECT_EQ(::SendMessageA(third.window.get(), kMsgWho, 0, 0), 3);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrA(third.window.get(), GCLP_HCURSOR)),
              win32::SystemCursor(win32::kIdcArrow));
}

TEST(BoundWindow, WindowDestroyedWithItsParentLeavesTheBindingEmpty) {
    Recorder parent(1);
    Recorder child(2);
    ASSERT_TRUE(parent.Create());
    ASSERT_TRUE(child.Create(parent.window.get(), WS_CHILD));
    const HWND childWindow = child.window.get();

    parent.window.Destroy();
    EXPECT_FALSE(::IsWindow(childWindow));
    EXPECT_FALSE(child.window) << "no stale handle is left to be destroyed again";
    EXPECT_EQ(child.messages.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(BoundWindow, AnExceptionReachesTheErrorReportAndTheWindowGoesOn) {
    Recorder owner(7);
    ASSERT_TRUE(owner.Create());
    testing::ErrorReportAnswerer report;
    EXPECT_EQ(::SendMessageA(owner.window.get(), kMsgThrow, 0, 0), 0);
    EXPECT_EQ(report.texts, (std::vector<std::string>{"The settings file cannot be written."}));
    EXPECT_EQ(::SendMessageA(owner.window.get(), kMsgWho, 0, 0), 7);
}

TEST(BoundWindow, WindowThatCannotBeCreatedLeavesTheBindingEmpty) {
    Recorder owner(1);
    // A child window needs a parent.
    EXPECT_FALSE(owner.Create(nullptr, WS_CHILD));
    EXPECT_FALSE(owner.window);
}

} // namespace
} // namespace ombrevane
