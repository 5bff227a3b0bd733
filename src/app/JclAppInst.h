#pragma once
// The per-desktop instance registry: a list of process ids in named shared memory, guarded
// by a TJclOptex, that lets one instance run on each desktop.

#include "app/JclSynch.h"
#include "platform/DesktopPlatform.h"
#include "platform/SyncPlatform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ombrevane {

// "<desktop name>tileswitch", or "tileswitch" when the desktop name cannot be read.
std::string InstanceName(std::string_view desktopName);
// "Jcl" + instance name with every backslash made an underscore.
std::string RegistryBaseName(std::string_view instanceName);

// The instance list record: maximum instances (u16), count (u16), 257 process ids (u32),
// packed little endian.
class InstanceList {
public:
    static constexpr std::size_t kSize = 1032;
    static constexpr std::size_t kCapacity = 257;

    explicit InstanceList(std::span<std::byte, kSize> bytes) : bytes_(bytes) {}

    std::uint16_t MaxInstances() const { return ReadU16(0); }
    void SetMaxInstances(std::uint16_t value) { WriteU16(0, value); }
    std::uint16_t Count() const { return ReadU16(2); }
    // 0 for a position not in use.
    std::uint32_t ProcessIdAt(std::size_t position) const;
    // Appends; false, storing nothing, when all entries are in use.
    bool Add(std::uint32_t processId);
    // Removes the first entry of that id, keeping the order of the others; false if absent.
    bool Remove(std::uint32_t processId);

private:
    std::uint16_t ReadU16(std::size_t offset) const;
    void WriteU16(std::size_t offset, std::uint16_t value);
    std::uint32_t ReadU32(std::size_t offset) const;
    void WriteU32(std::size_t offset, std::uint32_t value);
    // A count written by a broken process must not lead outside the record.
    std::size_t UsedEntries() const;

    std::span<std::byte, kSize> bytes_;
};

class TJclAppInstances {
public:
    // Notification codes, delivered to the listed instances; nothing acts on them.
    static constexpr std::uintptr_t InstanceCreated = 1;
    static constexpr std::uintptr_t InstanceDestroyed = 2;
    static constexpr int kLockSpinCount = 4000;

    // Builds the named objects; throws StartupError with the text to show the user.
    TJclAppInstances(DesktopPlatform& desktops, SyncPlatform& sync,
                     const std::string& instanceName);
    // Unregisters this process.
    ~TJclAppInstances();
    TJclAppInstances(const TJclAppInstances&) = delete;
    TJclAppInstances& operator=(const TJclAppInstances&) = delete;

    // Adds this process to the list; true when it may run.
    bool RegisterInstance(std::uint16_t maxInstances);
    void UnregisterInstance();
    // Brings the application window of the instance listed at that position to the front.
    bool ActivateInstance(std::size_t position);
    void NotifyInstances(std::uintptr_t code, std::uint32_t value);

    const std::string& BaseName() const { return baseName_; }
    std::uint32_t NotificationMessage() const { return message_; }

    static constexpr std::string_view kApplicationClassName = "TApplication";

private:
    InstanceList List();
    WindowId FindApplicationWindow(std::uint32_t processId);

    DesktopPlatform& desktops_;
    SyncPlatform& sync_;
    std::string baseName_;
    std::uint32_t processId_;
    std::unique_ptr<TJclOptex> lock_;
    std::unique_ptr<SharedMemory> list_;
    std::uint32_t message_ = 0;
};

} // namespace ombrevane
