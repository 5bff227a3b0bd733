#include "components/FakeTimerHost.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace ombrevane {
namespace {

using testing::FakeTimerHost;

TEST(SimpleTimer, ZeroPeriodNeverStarts) {
    auto host = std::make_shared<FakeTimerHost>();
    TSimpleTimer timer(host, 0);
    EXPECT_FALSE(timer.Start());
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(host->SystemTimerCount(), 0u);
}

TEST(SimpleTimer, RefusedSystemTimerIsNotRunning) {
    auto host = std::make_shared<FakeTimerHost>();
    host->refuseStart = true;
    TSimpleTimer timer(host, 100);
    EXPECT_FALSE(timer.Start());
    EXPECT_FALSE(timer.Running());
}

TEST(SimpleTimer, PeriodicFiresEveryPeriodUntilStopped) {
    auto host = std::make_shared<FakeTimerHost>();
    TSimpleTimer timer(host, 100);
    std::vector<std::uint64_t> fired;
    timer.OnFire = [&](TSimpleTimer& sender) {
        EXPECT_EQ(&sender, &timer);
        fired.push_back(host->now);
    };
    ASSERT_TRUE(timer.Start());
    host->Advance(350);
    timer.Stop();
    host->Advance(500);
    EXPECT_EQ(fired, (std::vector<std::uint64_t>{100, 200, 300}));
    EXPECT_FALSE(host->IsSystemTimerSet(timer.TimerId()));
}

TEST(SimpleTimer, OneShotIsStoppedBeforeItsHandlerRuns) {
    auto host = std::make_shared<FakeTimerHost>();
    TSimpleTimer timer(host, 50);
    timer.SetOneShot(true);
    int fired = 0;
    std::optional<bool> runningInHandler;
    timer.OnFire = [&](TSimpleTimer& sender) {
        ++fired;
        runningInHandler = sender.Running();
    };
    ASSERT_TRUE(timer.Start());
    host->Advance(500);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(runningInHandler, false);
    EXPECT_EQ(host->SystemTimerCount(), 0u);
}

TEST(SimpleTimer, OneShotHandlerMayRestartIt) {
    auto host = std::make_shared<FakeTimerHost>();
    TSimpleTimer timer(host, 50);
    timer.SetOneShot(true);
    int fired = 0;
    timer.OnFire = [&](TSimpleTimer& sender) {
        if (++fired < 3) {
            sender.Start();
        }
    };
    ASSERT_TRUE(timer.Start());
    host->Advance(1000);
    EXPECT_EQ(fired, 3);
}

TEST(SimpleTimer, UnknownIdsAreIgnored) {
    auto host = std::make_shared<FakeTimerHost>();
    TSimpleTimer timer(host, 50);
    int fired = 0;
    timer.OnFire = [&](TSimpleTimer&) { ++fired; };
    host->Dispatch(timer.TimerId() + 1000);
    host->Dispatch(0);
    EXPECT_EQ(fired, 0);
    host->Dispatch(timer.TimerId());
    EXPECT_EQ(fired, 1);
}

TEST(SimpleTimer, IntervalChanges) {
    auto host = std::make_shared<FakeTimerHost>();
    TSimpleTimer timer(host, 100);
    std::vector<std::uint64_t> fired;
    timer.OnFire = [&](TSimpleTimer&) { fired.push_back(host->now); };
    ASSERT_TRUE(timer.Start());
    host->Advance(50);
    int starts = host->starts;
    timer.SetIntervalMs(100); // unchanged: no restart
    EXPECT_EQ(host->starts, starts);
    timer.SetIntervalMs(0); // pauses, still counted as running
    EXPECT_TRUE(timer.Running());
    host->Advance(1000);
    EXPECT_TRUE(fired.empty());
    timer.SetIntervalMs(30); // restarts with the new period
    host->Advance(100);
    EXPECT_EQ(fired, (std::vector<std::uint64_t>{1080, 1110, 1140}));
}

TEST(SimpleTimer, IntervalChangeOfStoppedTimerDoesNotStartIt) {
    auto host = std::make_shared<FakeTimerHost>();
    TSimpleTimer timer(host, 100);
    timer.SetIntervalMs(20);
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(host->SystemTimerCount(), 0u);
}

TEST(SimpleTimer, IdsAreUniqueAndDestructionReleasesTheHost) {
    auto host = std::make_shared<FakeTimerHost>();
    std::weak_ptr<FakeTimerHost> watch = host;
    {
        auto a = std::make_unique<TSimpleTimer>(host, 10);
        auto b = std::make_unique<TSimpleTimer>(host, 10);
        EXPECT_NE(a->TimerId(), b->TimerId());
        EXPECT_EQ(host->UserCount(), 2u);
        ASSERT_TRUE(a->Start());
        a.reset(); // destroying a running timer stops its system timer
        EXPECT_EQ(host->SystemTimerCount(), 0u);
        EXPECT_EQ(host->UserCount(), 1u);
        host.reset();
        EXPECT_FALSE(watch.expired());
    }
    EXPECT_TRUE(watch.expired());
}

TEST(SimpleTimer, HandlerMayDestroyTheLastTimer) {
    std::unique_ptr<TSimpleTimer> timer;
    {
        auto host = std::make_shared<FakeTimerHost>();
        timer = std::make_unique<TSimpleTimer>(host, 10);
        timer->OnFire = [&](TSimpleTimer&) { timer.reset(); };
        ASSERT_TRUE(timer->Start());
        host->Advance(100);
    }
    EXPECT_EQ(timer, nullptr);
}

} // namespace
} // namespace ombrevane
