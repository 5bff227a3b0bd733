#pragma once
// The common settings ("tileswitch.ini", section "tileswitch") and the per-desktop settings
// ("desktop%d.ini"). Every use reads the file afresh; nothing is cached.
//
// Each operation has a form that takes the configuration folder (with its final "\"); the
// short form asks GetExtInfo for it. Writes raise ConfigWriteError (config/SettingsFile.h);
// callers pass it to the program-wide error report.

#include "config/SettingsFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrevane {

inline constexpr const char* kCommonConfigFileName = "tileswitch.ini";
inline constexpr const char* kCommonConfigSection = "tileswitch";

// Seconds for the stored list positions 0 to 7 of the two time lists.
inline constexpr std::int32_t kTimeTableSeconds[8] = {60, 300, 600, 1800, 2700, 3000, 6000, 9000};

// The list position used for a stored position outside 0 to 7.
inline constexpr std::int32_t kOutOfRangeTimePosition = 1;

// The longest program list read; a larger "count" is cut to this.
inline constexpr std::int32_t kMaxDesktopPrograms = 1024;

// The default hot keys, as shortcut words.
inline constexpr std::uint16_t kDefaultShowOptionsHotKey = 41048;  // Shift+Alt+X
inline constexpr std::uint16_t kDefaultNextDesktopHotKey = 41043;  // Shift+Alt+S
inline constexpr std::uint16_t kDefaultHideTrayIconHotKey = 41025; // Shift+Alt+A

struct TCommonConfig {
    bool AutoSwitch = false;
    bool ShowTips = true;
    std::int32_t IdleSeconds = 60;
    bool HideTrayIcon = false;
    bool HideInactiveWindows = false;
    bool PasswordOption = false;
    bool AutoHideTrayIcon = false;
    std::int32_t RestoreSeconds = 60;
    std::string OptionsPassword;
    bool ShowBalloonHint = true;
    bool MouseLRPress = true;
    std::uint16_t ShowOptionsHotKey = kDefaultShowOptionsHotKey;
    std::uint16_t NextDesktopHotKey = kDefaultNextDesktopHotKey;
    std::uint16_t HideTrayIconHotKey = kDefaultHideTrayIconHotKey;
    bool SwitchWithAlt = true;
    bool SwitchWithCtrl = false;
    bool SwitchWithShift = false;
};

// Fills every field from the file; a missing file, key or number gives the defaults.
void LoadCommonConfig(TCommonConfig& config);
void LoadCommonConfig(TCommonConfig& config, const std::string& configDir);

// Writes only "CheckBoxMouseLRPress_Checked" and "CheckBoxShowTips_Checked", in place.
void SaveCommonConfig(const TCommonConfig& config);
void SaveCommonConfig(const TCommonConfig& config, const std::string& configDir);

// The options dialog's persisted controls, with the dialog's initial state as defaults.
struct TOptionsSettings {
    bool CheckBoxAutoHideTrayIcon = false;
    bool CheckBoxAutoSwitch = true;
    bool CheckBoxHideDesktopWnd = false;
    bool CheckBoxHideTrayIcon = false;
    bool CheckBoxMouseLRPress = false;
    bool CheckBoxPasswordOption = false;
    bool CheckBoxShowBalloonhint = true;
    std::int32_t ComboBoxRestoreTime = 0; // list position 0 to 7
    std::int32_t ComboBoxIdleTime = 1;    // list position 0 to 7
    std::uint16_t HotKeyHideTrayIcon = kDefaultHideTrayIconHotKey;
    std::uint16_t HotKeyNextDesktop = kDefaultNextDesktopHotKey;
    std::uint16_t HotKeyShowOptions = kDefaultShowOptionsHotKey;
    bool CheckBoxShowTips = true;
    bool RadioButtonAlt = true;
    bool RadioButtonCtrl = false;
    bool RadioButtonShift = false;
};

// Restores the dialog's controls: a key that is present and readable overrides the value in
// `settings`, others keep it; a list position outside 0 to 7 becomes 1. `pendingPasswordHash`
// gets the stored "Password" (empty when absent). Nothing is read when "FormVersion" is below
// 0. Returns false in that case.
bool RestoreOptionsSettings(TOptionsSettings& settings, std::string& pendingPasswordHash);
bool RestoreOptionsSettings(TOptionsSettings& settings, std::string& pendingPasswordHash,
                            const std::string& configDir);

// The dialog's save: the whole file is rewritten in its normalised form with "FormVersion"
// 0, "Password" when `newPasswordHash` is not empty (an existing one is otherwise kept) and
// the sixteen control keys. Other keys and sections survive.
void SaveOptionsSettings(const TOptionsSettings& settings, const std::string& newPasswordHash);
void SaveOptionsSettings(const TOptionsSettings& settings, const std::string& newPasswordHash,
                         const std::string& configDir);

// One display mode.
struct TRSItem {
    std::uint32_t BitsPerPel = 0;
    std::uint32_t PelsWidth = 0;
    std::uint32_t PelsHeight = 0;
    std::uint32_t DisplayFrequency = 0;
};

bool SameMode(const TRSItem& a, const TRSItem& b);

struct TDesktopConfig {
    explicit TDesktopConfig(std::int32_t index) : Index(index) {}

    std::int32_t Index;
    bool IsActive = false;
    std::string Name;
    bool PasswordEnable = false;
    std::string Password;
    std::vector<std::string> Programs;
    bool ResolutionActive = false;
    std::int32_t BitsPerPel = 0;
    std::int32_t PelsWidth = 0;
    std::int32_t PelsHeight = 0;
    std::int32_t DisplayFrequency = 0;
};

// "desktop%d.ini" for the index, without a folder.
std::string DesktopConfigFileName(std::int32_t index);
std::string DesktopConfigFileName(const TDesktopConfig& config);

// Reads the record's file; programs are appended to `Programs`. A missing or unreadable file
// leaves the defaults; the answer tells the two apart, so that a caller guarding a desktop can
// refuse when its settings cannot be read.
SettingsFileState LoadDesktopConfig(TDesktopConfig& config);
SettingsFileState LoadDesktopConfig(TDesktopConfig& config, const std::string& configDir);

// Writes every field in place, as one replacement of the file.
void SaveDesktopConfig(const TDesktopConfig& config);
void SaveDesktopConfig(const TDesktopConfig& config, const std::string& configDir);

void SetDesktopPassword(TDesktopConfig& config, const std::string& passwordHash);

bool IsDesktopPasswordEnabled(std::int32_t index);
bool IsDesktopPasswordEnabled(std::int32_t index, const std::string& configDir);
std::string GetDesktopPassword(std::int32_t index);
std::string GetDesktopPassword(std::int32_t index, const std::string& configDir);

// Creates desktop0.ini to desktop2.ini, active and otherwise default, when missing.
void EnsureDefaultDesktops();
void EnsureDefaultDesktops(const std::string& configDir);

} // namespace ombrevane
