#include "app/JclSynch.h"

#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeWindowStation;

// Every process that opens the lock of this name shares its event and record.
constexpr const char* kLockName = "JclDefaulttileswitch_Otx";

OptexRecord ReadRecord(FakeProcess& process) {
    SharedMemoryResult memory =
        process.OpenSharedMemory(TJclOptex::RecordName(kLockName), sizeof(OptexRecord));
    OptexRecord record{};
    std::memcpy(&record, memory.memory->Data(), sizeof(record));
    return record;
}

// Runs f on its own thread and waits for it.
template <typename F> auto OnOtherThread(F f) {
    decltype(f()) result{};
    std::thread([&] { result = f(); }).join();
    return result;
}

TEST(TJclOptex, IsRecursiveForItsOwnerAndExcludesOtherThreads) {
    FakeWindowStation station;
    FakeProcess process(station, 1, "C:\\a.exe", "Default");
    TJclOptex lock(process, kLockName, 4000);
    FakeProcess otherProcess(station, 2, "C:\\a.exe", "Default");
    TJclOptex otherLock(otherProcess, kLockName, 4000);

    lock.Enter();
    lock.Enter();
    EXPECT_TRUE(lock.TryEnter());
    EXPECT_EQ(ReadRecord(process).recursionCount, 3);
    EXPECT_EQ(ReadRecord(process).lockCount, 3);

    EXPECT_FALSE(OnOtherThread([&] { return otherLock.TryEnter(); }));
    lock.Leave();
    lock.Leave();
    EXPECT_FALSE(OnOtherThread([&] { return otherLock.TryEnter(); }));
    lock.Leave();

    const OptexRecord freed = ReadRecord(process);
    EXPECT_EQ(freed.lockCount, 0);
    EXPECT_EQ(freed.ownerThreadId, 0u);
    EXPECT_TRUE(OnOtherThread([&] {
        const bool entered = otherLock.TryEnter();
        otherLock.Leave();
        return entered;
    }));
}

TEST(TJclOptex, SharedRecordContendedBySeveralThreadsAdmitsOneAtATime) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 2000;
    FakeWindowStation station;
    std::vector<std::unique_ptr<FakeProcess>> processes;
    std::vector<std::unique_ptr<TJclOptex>> locks;
    for (int i = 0; i < kThreads; ++i) {
        processes.push_back(
            std::make_unique<FakeProcess>(station, 100 + i, "C:\\a.exe", "Default"));
        // Small spin count so that waiting on the event is exercised too.
        locks.push_back(std::make_unique<TJclOptex>(*processes.back(), kLockName, 2));
    }
    long counter = 0; // guarded by the lock only
    std::atomic<int> inside{0};
    std::atomic<bool> overlap{false};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            TJclOptex& lock = *locks[i];
            for (int round = 0; round < kRounds; ++round) {
                lock.Enter();
                if (round % 7 == 0) {
                    lock.Enter(); // recursion under contention
                }
                if (inside.fetch_add(1) != 0) {
                    overlap = true;
                }
                // Give the others time to run into the held lock.
                const long seen = counter;
                std::this_thread::yield();
                counter = seen + 1;
                inside.fetch_sub(1);
                if (round % 7 == 0) {
                    lock.Leave();
                }
                lock.Leave();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(overlap);
    EXPECT_EQ(counter, long{kThreads} * kRounds);
    const OptexRecord record = ReadRecord(*processes.front());
    EXPECT_EQ(record.lockCount, 0);
    EXPECT_EQ(record.ownerThreadId, 0u);
    EXPECT_EQ(record.recursionCount, 0);
}

TEST(TJclOptex, SpinCountBoundsTheAttemptsOfTryEnter) {
    struct Case {
        unsigned processors;
        int spinCount;
        int attempts;
    };
    const Case cases[] = {
        {1, 4000, 1}, // one processor: the new record's spin count 0 stays, one attempt
        {2, 0, 1},    {2, -5, 1}, {2, 1, 1}, {2, 25, 25},
    };
    for (const Case& c : cases) {
        FakeWindowStation station;
        FakeProcess owner(station, 1, "C:\\a.exe", "Default");
        TJclOptex ownerLock(owner, kLockName, 0);
        ownerLock.Enter();

        FakeProcess contender(station, 2, "C:\\a.exe", "Default");
        contender.processorCount = c.processors;
        TJclOptex lock(contender, kLockName, c.spinCount);
        const bool entered = OnOtherThread([&] { return lock.TryEnter(); });

        EXPECT_FALSE(entered);
        EXPECT_EQ(contender.compareExchangeCalls, c.attempts)
            << c.processors << " processors, spin count " << c.spinCount;
        ownerLock.Leave();
    }
}

TEST(TJclOptex, LeaveByAThreadThatDoesNotOwnTheLockChangesNothing) {
    FakeWindowStation station;
    FakeProcess process(station, 1, "C:\\a.exe", "Default");
    TJclOptex lock(process, kLockName, 10);
    lock.Leave(); // never entered
    EXPECT_EQ(ReadRecord(process).lockCount, 0);

    lock.Enter();
    std::thread([&] { lock.Leave(); }).join();
    const OptexRecord record = ReadRecord(process);
    EXPECT_EQ(record.lockCount, 1);
    EXPECT_EQ(record.recursionCount, 1);
    EXPECT_NE(record.ownerThreadId, 0u);
    lock.Leave();
    EXPECT_EQ(ReadRecord(process).lockCount, 0);
}

// A process that dies inside the lock never leaves it. The next one must not wait for good:
// it finds the owner gone and takes the lock over, with the counts of the record set right.
TEST(TJclOptex, AnOwnerThatIsGoneIsTakenOver) {
    struct Case {
        const char* name;
        int ownerDepth;    // how deep the owner was inside when it died
        bool endProcess;   // the whole process died, not only the thread
        int waitersBefore; // waiting already when the owner died
    };
    const Case cases[] = {
        {"process killed inside", 1, true, 1}, {"process killed two levels deep", 2, true, 1},
        {"thread ended inside", 1, false, 1},  {"two waiters, one takes over", 1, true, 2},
        {"nobody waiting yet", 1, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindowStation station;
        FakeProcess dying(station, 1, "C:\\a.exe", "Default");
        // Kept: the named objects live on while the waiters hold them, as they do on Windows.
        TJclOptex dyingLock(dying, kLockName, 4000);
        std::uint32_t ownerThread = 0;
        std::thread([&] {
            for (int i = 0; i < c.ownerDepth; ++i) {
                dyingLock.Enter();
            }
            ownerThread = dying.CurrentThreadId();
        }).join();
        std::vector<std::unique_ptr<FakeProcess>> processes;
        std::vector<std::unique_ptr<TJclOptex>> locks;
        for (int i = 0; i < std::max(c.waitersBefore, 1); ++i) {
            processes.push_back(
                std::make_unique<FakeProcess>(station, 10 + i, "C:\\a.exe", "Default"));
            locks.push_back(std::make_unique<TJclOptex>(*processes.back(), kLockName, 10));
        }
        std::atomic<int> inside{0};
        std::atomic<int> overlap{0};
        std::atomic<int> done{0};
        std::vector<std::thread> waiters;
        auto work = [&](TJclOptex& lock) {
            lock.Enter();
            if (inside.fetch_add(1) != 0) {
                ++overlap;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            inside.fetch_sub(1);
            lock.Leave();
            ++done;
        };
        for (int i = 0; i < c.waitersBefore; ++i) {
            waiters.emplace_back([&, i] { work(*locks[i]); });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (c.endProcess) {
            station.EndProcess(1);
        } else {
            station.EndThread(ownerThread);
        }
        if (c.waitersBefore == 0) {
            waiters.emplace_back([&] { work(*locks[0]); });
        }
        const int expected = static_cast<int>(waiters.size());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (done < expected && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(done, expected) << "waited on for a gone owner";
        while (done < expected) {
            // Release whoever still waits, so the test can end.
            processes.front()->OpenAutoResetEvent(TJclOptex::EventName(kLockName))->Set();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        for (std::thread& waiter : waiters) {
            waiter.join();
        }
        EXPECT_EQ(overlap, 0);
        const OptexRecord record = ReadRecord(*processes.front());
        EXPECT_EQ(record.lockCount, 0);
        EXPECT_EQ(record.ownerThreadId, 0u);
        EXPECT_EQ(record.recursionCount, 0);
        // And the lock works on as before.
        EXPECT_TRUE(OnOtherThread([&] {
            const bool entered = locks.front()->TryEnter();
            locks.front()->Leave();
            return entered;
        }));
    }
}

// A live owner, however long it holds the lock, is never robbed of it.
TEST(TJclOptex, ALiveOwnerIsWaitedFor) {
    FakeWindowStation station;
    FakeProcess owner(station, 1, "C:\\a.exe", "Default");
    FakeProcess waiter(station, 2, "C:\\a.exe", "Default");
    TJclOptex ownerLock(owner, kLockName, 10);
    TJclOptex waiterLock(waiter, kLockName, 10);
    std::atomic<bool> entered{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        ownerLock.Enter();
        while (!release) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ownerLock.Leave();
    });
    while (ReadRecord(owner).ownerThreadId == 0) {
        std::this_thread::yield();
    }
    std::thread other([&] {
        waiterLock.Enter();
        entered = true;
        waiterLock.Leave();
    });
    // Long enough for several looks at the owner.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(entered);
    release = true;
    holder.join();
    other.join();
    EXPECT_TRUE(entered);
    EXPECT_EQ(ReadRecord(owner).lockCount, 0);
}

TEST(TJclOptex, MissingEventOrRecordIsAStartupError) {
    struct Case {
        bool failEvent;
        SharedMemoryError failRecord;
        const char* message;
    };
    const Case cases[] = {
        {true, SharedMemoryError::None, "Failed to create event"},
        {false, SharedMemoryError::Section, "Failed to create lock record"},
        {false, SharedMemoryError::View, "Failed to create lock record"},
    };
    for (const Case& c : cases) {
        FakeWindowStation station;
        station.failEvents = c.failEvent;
        station.failSharedMemory = c.failRecord;
        FakeProcess process(station, 1, "C:\\a.exe", "Default");
        try {
            TJclOptex lock(process, kLockName, 10);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const StartupError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

} // namespace
} // namespace ombrevane
