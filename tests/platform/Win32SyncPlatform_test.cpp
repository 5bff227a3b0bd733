// The lock and the instance registry over real named objects (run under Wine).

#include "app/JclAppInst.h"
#include "app/JclSynch.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32DesktopPlatform.h"
#include "platform/win32/Win32SyncPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace ombrevane {
namespace {

using win32::Win32DesktopPlatform;
using win32::Win32SyncPlatform;

// Names of this run only, so that parallel runs do not meet.
std::string UniqueName(const char* what) {
    return std::string("OmbrevaneTest_") + what + "_" + std::to_string(::GetCurrentProcessId());
}

TEST(Win32SyncPlatform, SharedMemoryIsSharedByName) {
    Win32SyncPlatform platform;
    const std::string name = UniqueName("section");
    SharedMemoryResult first = platform.OpenSharedMemory(name, 1032);
    ASSERT_EQ(first.error, SharedMemoryError::None);
    EXPECT_TRUE(first.memory->CreatedNew());
    SharedMemoryResult second = platform.OpenSharedMemory(name, 1032);
    ASSERT_EQ(second.error, SharedMemoryError::None);
    EXPECT_FALSE(second.memory->CreatedNew());
    first.memory->Data()[1031] = std::byte{0x5A};
    EXPECT_EQ(second.memory->Data()[1031], std::byte{0x5A});
}

TEST(Win32SyncPlatform, LockOverRealSharedMemoryExcludesOtherThreads) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 500;
    const std::string name = UniqueName("lock");
    Win32SyncPlatform platform;
    std::vector<std::unique_ptr<TJclOptex>> locks;
    for (int i = 0; i < kThreads; ++i) {
        // One lock object per thread, as separate processes would have.
        locks.push_back(std::make_unique<TJclOptex>(platform, name, 2));
    }
    long counter = 0;
    std::atomic<bool> overlap{false};
    std::atomic<int> inside{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            for (int round = 0; round < kRounds; ++round) {
                OptexGuard outer(*locks[i]);
                OptexGuard inner(*locks[i]);
                if (inside.fetch_add(1) != 0) {
                    overlap = true;
                }
                const long seen = counter;
                ::Sleep(0);
                counter = seen + 1;
                inside.fetch_sub(1);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(overlap);
    EXPECT_EQ(counter, long{kThreads} * kRounds);

    SharedMemoryResult record =
        platform.OpenSharedMemory(TJclOptex::RecordName(name), sizeof(OptexRecord));
    ASSERT_EQ(record.error, SharedMemoryError::None);
    OptexRecord fields{};
    std::memcpy(&fields, record.memory->Data(), sizeof(fields));
    EXPECT_EQ(fields.lockCount, 0);
    EXPECT_EQ(fields.ownerThreadId, 0u);
    EXPECT_EQ(fields.spinCount, platform.ProcessorCount() > 1 ? 2 : 0);
}

TEST(Win32SyncPlatform, ThreadGoneTellsRunningEndedAndReusedIds) {
    Win32SyncPlatform platform;
    const std::uint32_t self = platform.CurrentProcessId();
    EXPECT_EQ(self, ::GetCurrentProcessId());
    EXPECT_FALSE(platform.ThreadGone(::GetCurrentThreadId(), self));
    EXPECT_FALSE(platform.ThreadGone(::GetCurrentThreadId(), 0));
    // The id names a thread, but not one of that process.
    EXPECT_TRUE(platform.ThreadGone(::GetCurrentThreadId(), self + 4));

    std::uint32_t ended = 0;
    win32::UniqueKernelHandle held;
    std::thread([&] {
        ended = ::GetCurrentThreadId();
        held.reset(::OpenThread(SYNCHRONIZE, FALSE, ended));
    }).join();
    ASSERT_TRUE(held);
    ::WaitForSingleObject(held.get(), 5000);
    EXPECT_TRUE(platform.ThreadGone(ended, self)) << "ended, its handle still held";
    held.reset();
    EXPECT_TRUE(platform.ThreadGone(ended, self)) << "ended and closed";
}

// An owner thread that ends inside the lock: the next one takes over instead of waiting.
TEST(Win32SyncPlatform, LockOfAnEndedOwnerIsTakenOver) {
    const std::string name = UniqueName("gone");
    Win32SyncPlatform platform;
    TJclOptex owner(platform, name, 2);
    TJclOptex waiter(platform, name, 2);
    std::thread([&] { owner.Enter(); }).join();

    const DWORD start = ::GetTickCount();
    std::thread([&] {
        waiter.Enter();
        waiter.Leave();
    }).join();
    const DWORD waited = ::GetTickCount() - start;
    EXPECT_LT(waited, 10000u);
    std::printf("took over after %lu ms\n", static_cast<unsigned long>(waited));

    SharedMemoryResult record =
        platform.OpenSharedMemory(TJclOptex::RecordName(name), sizeof(OptexRecord));
    ASSERT_EQ(record.error, SharedMemoryError::None);
    OptexRecord fields{};
    std::memcpy(&fields, record.memory->Data(), sizeof(fields));
    EXPECT_EQ(fields.lockCount, 0);
    EXPECT_EQ(fields.ownerThreadId, 0u);
}

TEST(Win32SyncPlatform, RegistryAdmitsOneAndNamesItsSection) {
    Win32DesktopPlatform desktops;
    Win32SyncPlatform sync;
    const std::string instance = UniqueName("registry") + "\\x";
    auto first = std::make_unique<TJclAppInstances>(desktops, sync, instance);
    EXPECT_EQ(first->BaseName(), "Jcl" + UniqueName("registry") + "_x");
    EXPECT_TRUE(first->RegisterInstance(1));

    // The list is reachable under its documented name by any process.
    win32::UniqueKernelHandle section(
        ::OpenFileMappingA(FILE_MAP_READ, FALSE, (first->BaseName() + "_Map").c_str()));
    ASSERT_TRUE(section);
    win32::UniqueView view(::MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 1032));
    ASSERT_TRUE(view);
    const auto* bytes = static_cast<const unsigned char*>(view.get());
    auto count = [&] { return bytes[2] | (bytes[3] << 8); };
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(count(), 1);

    {
        TJclAppInstances second(desktops, sync, instance);
        EXPECT_FALSE(second.RegisterInstance(1));
        EXPECT_EQ(count(), 2);
    }
    EXPECT_EQ(count(), 1);
    first.reset();
    EXPECT_EQ(count(), 0);
}

// A name already taken by an object of another kind makes the creation fail, as a name
// squatted by another program would.
TEST(Win32SyncPlatform, RegistryFailuresNameTheObjectThatFailed) {
    Win32DesktopPlatform desktops;
    Win32SyncPlatform sync;
    struct Case {
        const char* suffix;
        const char* message;
    };
    const Case cases[] = {
        {"_Otx", "Failed to create event"},
        {"_Map", "Failed to create FileMapping"},
    };
    for (const Case& c : cases) {
        const std::string instance = UniqueName(c.suffix + 1);
        const std::string base = RegistryBaseName(instance);
        const std::string squatted =
            std::string(c.suffix) == "_Otx" ? TJclOptex::EventName(base + "_Otx") : base + "_Map";
        win32::UniqueKernelHandle squatter(::CreateMutexA(nullptr, FALSE, squatted.c_str()));
        ASSERT_TRUE(squatter);
        try {
            TJclAppInstances registry(desktops, sync, instance);
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const StartupError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

} // namespace
} // namespace ombrevane
