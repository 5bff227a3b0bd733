#include "app/JclAppInst.h"

#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeWindowStation;
using fake::PostedMessage;

constexpr const char* kExe = "C:\\Ombrevane\\bin\\ombrevane.exe";

TEST(InstanceNames, DeriveFromTheDesktopName) {
    struct Case {
        const char* desktop;
        const char* instance;
        const char* base;
    };
    const Case cases[] = {
        {"Default", "Defaulttileswitch", "JclDefaulttileswitch"},
        {"SecretDesktop##1", "SecretDesktop##1tileswitch", "JclSecretDesktop##1tileswitch"},
        {"", "tileswitch", "Jcltileswitch"},
        {"WinSta0\\a\\B", "WinSta0\\a\\Btileswitch", "JclWinSta0_a_Btileswitch"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InstanceName(c.desktop), c.instance);
        EXPECT_EQ(RegistryBaseName(InstanceName(c.desktop)), c.base);
    }
}

class InstanceListTest : public ::testing::Test {
protected:
    std::array<std::byte, InstanceList::kSize> bytes{};
    InstanceList list{bytes};

    unsigned Byte(std::size_t offset) const { return std::to_integer<unsigned>(bytes[offset]); }
};

TEST_F(InstanceListTest, IsPackedLittleEndian) {
    list.SetMaxInstances(0x0102);
    ASSERT_TRUE(list.Add(0x0A0B0C0D));
    ASSERT_TRUE(list.Add(0x11223344));
    const unsigned expected[] = {0x02, 0x01, 0x02, 0x00, 0x0D, 0x0C, 0x0B,
                                 0x0A, 0x44, 0x33, 0x22, 0x11, 0x00};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(Byte(i), expected[i]) << "offset " << i;
    }
}

TEST_F(InstanceListTest, RemovalKeepsTheOrderOfTheOthers) {
    struct Case {
        std::uint32_t removed;
        std::vector<std::uint32_t> left;
    };
    const Case cases[] = {
        {101, {102, 103}},
        {102, {101, 103}},
        {103, {101, 102}},
        {999, {101, 102, 103}},
    };
    for (const Case& c : cases) {
        bytes.fill(std::byte{0});
        for (std::uint32_t id : {101u, 102u, 103u}) {
            list.Add(id);
        }
        EXPECT_EQ(list.Remove(c.removed), c.removed != 999);
        ASSERT_EQ(list.Count(), c.left.size());
        for (std::size_t i = 0; i < c.left.size(); ++i) {
            EXPECT_EQ(list.ProcessIdAt(i), c.left[i]);
        }
        // The freed entry is cleared, not left holding a stale id.
        EXPECT_EQ(Byte(4 + 4 * c.left.size()), 0u);
        EXPECT_EQ(list.ProcessIdAt(c.left.size()), 0u);
    }
}

TEST_F(InstanceListTest, PositionsFromTheCountOnReadAsUnused) {
    list.Add(101);
    list.Add(102);
    // A stale id right behind the count, as a process that died mid-removal leaves it.
    bytes[4 + 4 * 2] = std::byte{0x77};
    EXPECT_EQ(list.ProcessIdAt(1), 102u);
    EXPECT_EQ(list.ProcessIdAt(2), 0u);
    EXPECT_EQ(list.ProcessIdAt(3), 0u);
}

TEST_F(InstanceListTest, AFullListRefusesWithoutStoring) {
    for (std::uint32_t id = 1; id <= InstanceList::kCapacity; ++id) {
        ASSERT_TRUE(list.Add(id));
    }
    const auto before = bytes;
    EXPECT_FALSE(list.Add(9999));
    EXPECT_EQ(bytes, before);
    EXPECT_EQ(list.Count(), 257);
    EXPECT_EQ(list.ProcessIdAt(256), 257u);
}

// The record may sit inside a larger mapping: nothing past its 1032 bytes is ever read.
TEST(InstanceListBounds, AFullListReadsNothingPastTheRecord) {
    std::array<std::byte, InstanceList::kSize + 8> mapping{};
    std::fill(mapping.begin() + InstanceList::kSize, mapping.end(), std::byte{0xEE});
    InstanceList list(
        std::span<std::byte, InstanceList::kSize>(mapping.data(), InstanceList::kSize));
    for (std::uint32_t id = 1; id <= InstanceList::kCapacity; ++id) {
        ASSERT_TRUE(list.Add(id));
    }
    EXPECT_EQ(list.ProcessIdAt(256), 257u);
    EXPECT_EQ(list.ProcessIdAt(257), 0u);
    EXPECT_EQ(list.ProcessIdAt(258), 0u);
    EXPECT_FALSE(list.Remove(0xEEEEEEEE));
    EXPECT_EQ(mapping[InstanceList::kSize], std::byte{0xEE});
}

TEST_F(InstanceListTest, ACorruptCountStaysInsideTheRecord) {
    bytes[2] = std::byte{0xFF};
    bytes[3] = std::byte{0xFF};
    EXPECT_EQ(list.ProcessIdAt(300), 0u);
    EXPECT_FALSE(list.Add(5));
    EXPECT_FALSE(list.Remove(5));
}

// Processes of one logon; each "process" has its own registry object, as in real life.
class RegistryTest : public ::testing::Test {
protected:
    FakeProcess& Process(std::uint32_t id, const std::string& desktop = "Default") {
        processes.push_back(std::make_unique<FakeProcess>(station, id, kExe, desktop));
        return *processes.back();
    }
    std::unique_ptr<TJclAppInstances> Registry(FakeProcess& process) {
        return std::make_unique<TJclAppInstances>(process, process,
                                                  InstanceName(process.ThreadDesktopName()));
    }
    // The instance list as a process of that desktop maps it.
    InstanceList ListOf(const std::string& desktop) {
        FakeProcess& reader = Process(1, desktop);
        views.push_back(reader
                            .OpenSharedMemory(RegistryBaseName(InstanceName(desktop)) + "_Map",
                                              InstanceList::kSize)
                            .memory);
        return InstanceList(
            std::span<std::byte, InstanceList::kSize>(views.back()->Data(), InstanceList::kSize));
    }

    FakeWindowStation station;
    std::vector<std::unique_ptr<FakeProcess>> processes;
    std::vector<std::unique_ptr<SharedMemory>> views;
};

TEST_F(RegistryTest, OneInstancePerDesktop) {
    auto first = Registry(Process(10));
    EXPECT_TRUE(first->RegisterInstance(1));
    EXPECT_EQ(ListOf("Default").MaxInstances(), 1);
    EXPECT_EQ(ListOf("Default").Count(), 1);

    {
        auto second = Registry(Process(11));
        EXPECT_FALSE(second->RegisterInstance(1));
        EXPECT_EQ(ListOf("Default").Count(), 2);
    }
    // The refused copy took its entry away when it ended.
    InstanceList list = ListOf("Default");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.ProcessIdAt(0), 10u);

    // Another desktop has a list of its own.
    auto elsewhere = Registry(Process(12, "SecretDesktop##1"));
    EXPECT_TRUE(elsewhere->RegisterInstance(1));
    EXPECT_EQ(ListOf("SecretDesktop##1").Count(), 1);
    EXPECT_EQ(ListOf("Default").Count(), 1);

    first.reset();
    EXPECT_EQ(ListOf("Default").Count(), 0);
    EXPECT_TRUE(Registry(Process(13))->RegisterInstance(1));
}

TEST_F(RegistryTest, TheFirstStoredMaximumStays) {
    auto first = Registry(Process(10));
    EXPECT_TRUE(first->RegisterInstance(2));
    auto second = Registry(Process(11));
    EXPECT_TRUE(second->RegisterInstance(1)); // the stored 2 counts, not this 1
    auto third = Registry(Process(12));
    EXPECT_FALSE(third->RegisterInstance(5));
    EXPECT_EQ(ListOf("Default").MaxInstances(), 2);
}

TEST_F(RegistryTest, AFullListRefusesWithoutStoring) {
    auto first = Registry(Process(10));
    ASSERT_TRUE(first->RegisterInstance(300));
    for (std::uint32_t id = 11; id < 10 + InstanceList::kCapacity; ++id) {
        ListOf("Default").Add(id);
    }
    ASSERT_EQ(ListOf("Default").Count(), 257);
    auto late = Registry(Process(5000));
    EXPECT_FALSE(late->RegisterInstance(300));
    EXPECT_EQ(ListOf("Default").Count(), 257);
    late.reset();
    EXPECT_EQ(ListOf("Default").Count(), 257);
    EXPECT_EQ(ListOf("Default").ProcessIdAt(0), 10u);
}

TEST_F(RegistryTest, CopiesStartingAtOnceAdmitExactlyOne) {
    constexpr int kCopies = 8;
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<std::unique_ptr<TJclAppInstances>> registries;
        for (int i = 0; i < kCopies; ++i) {
            registries.push_back(Registry(Process(1000 + trial * kCopies + i)));
        }
        std::atomic<int> admitted{0};
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int i = 0; i < kCopies; ++i) {
            threads.emplace_back([&, i] {
                while (!go) {
                    std::this_thread::yield();
                }
                if (registries[i]->RegisterInstance(1)) {
                    ++admitted;
                }
            });
        }
        go = true;
        for (std::thread& thread : threads) {
            thread.join();
        }
        EXPECT_EQ(admitted, 1) << "trial " << trial;
        EXPECT_EQ(ListOf("Default").Count(), kCopies);
        registries.clear();
        EXPECT_EQ(ListOf("Default").Count(), 0);
    }
}

TEST_F(RegistryTest, NotifiesTheApplicationWindowOfEveryListedInstance) {
    // Instance 10 has its application window on thread 7; a look-alike class does not count.
    station.AddWindow("Default", "TApplicationX", 10, 5);
    station.AddWindow("Default", "tapplication", 10, 6);
    station.AddWindow("Default", "TApplication", 10, 7);
    auto first = Registry(Process(10));
    ASSERT_TRUE(first->RegisterInstance(1));
    const std::uint32_t message = first->NotificationMessage();
    ASSERT_NE(message, 0u);

    station.posted.clear();
    auto second = Registry(Process(11));
    EXPECT_FALSE(second->RegisterInstance(1)); // refused: nobody is told
    EXPECT_TRUE(station.posted.empty());
    second.reset();
    // The refused copy's unregistration tells the remaining instance.
    ASSERT_EQ(station.posted.size(), 2u);
    for (const PostedMessage& posted : station.posted) {
        EXPECT_EQ(posted.threadId, 7u);
        EXPECT_EQ(posted.message, message);
        EXPECT_EQ(posted.wParam, TJclAppInstances::InstanceDestroyed);
        EXPECT_EQ(posted.lParam, 11);
    }
    EXPECT_EQ(station.posted[0].kind, PostedMessage::Kind::Thread);
    EXPECT_EQ(station.posted[1].kind, PostedMessage::Kind::NotifyThreadWindows);
}

// An instance's application window is the first "TApplication" window of its process in
// enumeration order; another process's window of that class, met earlier, is not it.
TEST_F(RegistryTest, TheApplicationWindowIsTheProcesssFirst) {
    const WindowId foreign = station.AddWindow("Default", "TApplication", 99, 3);
    const WindowId first = station.AddWindow("Default", "TApplication", 10, 7);
    station.AddWindow("Default", "TApplication", 10, 8);
    auto registry = Registry(Process(10));
    ASSERT_TRUE(registry->RegisterInstance(1));

    station.posted.clear();
    registry->NotifyInstances(TJclAppInstances::InstanceCreated, 10);
    ASSERT_EQ(station.posted.size(), 2u);
    for (const PostedMessage& posted : station.posted) {
        EXPECT_EQ(posted.threadId, 7u);
    }

    auto second = Registry(Process(11));
    ASSERT_FALSE(second->RegisterInstance(1));
    EXPECT_TRUE(second->ActivateInstance(0));
    EXPECT_EQ(station.foregroundRequests, (std::vector<WindowId>{first}));
    EXPECT_NE(station.foregroundRequests.front(), foreign);
}

// An instance killed inside the lock: a copy starting afterwards is refused at once (the
// running instance still counts) instead of waiting for good, and the running instance's
// own end still unregisters it.
TEST_F(RegistryTest, AnInstanceKilledInsideTheLockHoldsNobodyUp) {
    auto running = Registry(Process(10));
    ASSERT_TRUE(running->RegisterInstance(1));
    FakeProcess& killed = Process(20);
    TJclOptex killedLock(killed, "JclDefaulttileswitch_Otx", TJclAppInstances::kLockSpinCount);
    std::thread([&] { killedLock.Enter(); }).join();
    station.EndProcess(20);

    std::atomic<bool> refused{false};
    std::atomic<bool> ended{false};
    std::thread starting([&] {
        auto copy = Registry(Process(30));
        refused = !copy->RegisterInstance(1);
        copy.reset();
        running.reset();
        ended = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(ended) << "waited on for an instance that was killed";
    while (!ended) {
        Process(1).OpenAutoResetEvent(TJclOptex::EventName("JclDefaulttileswitch_Otx"))->Set();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    starting.join();
    EXPECT_TRUE(refused);
    EXPECT_EQ(ListOf("Default").Count(), 0);
}

TEST_F(RegistryTest, FailedThreadPostsAreRetriedButNotForever) {
    station.AddWindow("Default", "TApplication", 10, 7);
    FakeProcess& process = Process(10);
    auto registry = Registry(process);
    ASSERT_TRUE(registry->RegisterInstance(1));

    station.posted.clear();
    station.threadPostFailures = 3;
    registry->NotifyInstances(TJclAppInstances::InstanceCreated, 10);
    EXPECT_EQ(process.sleeps, 3);
    ASSERT_FALSE(station.posted.empty());
    EXPECT_EQ(station.posted[0].kind, PostedMessage::Kind::Thread);

    // A queue that never takes the message must not hang every starting copy.
    station.posted.clear();
    station.threadPostFailures = 1'000'000;
    process.sleeps = 0;
    registry->NotifyInstances(TJclAppInstances::InstanceCreated, 10);
    EXPECT_GT(process.sleeps, 0);
    EXPECT_LT(process.sleeps, 1000);
}

TEST_F(RegistryTest, ActivateInstanceBringsTheFirstInstanceForward) {
    const WindowId application = station.AddWindow("Default", "TApplication", 10, 7);
    auto first = Registry(Process(10));
    ASSERT_TRUE(first->RegisterInstance(1));
    auto second = Registry(Process(11));
    ASSERT_FALSE(second->RegisterInstance(1));

    EXPECT_TRUE(second->ActivateInstance(0));
    EXPECT_EQ(station.foregroundRequests, (std::vector<WindowId>{application}));

    // Position not in use, or the platform refuses: false.
    EXPECT_FALSE(second->ActivateInstance(5));
    station.foregroundRefused = true;
    EXPECT_FALSE(second->ActivateInstance(0));
    // Instance 11 owns no application window.
    EXPECT_FALSE(first->ActivateInstance(1));
}

TEST_F(RegistryTest, StartupFailuresNameTheObjectAndReleaseTheLock) {
    struct Case {
        bool failEvent;
        SharedMemoryError failList;
        const char* message;
    };
    const Case cases[] = {
        {true, SharedMemoryError::None, "Failed to create event"},
        {false, SharedMemoryError::Section, "Failed to create FileMapping"},
        {false, SharedMemoryError::View, "Failed to create FileMappingView"},
    };
    for (const Case& c : cases) {
        station.failEvents = c.failEvent;
        station.failSharedMemory = c.failList;
        station.failSharedMemoryName = "JclDefaulttileswitch_Map";
        try {
            Registry(Process(10));
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const StartupError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        station.failEvents = false;
        station.failSharedMemory = SharedMemoryError::None;
        // The lock was left on the error path: another thread gets it at once.
        std::thread([&] {
            FakeProcess& other = Process(11);
            TJclOptex lock(other, "JclDefaulttileswitch_Otx", 1);
            EXPECT_TRUE(lock.TryEnter()) << c.message;
            lock.Leave();
        }).join();
    }
}

} // namespace
} // namespace ombrevane
