#include "app/JclAppInst.h"

#include <algorithm>
#include <cstring>

namespace ombrevane {

namespace {

// A hung instance with a full queue must not keep every starting copy waiting for good.
constexpr int kMaxPostAttempts = 200;

} // namespace

std::string InstanceName(std::string_view desktopName) {
    return std::string(desktopName) + "tileswitch";
}

std::string RegistryBaseName(std::string_view instanceName) {
    std::string base = "Jcl" + std::string(instanceName);
    std::replace(base.begin(), base.end(), '\\', '_');
    return base;
}

std::uint16_t InstanceList::ReadU16(std::size_t offset) const {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(bytes_[offset]) |
                                      (std::to_integer<unsigned>(bytes_[offset + 1]) << 8));
}

void InstanceList::WriteU16(std::size_t offset, std::uint16_t value) {
    bytes_[offset] = static_cast<std::byte>(value & 0xFF);
    bytes_[offset + 1] = static_cast<std::byte>(value >> 8);
}

std::uint32_t InstanceList::ReadU32(std::size_t offset) const {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::to_integer<std::uint32_t>(bytes_[offset + i]) << (8 * i);
    }
    return value;
}

void InstanceList::WriteU32(std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes_[offset + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
    }
}

std::size_t InstanceList::UsedEntries() const {
    return std::min<std::size_t>(Count(), kCapacity);
}

std::uint32_t InstanceList::ProcessIdAt(std::size_t position) const {
    if (position >= UsedEntries()) {
        return 0;
    }
    return ReadU32(4 + 4 * position);
}

bool InstanceList::Add(std::uint32_t processId) {
    const std::size_t count = UsedEntries();
    if (count >= kCapacity) {
        return false;
    }
    WriteU32(4 + 4 * count, processId);
    WriteU16(2, static_cast<std::uint16_t>(count + 1));
    return true;
}

bool InstanceList::Remove(std::uint32_t processId) {
    const std::size_t count = UsedEntries();
    for (std::size_t i = 0; i < count; ++i) {
        if (ReadU32(4 + 4 * i) != processId) {
            continue;
        }
        for (std::size_t j = i; j + 1 < count; ++j) {
            WriteU32(4 + 4 * j, ReadU32(4 + 4 * (j + 1)));
        }
        WriteU32(4 + 4 * (count - 1), 0);
        WriteU16(2, static_cast<std::uint16_t>(count - 1));
        return true;
    }
    return false;
}

TJclAppInstances::TJclAppInstances(DesktopPlatform& desktops, SyncPlatform& sync,
                                   const std::string& instanceName)
    : desktops_(desktops), sync_(sync), baseName_(RegistryBaseName(instanceName)),
      processId_(desktops.OwnProcessId()) {
    lock_ = std::make_unique<TJclOptex>(sync_, baseName_ + "_Otx", kLockSpinCount);
    {
        OptexGuard guard(*lock_);
        SharedMemoryResult list = sync_.OpenSharedMemory(baseName_ + "_Map", InstanceList::kSize);
        if (list.error == SharedMemoryError::Section) {
            throw StartupError("Failed to create FileMapping");
        }
        if (list.error != SharedMemoryError::None || !list.memory ||
            list.memory->Size() < InstanceList::kSize) {
            throw StartupError("Failed to create FileMappingView");
        }
        list_ = std::move(list.memory);
        if (list_->CreatedNew()) {
            std::memset(list_->Data(), 0, InstanceList::kSize);
        }
    }
    message_ = desktops_.RegisterMessageName(baseName_ + "_Msg");
}

TJclAppInstances::~TJclAppInstances() {
    UnregisterInstance();
}

InstanceList TJclAppInstances::List() {
    return InstanceList(
        std::span<std::byte, InstanceList::kSize>(list_->Data(), InstanceList::kSize));
}

bool TJclAppInstances::RegisterInstance(std::uint16_t maxInstances) {
    bool mayRun = false;
    {
        OptexGuard guard(*lock_);
        InstanceList list = List();
        if (list.MaxInstances() == 0) {
            list.SetMaxInstances(maxInstances);
        }
        mayRun = list.Count() < list.MaxInstances();
        // A full list refuses without storing; the entries in use stay valid.
        if (!list.Add(processId_)) {
            mayRun = false;
        }
    }
    if (mayRun) {
        NotifyInstances(InstanceCreated, processId_);
    }
    return mayRun;
}

void TJclAppInstances::UnregisterInstance() {
    if (!lock_ || !list_) {
        return;
    }
    {
        OptexGuard guard(*lock_);
        List().Remove(processId_);
    }
    NotifyInstances(InstanceDestroyed, processId_);
}

WindowId TJclAppInstances::FindApplicationWindow(std::uint32_t processId) {
    WindowId found = 0;
    desktops_.ForEachTopLevelWindow([&](WindowId window) {
        if (desktops_.WindowProcessId(window) == processId &&
            desktops_.WindowClassName(window, 14) == kApplicationClassName) {
            found = window;
            return false;
        }
        return true;
    });
    return found;
}

void TJclAppInstances::NotifyInstances(std::uintptr_t code, std::uint32_t value) {
    if (message_ == 0) {
        return;
    }
    OptexGuard guard(*lock_);
    InstanceList list = List();
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const std::uint32_t processId = list.ProcessIdAt(i);
        const WindowId window = processId == 0 ? 0 : FindApplicationWindow(processId);
        if (window == 0) {
            continue;
        }
        const std::uint32_t threadId = desktops_.WindowThreadId(window);
        const auto lParam = static_cast<std::intptr_t>(value);
        for (int attempt = 0; attempt < kMaxPostAttempts; ++attempt) {
            const ThreadPostOutcome outcome =
                desktops_.PostToThread(threadId, message_, code, lParam);
            if (outcome != ThreadPostOutcome::Failed) {
                break;
            }
            sync_.SleepMilliseconds(1);
        }
        desktops_.NotifyThreadWindows(threadId, message_, code, lParam);
    }
}

bool TJclAppInstances::ActivateInstance(std::size_t position) {
    std::uint32_t processId = 0;
    {
        OptexGuard guard(*lock_);
        processId = List().ProcessIdAt(position);
    }
    if (processId == 0) {
        return false;
    }
    const WindowId window = FindApplicationWindow(processId);
    return window != 0 && desktops_.BringToForeground(window);
}

} // namespace ombrevane
