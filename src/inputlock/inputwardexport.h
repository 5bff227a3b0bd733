#pragma once
// The program's binding to inputward.dll. The library is loaded by its full path from the
// executable's own folder, never through the DLL search path, where a planted copy could run
// inside our process. Without the library (or with one that lacks a function) every call does
// nothing and returns 0: the program runs on without global keys.

#include "inputlock/dll/inputward.h"
#include "platform/win32/UniqueHandle.h"

#include <cstdint>
#include <string>

namespace ombrevane {

inline constexpr char kInputWardFileName[] = "inputward.dll";

class InputWardLibrary {
public:
    // Told once, in words, when the library cannot be used.
    using TellUser = void (*)(const std::string& text);

    // Loads inputward.dll from the folder of the running executable. On failure writes one
    // diagnostic line and calls tellUser once (the program-wide error report when null).
    static InputWardLibrary LoadBesideExecutable(TellUser tellUser = nullptr);
    // The same from a given folder (without a trailing separator).
    static InputWardLibrary LoadFromFolder(const std::string& folder, TellUser tellUser = nullptr);

    InputWardLibrary() = default;
    InputWardLibrary(InputWardLibrary&& other) noexcept;
    InputWardLibrary& operator=(InputWardLibrary&& other) noexcept;

    bool IsLoaded() const { return loaded_; }
    // What the user was told; empty when loaded.
    const std::string& Problem() const { return problem_; }

    std::int32_t Initial() const;
    std::int32_t KeyboardEnable() const;
    std::int32_t SetKeyboard(std::int32_t on) const;
    std::int32_t MouseEnable() const;
    std::int32_t SetMouse(std::int32_t on) const;
    std::int32_t EnableLRMouseButton(std::int32_t on) const;
    std::int32_t SetHotKey(std::int32_t slot, std::uint16_t key, std::uint16_t modifiers) const;
    std::int32_t LockShortcutKey(std::int32_t on) const;
    std::int32_t IsShortcutKeyLock() const;
    std::int32_t EnablePassword(std::int32_t a, std::int32_t b) const;

private:
    struct Functions {
        InputWardInitialFn initial = nullptr;
        InputWardKeyboardEnableFn keyboardEnable = nullptr;
        InputWardSetKeyboardFn setKeyboard = nullptr;
        InputWardMouseEnableFn mouseEnable = nullptr;
        InputWardSetMouseFn setMouse = nullptr;
        InputWardEnableLRMouseButtonFn enableLRMouseButton = nullptr;
        InputWardSetHotKeyFn setHotKey = nullptr;
        InputWardLockShortcutKeyFn lockShortcutKey = nullptr;
        InputWardIsShortcutKeyLockFn isShortcutKeyLock = nullptr;
        InputWardEnablePasswordFn enablePassword = nullptr;
    };

    win32::UniqueModule module_;
    Functions functions_;
    bool loaded_ = false;
    std::string problem_;
};

// The folder of the running executable, without a trailing separator; empty on failure.
std::string ExecutableFolder();

} // namespace ombrevane
