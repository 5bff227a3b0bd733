#pragma once
// The input-lock library as the controller calls it: its ten functions. Truth values are
// 32-bit, true passed as 1 or -1 and tested as non-zero. The Win32 build puts inputward.dll
// behind it; native tests record the calls.

#include <cstdint>

namespace ombrevane {

// Hot-key slots of SetHotKey; a press reports WM_INTERNAL_DLL_HOTKEY with the slot.
inline constexpr std::int32_t kHotKeySlotNextDesktop = 0;
inline constexpr std::int32_t kHotKeySlotShowOptions = 1;
inline constexpr std::int32_t kHotKeySlotHideTrayIcon = 2;

class InputLock {
public:
    virtual ~InputLock() = default;

    virtual std::int32_t Initial() = 0;
    virtual std::int32_t KeyboardEnable() = 0;
    virtual std::int32_t SetKeyboard(std::int32_t on) = 0;
    virtual std::int32_t MouseEnable() = 0;
    virtual std::int32_t SetMouse(std::int32_t on) = 0;
    virtual std::int32_t EnableLRMouseButton(std::int32_t on) = 0;
    virtual std::int32_t SetHotKey(std::int32_t slot, std::uint16_t key,
                                   std::uint16_t modifiers) = 0;
    // 1 suspends the hot keys, 0 resumes them.
    virtual std::int32_t LockShortcutKey(std::int32_t on) = 0;
    virtual std::int32_t IsShortcutKeyLock() = 0;
    virtual std::int32_t EnablePassword(std::int32_t a, std::int32_t b) = 0;
};

} // namespace ombrevane
