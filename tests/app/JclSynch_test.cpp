#include "app/JclSynch.h"

#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <atomic>
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
