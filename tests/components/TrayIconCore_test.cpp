#include "components/FakeTimerHost.h"
#include "components/TrayIconCore.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

using testing::FakeTimerHost;
namespace m = tray_message;

constexpr std::uint32_t kDoubleClickMs = 500;

// A tray icon whose platform is a fake clock, a settable cursor and key state.
class FakeTray : public TrayIconCore {
public:
    explicit FakeTray(const std::shared_ptr<FakeTimerHost>& host)
        : TrayIconCore(host), host_(host) {}

    std::optional<TPoint> cursor = TPoint{100, 200};
    int keys = 0;
    int popups = 0;
    int defaultItemRuns = 0;
    std::vector<std::string> log; // "<time> <event>"

    void Record(const std::string& what) { log.push_back(std::to_string(host_->now) + " " + what); }

protected:
    std::optional<TPoint> CursorPosition() override { return cursor; }
    int ModifierKeys() override { return keys; }
    std::uint32_t DoubleClickTime() override { return kDoubleClickMs; }
    void PopupAtCursor() override {
        ++popups;
        Record("popup");
    }
    void RunDefaultMenuItem() override { ++defaultItemRuns; }

private:
    std::shared_ptr<FakeTimerHost> host_;
};

struct Step {
    std::uint64_t at;
    std::uint32_t code;
};

struct ClickCase {
    const char* name;
    bool dblClickHandler;
    std::vector<Step> steps;
    std::vector<std::string> expected;
};

class ClickRule : public ::testing::TestWithParam<ClickCase> {};

TEST_P(ClickRule, ReportsClicksAndDoubleClicks) {
    const ClickCase& c = GetParam();
    auto host = std::make_shared<FakeTimerHost>();
    FakeTray tray(host);
    tray.OnClick = [&] { tray.Record("click"); };
    if (c.dblClickHandler) {
        tray.OnDblClick = [&] { tray.Record("dblclick"); };
    }
    for (const Step& step : c.steps) {
        host->Advance(step.at - host->now);
        tray.HandleCallback(step.code);
    }
    host->Advance(5000);
    EXPECT_EQ(tray.log, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tray, ClickRule,
    ::testing::Values(ClickCase{"SingleClickWaitsForTheDoubleClickTime",
                                true,
                                {{0, m::kLButtonDown}, {100, m::kLButtonUp}},
                                {"500 click"}},
                      ClickCase{"DoubleClickGivesOnlyDblClick",
                                true,
                                {{0, m::kLButtonDown},
                                 {80, m::kLButtonUp},
                                 {200, m::kLButtonDblClk},
                                 {260, m::kLButtonUp}},
                                {"200 dblclick"}},
                      ClickCase{"WithoutDblClickHandlerClickAtButtonUp",
                                false,
                                {{0, m::kLButtonDown}, {100, m::kLButtonUp}},
                                {"100 click"}},
                      ClickCase{"WithoutDblClickHandlerEachClickCounts",
                                false,
                                {{0, m::kLButtonDown},
                                 {80, m::kLButtonUp},
                                 {200, m::kLButtonDblClk},
                                 {260, m::kLButtonUp}},
                                {"80 click"}},
                      ClickCase{"PressHeldPastTheWaitClicksAtButtonUp",
                                true,
                                {{0, m::kLButtonDown}, {700, m::kLButtonUp}},
                                {"700 click"}},
                      ClickCase{"LongPressAfterAClickIsReportedOnce",
                                true,
                                {{0, m::kLButtonDown},
                                 {100, m::kLButtonUp},
                                 {1000, m::kLButtonDown},
                                 {1700, m::kLButtonUp}},
                                {"500 click", "1700 click"}},
                      ClickCase{"TwoSeparateClicks",
                                true,
                                {{0, m::kLButtonDown},
                                 {100, m::kLButtonUp},
                                 {2000, m::kLButtonDown},
                                 {2050, m::kLButtonUp}},
                                {"500 click", "2500 click"}},
                      ClickCase{"LateDoubleClickDoesNotSwallowTheNextClick",
                                true,
                                {{0, m::kLButtonDown},
                                 {100, m::kLButtonUp},
                                 {600, m::kLButtonDblClk},
                                 {650, m::kLButtonUp},
                                 {3000, m::kLButtonDown},
                                 {3100, m::kLButtonUp}},
                                {"500 click", "600 dblclick", "3500 click"}},
                      ClickCase{"ButtonUpWithoutDownIsNoClick", true, {{100, m::kLButtonUp}}, {}}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

TEST(TrayCallbacks, DisabledIgnoresMouseButNotBalloons) {
    auto host = std::make_shared<FakeTimerHost>();
    FakeTray tray(host);
    tray.SetEnabled(false);
    tray.SetWantEnterExitEvents(true);
    tray.OnClick = [&] { tray.Record("click"); };
    tray.OnDblClick = [&] { tray.Record("dblclick"); };
    tray.OnMouseDown = [&](TMouseButton, int, int, int) { tray.Record("down"); };
    tray.OnMouseUp = [&](TMouseButton, int, int, int) { tray.Record("up"); };
    tray.OnMouseMove = [&](int, int, int) { tray.Record("move"); };
    tray.OnMouseEnter = [&] { tray.Record("enter"); };
    tray.OnBalloonHintShow = [&] { tray.Record("show"); };
    tray.OnBalloonHintHide = [&] { tray.Record("hide"); };
    tray.OnBalloonHintTimeout = [&] { tray.Record("timeout"); };
    tray.OnBalloonHintClick = [&] { tray.Record("balloonclick"); };
    for (std::uint32_t code :
         {m::kMouseMove, m::kLButtonDown, m::kLButtonUp, m::kLButtonDblClk, m::kRButtonDown,
          m::kRButtonUp, m::kMButtonDown, m::kMButtonUp, m::kContextMenu, m::kSelect, m::kKeySelect,
          m::kBalloonShow, m::kBalloonHide, m::kBalloonTimeout, m::kBalloonUserClick}) {
        tray.HandleCallback(code);
    }
    host->Advance(2000);
    EXPECT_EQ(tray.log,
              (std::vector<std::string>{"0 show", "0 hide", "0 timeout", "0 balloonclick"}));
    EXPECT_EQ(tray.popups, 0);
    EXPECT_EQ(tray.defaultItemRuns, 0);
}

TEST(TrayCallbacks, ButtonsCarryTheirBitAndTheModifierKeys) {
    struct Case {
        std::uint32_t code;
        const char* expected;
    };
    const std::array<Case, 6> cases{{
        {m::kLButtonDown, "down 0 13 100 200"},
        {m::kLButtonUp, "up 0 13 100 200"},
        {m::kRButtonDown, "down 1 21 100 200"},
        {m::kRButtonUp, "up 1 21 100 200"},
        {m::kMButtonDown, "down 2 37 100 200"},
        {m::kMButtonUp, "up 2 37 100 200"},
    }};
    for (const Case& c : cases) {
        auto host = std::make_shared<FakeTimerHost>();
        FakeTray tray(host);
        tray.keys = kShiftShift | kShiftCtrl;
        std::string got;
        auto record = [&](const char* what) {
            return [&got, what](TMouseButton b, int shift, int x, int y) {
                got = std::string(what) + " " + std::to_string(static_cast<int>(b)) + " " +
                      std::to_string(shift) + " " + std::to_string(x) + " " + std::to_string(y);
            };
        };
        tray.OnMouseDown = record("down");
        tray.OnMouseUp = record("up");
        tray.HandleCallback(c.code);
        EXPECT_EQ(got, c.expected) << "code " << c.code;
    }
}

TEST(TrayCallbacks, PopupComesAtButtonDown) {
    auto host = std::make_shared<FakeTimerHost>();
    FakeTray tray(host);
    tray.HandleCallback(m::kLButtonDown);
    EXPECT_EQ(tray.popups, 0);
    tray.HandleCallback(m::kRButtonDown);
    EXPECT_EQ(tray.popups, 1);
    tray.SetLeftPopup(true);
    tray.HandleCallback(m::kLButtonDown);
    EXPECT_EQ(tray.popups, 2);
}

TEST(TrayCallbacks, DoubleClickRunsTheDefaultItemUnlessLeftPopup) {
    auto host = std::make_shared<FakeTimerHost>();
    FakeTray tray(host);
    tray.HandleCallback(m::kLButtonDblClk);
    EXPECT_EQ(tray.defaultItemRuns, 1);
    tray.SetLeftPopup(true);
    tray.HandleCallback(m::kLButtonDblClk);
    EXPECT_EQ(tray.defaultItemRuns, 1);
}

TEST(TrayCallbacks, CallbackStyleChoosesTheRightButtonRelease) {
    struct Case {
        int style;
        std::uint32_t code;
        bool reported;
    };
    const std::array<Case, 8> cases{{
        {0, m::kRButtonUp, true},
        {0, m::kContextMenu, false},
        {0, m::kSelect, false},
        {0, m::kKeySelect, false},
        {1, m::kRButtonUp, false},
        {1, m::kContextMenu, true},
        {1, m::kSelect, true},
        {1, m::kKeySelect, true},
    }};
    for (const Case& c : cases) {
        auto host = std::make_shared<FakeTimerHost>();
        FakeTray tray(host);
        tray.SetCallbackStyle(c.style);
        bool reported = false;
        tray.OnMouseUp = [&](TMouseButton b, int, int, int) {
            reported = b == TMouseButton::Right;
        };
        tray.HandleCallback(c.code);
        EXPECT_EQ(reported, c.reported) << "style " << c.style << " code " << c.code;
    }
}

TEST(TrayCallbacks, EnterAndExitFollowTheCursor) {
    auto host = std::make_shared<FakeTimerHost>();
    FakeTray tray(host);
    tray.OnMouseEnter = [&] { tray.Record("enter"); };
    tray.OnMouseExit = [&] { tray.Record("exit"); };
    tray.OnMouseMove = [&](int, int x, int y) {
        tray.Record("move " + std::to_string(x) + "," + std::to_string(y));
    };

    tray.HandleCallback(m::kMouseMove); // not wanted yet: no enter
    tray.SetWantEnterExitEvents(true);
    tray.HandleCallback(m::kMouseMove);
    host->Advance(100); // cursor still where the last move was
    tray.HandleCallback(m::kMouseMove);
    tray.cursor = TPoint{300, 200};
    host->Advance(20);
    host->Advance(100);         // gone already: one exit only
    tray.cursor = std::nullopt; // cursor unreadable: the last position is used
    tray.HandleCallback(m::kMouseMove);
    tray.SetWantEnterExitEvents(false);
    tray.cursor = TPoint{1, 1};
    host->Advance(100);

    EXPECT_EQ(tray.log, (std::vector<std::string>{"0 move 100,200", "0 enter", "0 move 100,200",
                                                  "100 move 100,200", "120 exit", "220 enter",
                                                  "220 move 100,200"}));
}

TEST(TrayFields, TextsAreCutToTheShellFields) {
    struct Case {
        std::size_t fieldSize;
        std::size_t textLength;
        std::size_t expectedLength;
    };
    const std::array<Case, 7> cases{{
        {128, 200, 127},
        {128, 127, 127},
        {128, 0, 0},
        {256, 300, 255},
        {256, 255, 255},
        {64, 64, 63},
        {64, 10, 10},
    }};
    for (const Case& c : cases) {
        std::vector<char> field(c.fieldSize, 'x');
        std::string text(c.textLength, 'a');
        CopyToField(field, text);
        EXPECT_EQ(std::string(field.data()), std::string(c.expectedLength, 'a'))
            << c.fieldSize << "/" << c.textLength;
        for (std::size_t i = c.expectedLength; i < field.size(); ++i) {
            ASSERT_EQ(field[i], '\0') << "byte " << i << " of " << c.fieldSize;
        }
    }
}

TEST(TrayFields, CycleIndices) {
    EXPECT_EQ(NextCycleIndex(0, 3), 1);
    EXPECT_EQ(NextCycleIndex(2, 3), 0);
    EXPECT_EQ(NextCycleIndex(0, 0), 0);
    EXPECT_EQ(NextCycleIndex(7, 3), 0);
    EXPECT_EQ(ClampIconIndex(5, 3), 2);
    EXPECT_EQ(ClampIconIndex(1, 3), 1);
    EXPECT_EQ(ClampIconIndex(4, 0), 0);
    EXPECT_EQ(ClampIconIndex(-1, 3), 0);
}

} // namespace
} // namespace ombrevane
