#include "desktops/tileswitchUtils.h"

#include "config/ConfigUnit.h"
#include "desktops/DesktopUtils.h"
#include "controller/ControllerWindow.h"

#include <charconv>

namespace ombrevane {

namespace {

// Plain decimal with an optional sign; anything else (spaces, hex, overflow) is no number.
bool ParseDesktopNumber(std::string_view text, int& value) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return false;
        }
    }
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end;
}

} // namespace

std::string DesktopNameOfIndex(int index) {
    if (index == 0) {
        return std::string(kDefaultDesktopName);
    }
    return std::string(kSecretDesktopPrefix) + std::to_string(index);
}

int DesktopIndexOfName(DesktopPlatform& platform, std::string_view name) {
    if (name.empty()) {
        return kNoDesktopIndex;
    }
    if (name == kDefaultDesktopName) {
        return 0;
    }
    if (name.size() >= kSecretDesktopPrefix.size() &&
        platform.EqualsIgnoreCase(name.substr(0, kSecretDesktopPrefix.size()),
                                  kSecretDesktopPrefix)) {
        int value = 0;
        if (ParseDesktopNumber(name.substr(kSecretDesktopPrefix.size()), value)) {
            return value;
        }
    }
    return kNoDesktopIndex;
}

std::string CurrentDesktopName(DesktopPlatform& platform) {
    return platform.ThreadDesktopName();
}

std::string InputDesktopName(DesktopPlatform& platform) {
    return platform.InputDesktopName();
}

int CurrentDesktopIndex(DesktopPlatform& platform) {
    return DesktopIndexOfName(platform, CurrentDesktopName(platform));
}

bool IsDefaultDesktop(DesktopPlatform& platform) {
    return platform.EqualsIgnoreCase(CurrentDesktopName(platform), kDefaultDesktopName);
}

bool IsInputDesktop(DesktopPlatform& platform) {
    // Unreadable names must not compare equal: an input desktop that cannot be opened (the
    // secure desktop) is nobody's.
    const std::string input = InputDesktopName(platform);
    const std::string current = CurrentDesktopName(platform);
    return !input.empty() && !current.empty() && platform.EqualsIgnoreCase(input, current);
}

bool IsCurrentDesktop(DesktopPlatform& platform, int index) {
    if (index < 0 || index > kMaxSwitchIndex) {
        return false;
    }
    return platform.EqualsIgnoreCase(CurrentDesktopName(platform), DesktopNameOfIndex(index));
}

int SwitchToDesktopName(DesktopPlatform& platform, std::string_view name) {
    switch (platform.SwitchInputDesktop(name)) {
    case DesktopSwitchOutcome::NotOpened:
        return kSwitchNotOpened;
    case DesktopSwitchOutcome::Refused:
        return kSwitchRefused;
    case DesktopSwitchOutcome::Switched:
        break;
    }
    const int index = DesktopIndexOfName(platform, name);
    BroadcastToInstances(platform, WM_INTERNAL_SWITCH, false, static_cast<std::uintptr_t>(index),
                         0);
    return kSwitchDone;
}

WindowId FindWindowOnDesktop(DesktopPlatform& platform, std::string_view desktopName,
                             std::string_view className) {
    WindowId found = 0;
    platform.ForEachDesktopWindow(desktopName, [&](WindowId window) {
        if (platform.EqualsIgnoreCase(platform.WindowClassName(window, 256), className)) {
            found = window;
            return false;
        }
        return true;
    });
    return found;
}

DesktopPasswordSetting ReadDesktopPasswordSetting(int index, const std::string& configDir) {
    TDesktopConfig config(index);
    const SettingsFileState state = LoadDesktopConfig(config, configDir);
    DesktopPasswordSetting setting;
    setting.readable = state != SettingsFileState::Unreadable;
    setting.enabled = config.PasswordEnable;
    setting.hash = config.Password;
    return setting;
}

int SwitchToDesktop(DesktopPlatform& platform, const PasswordGate& gate, int index) {
    if (index < 0 || index > kMaxSwitchIndex) {
        index = 0;
    }
    const std::string name = DesktopNameOfIndex(index);
    const DesktopPasswordSetting setting = gate.readSetting(index);
    if (!setting.readable) {
        platform.DebugLine("SwitchToDesktop refused: " + DesktopConfigFileName(index) +
                           " cannot be read");
        return kSwitchNoPassword;
    }
    if (setting.enabled && !gate.askPassword(setting.hash)) {
        return kSwitchNoPassword;
    }
    return SwitchToDesktopName(platform, name);
}

void SwitchToNextDesktop(DesktopPlatform& platform, const PasswordGate& gate) {
    // Past the last switchable index comes "Default"; so does the next of a foreign desktop.
    const int current = CurrentDesktopIndex(platform);
    const int next = current < kMaxSwitchIndex ? current + 1 : 0;
    if (SwitchToDesktop(platform, gate, next) < 0) {
        SwitchToDesktop(platform, gate, 0);
    }
}

HotKey ShortCutToHotKey(std::uint16_t shortcut) {
    HotKey result;
    result.virtualKey = static_cast<std::uint16_t>(shortcut & 0x1FFF);
    if (shortcut & 0x2000) {
        result.modifiers |= kModShift;
    }
    if (shortcut & 0x4000) {
        result.modifiers |= kModCtrl;
    }
    if (shortcut & 0x8000) {
        result.modifiers |= kModAlt;
    }
    return result;
}

} // namespace ombrevane
