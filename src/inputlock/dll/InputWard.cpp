// inputward.dll: low-level keyboard and mouse hooks that feed the recogniser and post its
// reports to this process's controller window.
//
// Hooks belong to the desktop of the thread that installs them, so every instance watches its
// own desktop, and a report always goes to the instance whose desktop received the input.
// What all instances must agree on (the hot keys, the both-button switch, the suspension) lives
// in a small named mapping of the session, so a suspension made on one desktop holds on all.

#define INPUTWARD_BUILDING_DLL
#include "inputlock/dll/inputward.h"

#include "inputlock/dll/InputRecognizer.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <mutex>

namespace ombrevane::inputward {
namespace {

constexpr char kControllerClass[] = "TTileSwitchMainForm";
constexpr char kSharedName[] = "Local\\OmbrevaneInputWardShared";
constexpr std::int32_t kSharedMagic = 0x4F495701;

// Unassigned virtual key sent between a consumed Alt hot key and the Alt release.
constexpr WORD kMaskKey = 0xE8;
// Marks the events we inject ourselves, so our hook lets them through untouched.
constexpr ULONG_PTR kOwnInputMark = 0x4F4D4256;

// Lives in the shared mapping: plain 32-bit fields, accessed through std::atomic_ref.
struct SharedState {
    std::int32_t magic;
    std::int32_t suspended;
    std::int32_t bothButtons;
    std::int32_t hotKeys[kHotKeySlots]; // key | modifiers << 16
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

// Everything this process keeps: one object, process-wide by design (a DLL has one copy of its
// hooks per process).
class Watcher {
public:
    void SetInstance(HINSTANCE instance) { instance_ = instance; }

    SharedState& Shared() {
        std::call_once(sharedOnce_, [this] { OpenShared(); });
        return *shared_.load(std::memory_order_acquire);
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
        return settings;
    }

    bool KeyboardOn() const { return static_cast<bool>(keyboardHook_); }
    bool MouseOn() const { return static_cast<bool>(mouseHook_); }

    bool SetKeyboard(bool on) {
        if (!on) {
            keyboardHook_.reset();
            return true;
        }
        if (!keyboardHook_) {
            Shared();
            FindController();
            recognizer_.ResetKeys();
            keyboardHook_.reset(::SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardProc, instance_, 0));
        }
        return static_cast<bool>(keyboardHook_);
    }

    bool SetMouse(bool on) {
        if (!on) {
            mouseHook_.reset();
            return true;
        }
        if (!mouseHook_) {
            Shared();
            FindController();
            recognizer_.ResetButtons();
            mouseHook_.reset(::SetWindowsHookExA(WH_MOUSE_LL, &MouseProc, instance_, 0));
        }
        return static_cast<bool>(mouseHook_);
    }

private:
    void OpenShared() {
        mapping_.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(SharedState), kSharedName));
        if (mapping_) {
            view_.reset(
                ::MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedState)));
        }
        SharedState* state = view_ ? static_cast<SharedState*>(view_.get()) : &ownState_;
        // A fresh mapping is all zero: nothing suspended, no hot keys, both buttons off.
        Store(state->magic, kSharedMagic);
        shared_.store(state, std::memory_order_release);
    }

    static bool IsOwnController(HWND window) {
        DWORD owner = 0;
        if (::GetWindowThreadProcessId(window, &owner) == 0 || owner != ::GetCurrentProcessId()) {
            return false;
        }
        char name[sizeof(kControllerClass) + 1] = {};
        ::GetClassNameA(window, name, static_cast<int>(sizeof(name)));
        return ::lstrcmpiA(name, kControllerClass) == 0;
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
            while ((candidate = ::FindWindowExA(parent, candidate, kControllerClass, nullptr)) !=
                   nullptr) {
                if (IsOwnController(candidate)) {
                    controller_.store(candidate, std::memory_order_relaxed);
                    return candidate;
                }
            }
        }
        controller_.store(nullptr, std::memory_order_relaxed);
        return nullptr;
    }

    void Carry(const Decision& decision) {
        if (decision.report.message != 0) {
            HWND controller = FindController();
            if (controller != nullptr) {
                ::PostMessageA(controller, decision.report.message,
                               static_cast<WPARAM>(decision.report.wParam),
                               static_cast<LPARAM>(decision.report.lParam));
            }
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

    HINSTANCE instance_ = nullptr;
    std::once_flag sharedOnce_;
    std::atomic<SharedState*> shared_{nullptr};
    SharedState ownState_{}; // when the mapping cannot be made: this process alone
    win32::UniqueKernelHandle mapping_;
    win32::UniqueView view_;
    win32::UniqueHook keyboardHook_;
    win32::UniqueHook mouseHook_;
    std::atomic<HWND> controller_{nullptr};
    InputRecognizer recognizer_; // used on the hook thread only
};

Watcher watcher;

LRESULT CALLBACK Watcher::KeyboardProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        if (info->dwExtraInfo != kOwnInputMark) {
            const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
            const Decision decision = watcher.recognizer_.OnKey(
                {info->vkCode, down}, watcher.ReadSettings(), &RealKeyDown);
            watcher.Carry(decision);
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
            watcher.Carry(decision);
            if (decision.consume) {
                return 1;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

} // namespace
} // namespace ombrevane::inputward

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
    watcher.Shared();
    return 1;
}

int32_t INPUTWARD_CALL KeyboardEnable(void) {
    return watcher.KeyboardOn() ? 1 : 0;
}

int32_t INPUTWARD_CALL SetKeyboard(int32_t on) {
    return watcher.SetKeyboard(on != 0) ? 1 : 0;
}

int32_t INPUTWARD_CALL MouseEnable(void) {
    return watcher.MouseOn() ? 1 : 0;
}

int32_t INPUTWARD_CALL SetMouse(int32_t on) {
    return watcher.SetMouse(on != 0) ? 1 : 0;
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
