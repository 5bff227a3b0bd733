#pragma once
// TJclOptex: a recursive mutual-exclusion lock shared between processes. Its state is a
// 16-byte record in named shared memory, changed with interlocked operations; a named
// auto-reset event wakes one waiter when the owner leaves.
//
// An owner that dies inside the lock never leaves it. A waiter therefore looks at the owner
// every half second and takes the lock over once the owner's thread is gone. The record has
// no room for the owner's process id, which tells a gone thread from one whose id was given
// to another thread since, and peers map exactly 16 bytes of it; so the owner also stamps its
// thread and process id into a second small section, read only when its thread id is the
// record's owner. (An owner that dies in the few instructions between raising the lock count
// and writing its thread id leaves no id to look at; that window is not covered.)

#include "platform/SyncPlatform.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace ombrevane {

// The shared lock record, four packed 32-bit fields.
struct OptexRecord {
    std::int32_t spinCount;
    std::int32_t lockCount;
    std::uint32_t ownerThreadId; // 0 when free
    std::int32_t recursionCount;
};
static_assert(sizeof(OptexRecord) == 16);

// The owner's stamp, in its own section beside the record.
struct OptexOwnerStamp {
    std::uint32_t threadId; // the record's owner when it stamped; 0 after it left
    std::uint32_t processId;
};
static_assert(sizeof(OptexOwnerStamp) == 8);

// A named object the start-up cannot do without could not be made; the text is shown to
// the user as it is.
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TJclOptex {
public:
    // Throws StartupError when the event or the lock record cannot be made.
    TJclOptex(SyncPlatform& platform, const std::string& name, int spinCount);
    TJclOptex(const TJclOptex&) = delete;
    TJclOptex& operator=(const TJclOptex&) = delete;

    // At least one attempt is made, more while the spin count lasts.
    bool TryEnter();
    void Enter();
    void Leave();

    static std::string EventName(const std::string& name) { return "Optex_Event_" + name; }
    static std::string RecordName(const std::string& name) { return "Optex_MMF_" + name; }
    static std::string StampName(const std::string& name) { return "Optex_OWN_" + name; }

    // How often a waiter looks whether the owner is still there.
    static constexpr unsigned kOwnerCheckMs = 500;

private:
    OptexRecord& Record();
    OptexOwnerStamp* Stamp();
    void TakeOwnership(std::uint32_t threadId);
    // Takes the lock from an owner whose thread is gone; false while the owner runs.
    bool TakeOverFromGoneOwner(std::uint32_t threadId);

    SyncPlatform& platform_;
    std::string name_;
    std::unique_ptr<NamedEvent> event_;
    std::unique_ptr<SharedMemory> record_;
    std::unique_ptr<SharedMemory> stamp_; // null when it could not be made: thread ids only
};

// Enter on construction, Leave on destruction.
class OptexGuard {
public:
    explicit OptexGuard(TJclOptex& lock) : lock_(lock) { lock_.Enter(); }
    ~OptexGuard() { lock_.Leave(); }
    OptexGuard(const OptexGuard&) = delete;
    OptexGuard& operator=(const OptexGuard&) = delete;

private:
    TJclOptex& lock_;
};

} // namespace ombrevane
