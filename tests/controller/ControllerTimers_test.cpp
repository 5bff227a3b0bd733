// The controller's timers over plain system timers: what reaches the platform for each
// change of enabled state and interval.

#include "controller/ControllerTimers.h"

#include "ControllerFakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

using T = ControllerTimer;

TEST(ControllerTimers, NothingRunsBeforeTheWindowThenOnlyTheSecondTimer) {
    std::vector<std::string> log;
    test::FakeTimerPlatform platform(log);
    TControllerTimers timers(platform);
    timers.SetEnabled(T::TimerHotkeyDelay, false);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(timers.Running(T::Timer));

    timers.Activate();
    EXPECT_EQ(log, std::vector<std::string>{"start Timer 1000"});
    EXPECT_TRUE(timers.Running(T::Timer));
    for (const T timer : {T::TimerRestore, T::TimerHotkeyDelay, T::TimerCreatorFree}) {
        EXPECT_FALSE(timers.Enabled(timer));
        EXPECT_FALSE(timers.Running(timer));
    }
    EXPECT_EQ(timers.IntervalMs(T::TimerRestore), 10000u);
    EXPECT_EQ(timers.IntervalMs(T::TimerHotkeyDelay), 1000u);
    EXPECT_EQ(timers.IntervalMs(T::TimerCreatorFree), 10000u);
}

TEST(ControllerTimers, ChangesReachThePlatformOnlyWhenTheyChangeTheCount) {
    struct Case {
        const char* name;
        std::function<void(TControllerTimers&)> change;
        std::vector<std::string> calls; // after TimerRestore was enabled at 10000
        bool running;
    };
    const Case cases[] = {
        {"enabling again keeps the count",
         [](auto& t) { t.SetEnabled(T::TimerRestore, true); },
         {},
         true},
        {"the same interval keeps the count",
         [](auto& t) { t.SetIntervalMs(T::TimerRestore, 10000); },
         {},
         true},
        {"a new interval restarts",
         [](auto& t) { t.SetIntervalMs(T::TimerRestore, 60000); },
         {"start TimerRestore 60000"},
         true},
        {"disabling stops",
         [](auto& t) { t.SetEnabled(T::TimerRestore, false); },
         {"stop TimerRestore"},
         false},
        {"interval 0 stops",
         [](auto& t) { t.SetIntervalMs(T::TimerRestore, 0); },
         {"stop TimerRestore"},
         false},
        {"a new interval of a disabled timer waits",
         [](auto& t) {
             t.SetEnabled(T::TimerRestore, false);
             t.SetIntervalMs(T::TimerRestore, 5000);
             t.SetEnabled(T::TimerRestore, true);
         },
         {"stop TimerRestore", "start TimerRestore 5000"},
         true},
        {"back from interval 0",
         [](auto& t) {
             t.SetIntervalMs(T::TimerRestore, 0);
             t.SetIntervalMs(T::TimerRestore, 2000);
         },
         {"stop TimerRestore", "start TimerRestore 2000"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> log;
        test::FakeTimerPlatform platform(log);
        TControllerTimers timers(platform);
        timers.Activate();
        timers.SetEnabled(T::TimerRestore, true);
        log.clear();

        c.change(timers);

        EXPECT_EQ(log, c.calls);
        EXPECT_EQ(timers.Running(T::TimerRestore), c.running);
        EXPECT_EQ(platform.IsRunning(T::TimerRestore), c.running);
    }
}

TEST(ControllerTimers, AChangeBeforeTheWindowTakesEffectWithIt) {
    std::vector<std::string> log;
    test::FakeTimerPlatform platform(log);
    TControllerTimers timers(platform);
    timers.SetEnabled(T::Timer, false);
    timers.SetEnabled(T::TimerCreatorFree, true);
    timers.SetIntervalMs(T::TimerCreatorFree, 3000);
    EXPECT_TRUE(log.empty());
    timers.Activate();
    EXPECT_EQ(log, std::vector<std::string>{"start TimerCreatorFree 3000"});
}

} // namespace
} // namespace ombrevane
