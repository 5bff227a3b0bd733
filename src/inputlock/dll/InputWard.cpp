// inputward.dll: low-level keyboard and mouse hooks that feed the recogniser and post its
// reports to this process's controller window.
//
// Hooks belong to the desktop of the thread that installs them, so every instance watches its
// own desktop, and a report always goes to the instance whose desktop received the input.
// What all instances must agree on (the hot keys, the both-button switch, the suspension, the
// hot key held down) lives in a small named mapping of the session, so a suspension made on
// one desktop holds on all.
//
// The hooks run on a thread of their own that does nothing else: Windows silently removes a
// low-level hook whose thread does not answer in time, and the controller's thread may block
// (a screen mode change, joining threads). Only Win32 threads and locks are used here, which
// keeps the library small and free of a C++ runtime's threading.

#define INPUTWARD_BUILDING_DLL
#include "inputlock/dll/inputward.h"

#include "inputlock/dll/InputRecognizer.h"
#include "inputlock/dll/SharedSection.h"
#include "platform/win32/UniqueHandle.h"
#include "controller/ControllerWindow.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>

namespace ombrevane::inputward {
namespace {

constexpr char kSharedName[] = "Local\\OmbrevaneInputWardShared";
constexpr std::int32_t kSharedMagic = 0x4F495702;

// Unassigned virtual key sent between a consumed Alt hot key and the Alt release.
constexpr WORD kMaskKey = 0xE8;
// Marks the events we inject ourselves, so our hook lets them through untouched.
constexpr ULONG_PTR kOwnInputMark = 0x4F4D4256;

// Asks the hook thread to switch one hook: wParam the hook, lParam non-zero for on.
constexpr UINT kSwitchHookMessage = WM_APP + 1;
// How long a stop waits for the hook thread to end.
constexpr DWORD kThreadStopMs = 5000;

// Lives in the shared mapping: plain 32-bit fields, accessed through std::atomic_ref.
struct SharedState {
    SharedSectionHeader header;
    std::int32_t suspended;
    std::int32_t bothButtons;
    std::int32_t hotKeys[kHotKeySlots]; // key | modifiers << 16
    std::int32_t heldHotKey;            // Settings::heldHotKey
    std::int32_t heldHotKeyMs;
};

std::int32_t Load(std::int32_t& field) {
    return std::atomic_ref<std::int32_t>(field).load(std::memory_order_relaxed);
}

void Store(std::int32_t& field, std::int32_t value) {
    std::atomic_ref<std::int32_t>(field).store(value, std::memory_order_relaxed);
}

bool RealKeyDown(std::uint32_t key) {
    return (::GetAsyncKeyState(static_cast<int>(key)) & 0x8000) != 0;
}

enum class Hook : WPARAM { Keyboard, Mouse };

// An exclusive hold of a slim lock for one scope.
class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

// Everything this process keeps: one object, process-wide by design (a DLL has one copy of its
// hooks per process).
class Watcher {
public:
    void SetInstance(HINSTANCE instance) { instance_ = instance; }

    SharedState& Shared() {
        ::InitOnceExecuteOnce(&sharedOnce_, &OpenSharedOnce, this, nullptr);
        return *shared_;
    }

    Settings ReadSettings() {
        SharedState& state = Shared();
        Settings settings;
        settings.suspended = Load(state.suspended) != 0;
        settings.bothButtons = Load(state.bothButtons) != 0;
        for (int slot = 0; slot < kHotKeySlots; ++slot) {
            const auto packed = static_cast<std::uint32_t>(Load(state.hotKeys[slot]));
            settings.hotKeys[static_cast<std::size_t>(slot)] = {
                static_cast<std::uint16_t>(packed & 0xFFFF),
                static_cast<std::uint16_t>(packed >> 16)};
        }
        settings.heldHotKey = static_cast<std::uint32_t>(Load(state.heldHotKey));
        settings.heldHotKeyMs = static_cast<std::uint32_t>(Load(state.heldHotKeyMs));
        return settings;
    }

    // On while the hook is set and its thread runs.
    bool IsOn(Hook hook) {
        ExclusiveLock lock(control_);
        return HookFlag(hook).load() && ThreadRuns();
    }

    bool Switch(Hook hook, bool on) {
        ExclusiveLock lock(control_);
        if (!on) {
            if (ThreadRuns()) {
                AskHookThread(hook, false);
                if (!keyboardOn_.load() && !mouseOn_.load()) {
                    StopThread();
                }
            }
            return true;
        }
        if (HookFlag(hook).load() && ThreadRuns()) {
            return true;
        }
        Shared();
        FindController();
        if (!ThreadRuns() && !StartThread()) {
            return false;
        }
        return AskHookThread(hook, true);
    }

private:
    static BOOL CALLBACK OpenSharedOnce(PINIT_ONCE, PVOID watcher, PVOID*) {
        static_cast<Watcher*>(watcher)->OpenShared();
        return TRUE;
    }

    void OpenShared() {
        SharedSection section = OpenSharedSection(kSharedName, kSharedMagic, sizeof(SharedState));
        if (section.view) {
            mapping_ = std::move(section.mapping);
            view_ = std::move(section.view);
            shared_ = static_cast<SharedState*>(view_.get());
            return;
        }
        // Without the mapping this process keeps its own settings; a fresh state is all zero:
        // nothing suspended, no hot keys, both buttons off.
        if (section.outcome == SharedSectionOutcome::Refused) {
            ::OutputDebugStringA("inputward: the shared section of another program or version was "
                                 "refused; this instance keeps its own settings");
        }
        shared_ = &ownState_;
    }

    std::atomic<bool>& HookFlag(Hook hook) {
        return hook == Hook::Keyboard ? keyboardOn_ : mouseOn_;
    }

    bool ThreadRuns() const {
        return thread_ && ::WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT;
    }

    // The hook thread works on the caller's desktop, where the caller's hooks belong.
    bool StartThread() {
        thread_.reset();
        keyboardOn_ = false;
        mouseOn_ = false;
        if (!switched_) {
            switched_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
        }
        UniqueEvent ready(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
        if (!switched_ || !ready) {
            return false;
        }
        // The thread holds the library while it runs, so that it is never unloaded under it.
        HMODULE self = nullptr;
        if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                  reinterpret_cast<LPCSTR>(&ThreadMain), &self)) {
            return false;
        }
        desktop_ = ::GetThreadDesktop(::GetCurrentThreadId());
        ready_ = ready.get();
        threadModule_ = self;
        DWORD threadId = 0;
        thread_.reset(::CreateThread(nullptr, 0, &ThreadMain, this, 0, &threadId));
        if (!thread_) {
            ::FreeLibrary(self);
            return false;
        }
        threadId_ = threadId;
        const HANDLE waits[] = {ready.get(), thread_.get()};
        ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        return ThreadRuns();
    }

    void StopThread() {
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        ::WaitForSingleObject(thread_.get(), kThreadStopMs);
        thread_.reset();
        keyboardOn_ = false;
        mouseOn_ = false;
    }

    // Carried out on the hook thread; true when the hook is as asked.
    bool AskHookThread(Hook hook, bool on) {
        if (!::PostThreadMessageA(threadId_, kSwitchHookMessage, static_cast<WPARAM>(hook),
                                  on ? 1 : 0)) {
            return false;
        }
        const HANDLE waits[] = {switched_.get(), thread_.get()};
        return ::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 &&
               HookFlag(hook).load() == on;
    }

    static DWORD WINAPI ThreadMain(LPVOID watcher) {
        Watcher& self = *static_cast<Watcher*>(watcher);
        HMODULE module = self.threadModule_;
        self.RunHookThread();
        ::FreeLibraryAndExitThread(module, 0);
    }

    void RunHookThread() {
        const bool onDesktop = desktop_ == nullptr || ::SetThreadDesktop(desktop_);
        MSG message;
        // The queue that the switch requests are posted to.
        ::PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        ::SetEvent(ready_);
        if (!onDesktop) {
            return;
        }
        // Low-level hooks are called from within this wait.
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == kSwitchHookMessage) {
                SetHook(static_cast<Hook>(message.wParam), message.lParam != 0);
                ::SetEvent(switched_.get());
            }
        }
        keyboardHook_.reset();
        mouseHook_.reset();
    }

    void SetHook(Hook hook, bool on) {
        win32::UniqueHook& handle = hook == Hook::Keyboard ? keyboardHook_ : mouseHook_;
        if (!on) {
            handle.reset();
        } else if (!handle) {
            if (hook == Hook::Keyboard) {
                recognizer_.ResetKeys();
                handle.reset(::SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardProc, instance_, 0));
            } else {
                recognizer_.ResetButtons();
                handle.reset(::SetWindowsHookExA(WH_MOUSE_LL, &MouseProc, instance_, 0));
            }
        }
        HookFlag(hook) = static_cast<bool>(handle);
    }

    static bool IsOwnController(HWND window) {
        DWORD owner = 0;
        if (::GetWindowThreadProcessId(window, &owner) == 0 || owner != ::GetCurrentProcessId()) {
            return false;
        }
        char name[sizeof(kControllerClassName) + 1] = {};
        ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
        return ::lstrcmpiA(name, kControllerClassName) == 0;
    }

    // The controller is a window of this process on this desktop; it may be message-only. The
    // cached handle is checked again because a window handle can be reused after destruction.
    HWND FindController() {
        HWND cached = controller_.load(std::memory_order_relaxed);
        if (cached != nullptr && IsOwnController(cached)) {
            return cached;
        }
        for (HWND parent : {HWND{nullptr}, HWND_MESSAGE}) {
            HWND candidate = nullptr;
            while ((candidate = ::FindWindowExA(parent, candidate, kControllerClassName,
                                                nullptr)) != nullptr) {
                if (IsOwnController(candidate)) {
                    controller_.store(candidate, std::memory_order_relaxed);
                    return candidate;
                }
            }
        }
        controller_.store(nullptr, std::memory_order_relaxed);
        return nullptr;
    }

    void Carry(const Decision& decision, std::uint32_t key, std::uint32_t timeMs) {
        if (decision.report.message != 0) {
            HWND controller = FindController();
            if (controller != nullptr) {
                ::PostMessageA(controller, decision.report.message,
                               static_cast<WPARAM>(decision.report.wParam),
                               static_cast<LPARAM>(decision.report.lParam));
            }
        }
        SharedState& state = Shared();
        if (decision.hold == HoldUpdate::Held) {
            Store(state.heldHotKeyMs, static_cast<std::int32_t>(timeMs));
            Store(state.heldHotKey, static_cast<std::int32_t>(key));
        } else if (decision.hold == HoldUpdate::Released) {
            // Only if no other key has been held since.
            auto expected = static_cast<std::int32_t>(key);
            std::atomic_ref<std::int32_t>(state.heldHotKey).compare_exchange_strong(expected, 0);
        }
        if (decision.maskAltRelease) {
            INPUT mask[2] = {};
            for (INPUT& input : mask) {
                input.type = INPUT_KEYBOARD;
                input.ki.wVk = kMaskKey;
                input.ki.dwExtraInfo = kOwnInputMark;
            }
            mask[1].ki.dwFlags = KEYEVENTF_KEYUP;
            ::SendInput(2, mask, sizeof(INPUT));
        }
    }

    static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data);
    static LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data);

    using UniqueEvent = win32::UniqueKernelHandle;

    HINSTANCE instance_ = nullptr;
    INIT_ONCE sharedOnce_ = INIT_ONCE_STATIC_INIT;
    SharedState* shared_ = nullptr;
    SharedState ownState_{}; // when the mapping cannot be used: this process alone
    win32::UniqueKernelHandle mapping_;
    win32::UniqueView view_;
    std::atomic<HWND> controller_{nullptr};

    // Starting, asking and stopping the hook thread; the callers' side only.
    SRWLOCK control_ = SRWLOCK_INIT;
    win32::UniqueKernelHandle thread_;
    DWORD threadId_ = 0;
    UniqueEvent switched_; // set by the hook thread after each switch request
    // Handed to the hook thread at its start.
    HDESK desktop_ = nullptr;
    HANDLE ready_ = nullptr;
    HMODULE threadModule_ = nullptr;

    // Set by the hook thread, read by the callers.
    std::atomic<bool> keyboardOn_{false};
    std::atomic<bool> mouseOn_{false};
    // The hook thread's own.
    win32::UniqueHook keyboardHook_;
    win32::UniqueHook mouseHook_;
    InputRecognizer recognizer_;
};

Watcher watcher;

LRESULT CALLBACK Watcher::KeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        if (info->dwExtraInfo != kOwnInputMark) {
            const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
            const Decision decision = watcher.recognizer_.OnKey(
                {info->vkCode, down, info->time}, watcher.ReadSettings(), &RealKeyDown);
            watcher.Carry(decision, info->vkCode, info->time);
            if (decision.consume) {
                return 1;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK Watcher::MouseProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && message != WM_MOUSEMOVE) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        ButtonEvent event;
        bool button = true;
        switch (message) {
        case WM_LBUTTONDOWN:
            event = {MouseButton::Left, true, info->time};
            break;
        case WM_LBUTTONUP:
            event = {MouseButton::Left, false, info->time};
            break;
        case WM_RBUTTONDOWN:
            event = {MouseButton::Right, true, info->time};
            break;
        case WM_RBUTTONUP:
            event = {MouseButton::Right, false, info->time};
            break;
        default:
            button = false;
            break;
        }
        if (button) {
            const Decision decision =
                watcher.recognizer_.OnButton(event, watcher.ReadSettings(), &RealKeyDown);
            watcher.Carry(decision, 0, info->time);
            if (decision.consume) {
                return 1;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

} // namespace
} // namespace ombrevane::inputward

using ombrevane::inputward::Hook;
using ombrevane::inputward::Load;
using ombrevane::inputward::Store;
using ombrevane::inputward::watcher;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        watcher.SetInstance(instance);
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

int32_t INPUTWARD_CALL Initial(void) {
    // Only the instance on "Default" initialises the library: a suspension left behind by a
    // crashed one would otherwise hold on every desktop for good.
    Store(watcher.Shared().suspended, 0);
    return 1;
}

int32_t INPUTWARD_CALL KeyboardEnable(void) {
    return watcher.IsOn(Hook::Keyboard) ? 1 : 0;
}

int32_t INPUTWARD_CALL SetKeyboard(int32_t on) {
    return watcher.Switch(Hook::Keyboard, on != 0) ? 1 : 0;
}

int32_t INPUTWARD_CALL MouseEnable(void) {
    return watcher.IsOn(Hook::Mouse) ? 1 : 0;
}

int32_t INPUTWARD_CALL SetMouse(int32_t on) {
    return watcher.Switch(Hook::Mouse, on != 0) ? 1 : 0;
}

int32_t INPUTWARD_CALL EnableLRMouseButton(int32_t on) {
    Store(watcher.Shared().bothButtons, on != 0 ? 1 : 0);
    return 1;
}

int32_t INPUTWARD_CALL SetHotKey(int32_t slot, uint16_t key, uint16_t modifiers) {
    if (slot < 0 || slot >= ombrevane::inputward::kHotKeySlots) {
        return 0;
    }
    const auto packed =
        static_cast<std::uint32_t>(key) | (static_cast<std::uint32_t>(modifiers) << 16);
    Store(watcher.Shared().hotKeys[slot], static_cast<std::int32_t>(packed));
    return 1;
}

int32_t INPUTWARD_CALL LockShortcutKey(int32_t on) {
    Store(watcher.Shared().suspended, on != 0 ? 1 : 0);
    return 1;
}

int32_t INPUTWARD_CALL IsShortcutKeyLock(void) {
    return Load(watcher.Shared().suspended) != 0 ? 1 : 0;
}

int32_t INPUTWARD_CALL EnablePassword(int32_t, int32_t) {
    return 0;
}

} // extern "C"
