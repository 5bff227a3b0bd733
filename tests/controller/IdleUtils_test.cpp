// The idle switch: who switches, when, and across the wrap of the tick count.

#include "controller/IdleUtils.h"

#include "ControllerFakes.h"
#include "controller/ControllerWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeWindowStation;

TEST(IdleSecondsBetween, CountsWholeSecondsAcrossTheWrap) {
    struct Case {
        std::uint32_t last;
        std::uint32_t now;
        std::uint32_t seconds;
    };
    const Case cases[] = {
        {0, 0, 0},
        {1000, 60999, 59},
        {1000, 61000, 60},
        {0xFFFFFFFFu - 999, 0xFFFFFFFFu, 0},
        // 49.7 days on: the count wrapped between the input and now.
        {0xFFFFF000u, 0x00010000u, 69},
        {0xFFFFFFFFu, 60000, 60},
        // The last input a moment after the tick read (a race): no huge idle time either.
        {5001, 5000, 4294967},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IdleSecondsBetween(c.last, c.now), c.seconds) << c.last << " " << c.now;
    }
}

class CheckIdleTest : public ::testing::Test {
protected:
    void SetUp() override {
        station.AddDesktop("Default");
        station.AddDesktop("SecretDesktop##1");
        station.AddDesktop("SecretDesktop##2");
        station.AddProcess(10, "C:\\o.exe");
        station.AddProcess(11, "C:\\o.exe");
        defaultController = station.AddWindow("Default", "TTileSwitchMainForm", 10);
        station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);
    }

    FakeWindowStation station;
    test::FakeIdleClock clock;
    WindowId defaultController = 0;
};

TEST_F(CheckIdleTest, OnlyTheShownCreatedDesktopSwitchesAfterMoreThanTheIdleTime) {
    struct Case {
        const char* name;
        const char* desktop;
        const char* input;
        std::int32_t idleSeconds;
        std::optional<std::uint32_t> lastInput;
        std::uint32_t now;
        bool switches;
    };
    const Case cases[] = {
        {"exactly the idle time", "SecretDesktop##1", "SecretDesktop##1", 60, 1000, 61000, false},
        {"a second more", "SecretDesktop##1", "SecretDesktop##1", 60, 1000, 62000, true},
        {"across the wrap", "SecretDesktop##1", "SecretDesktop##1", 60, 0xFFFF0000u, 0xFF00u, true},
        {"just before the wrap", "SecretDesktop##1", "SecretDesktop##1", 60, 0xFFFFFF00u, 59000,
         false},
        {"Default never switches", "Default", "Default", 60, 0, 600000, false},
        {"a desktop not shown", "SecretDesktop##1", "SecretDesktop##2", 60, 0, 600000, false},
        {"idle time 0", "SecretDesktop##1", "SecretDesktop##1", 0, 0, 600000, false},
        {"the platform cannot tell", "SecretDesktop##1", "SecretDesktop##1", 60, std::nullopt,
         600000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        station.SetInputDesktop(c.input);
        station.posted.clear();
        clock.lastInput = c.lastInput;
        clock.now = c.now;
        FakeProcess process(station, 11, "C:\\o.exe", c.desktop);

        CheckIdle(process, clock, c.idleSeconds);

        EXPECT_EQ(station.InputDesktop(), c.switches ? "Default" : c.input);
        if (c.switches) {
            // Announced like any switch.
            ASSERT_EQ(station.posted.size(), 1u);
            EXPECT_EQ(station.posted[0].window, defaultController);
            EXPECT_EQ(station.posted[0].message, WM_INTERNAL_SWITCH);
            EXPECT_EQ(station.posted[0].wParam, 0u);
        }
    }
}

TEST_F(CheckIdleTest, AFailedSwitchIsTriedAgainAtTheNextTick) {
    FakeWindowStation refusing;
    refusing.AddDesktop("Default", false, true);
    refusing.AddDesktop("SecretDesktop##1");
    refusing.SetInputDesktop("SecretDesktop##1");
    FakeProcess process(refusing, 11, "C:\\o.exe", "SecretDesktop##1");
    clock.lastInput = 0;
    clock.now = 120000;
    CheckIdle(process, clock, 60);
    CheckIdle(process, clock, 60);
    EXPECT_EQ(refusing.openAttempts, (std::vector<std::string>{"Default", "Default"}));
}

} // namespace
} // namespace ombrevane
