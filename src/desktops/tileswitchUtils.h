#pragma once
// Naming and numbering of the desktops, which desktop an instance runs on and which one the
// user sees, and switching the visible desktop.

#include "platform/DesktopPlatform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ombrevane {

// Desktop index: 0 "Default", 1..9 "SecretDesktop##<n>", -1 any other desktop.
inline constexpr int kNoDesktopIndex = -1;
inline constexpr int kMaxSwitchIndex = 9;
inline constexpr std::string_view kDefaultDesktopName = "Default";
inline constexpr std::string_view kSecretDesktopPrefix = "SecretDesktop##";

// Switch results.
inline constexpr int kSwitchDone = 1;
inline constexpr int kSwitchNotOpened = -1;
inline constexpr int kSwitchRefused = -2;
inline constexpr int kSwitchNoPassword = -3;

// Modifier flags, the values of MOD_ALT, MOD_CONTROL and MOD_SHIFT.
inline constexpr std::uint16_t kModAlt = 1;
inline constexpr std::uint16_t kModCtrl = 2;
inline constexpr std::uint16_t kModShift = 4;

struct HotKey {
    std::uint16_t virtualKey = 0;
    std::uint16_t modifiers = 0;
    friend bool operator==(const HotKey&, const HotKey&) = default;
};

std::string DesktopNameOfIndex(int index);
int DesktopIndexOfName(DesktopPlatform& platform, std::string_view name);

std::string CurrentDesktopName(DesktopPlatform& platform);
std::string InputDesktopName(DesktopPlatform& platform);
int CurrentDesktopIndex(DesktopPlatform& platform);
bool IsDefaultDesktop(DesktopPlatform& platform);
bool IsInputDesktop(DesktopPlatform& platform);
bool IsCurrentDesktop(DesktopPlatform& platform, int index);

// Makes the named desktop the input desktop and announces it to the other instances.
int SwitchToDesktopName(DesktopPlatform& platform, std::string_view name);

// First top-level window of the desktop whose class matches, ignoring case; 0 if none.
WindowId FindWindowOnDesktop(DesktopPlatform& platform, std::string_view desktopName,
                             std::string_view className);

// A desktop's password option as the gate reads it, afresh for every switch.
struct DesktopPasswordSetting {
    // False when the desktop's settings file exists but cannot be read: its option is
    // unknown, so the gate stays shut. A missing file is readable and unprotected.
    bool readable = true;
    bool enabled = false;
    // The stored password hash; empty accepts any entry.
    std::string hash;
};

// What the gated switch needs from outside: the desktop's password setting, and the prompt,
// which answers whether the user's entry matched the stored hash.
struct PasswordGate {
    std::function<DesktopPasswordSetting(int index)> readSetting;
    std::function<bool(const std::string& storedHash)> askPassword;
};

// The password setting of the desktop's settings file in configDir.
DesktopPasswordSetting ReadDesktopPasswordSetting(int index, const std::string& configDir);

// Switches to the desktop after its password, when it has one, was given; -3 when it was
// not. An index outside 0 to 9 means "Default".
int SwitchToDesktop(DesktopPlatform& platform, const PasswordGate& gate, int index);
// The desktop after this one, or "Default" when that switch does not happen.
void SwitchToNextDesktop(DesktopPlatform& platform, const PasswordGate& gate);

// A shortcut word holds a virtual key with 0x2000 Shift, 0x4000 Ctrl and 0x8000 Alt.
HotKey ShortCutToHotKey(std::uint16_t shortcut);

} // namespace ombrevane
