#pragma once
// TJclOptex: a recursive mutual-exclusion lock shared between processes. Its state is a
// 16-byte record in named shared memory, changed with interlocked operations; a named
// auto-reset event wakes one waiter when the owner leaves.

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

private:
    OptexRecord& Record();
    void TakeOwnership(std::uint32_t threadId);

    SyncPlatform& platform_;
    std::string name_;
    std::unique_ptr<NamedEvent> event_;
    std::unique_ptr<SharedMemory> record_;
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
