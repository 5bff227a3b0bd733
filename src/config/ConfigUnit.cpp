#include "config/ConfigUnit.h"

#include "config/programinfo.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <charconv>

namespace ombrevane {

namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kProgramList = "ProgramList";
constexpr const char* kResolution = "Resolution";

std::string ConfigDir() {
    return GetExtInfo()->GetConfigDir();
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}

std::int32_t TimeTableSeconds(std::int32_t position) {
    if (position < 0 || position > 7) {
        position = kOutOfRangeTimePosition;
    }
    return kTimeTableSeconds[position];
}

// A hot key is a 16-bit shortcut word; a stored value outside that range is not one.
std::uint16_t ReadHotKey(const IniFile& file, std::string_view key, std::uint16_t fallback) {
    const auto value = ParseIniInteger(file.ReadString(kCommonConfigSection, key).value_or(""));
    if (!value || *value < 0 || *value > 0xFFFF) {
        return fallback;
    }
    return static_cast<std::uint16_t>(*value);
}

// "Item<n>" with n in plain decimal, as the writer forms it.
std::optional<std::int32_t> ItemNumber(std::string_view key) {
    if (key.size() < 5 || (key[0] != 'I' && key[0] != 'i') || (key[1] != 't' && key[1] != 'T') ||
        (key[2] != 'e' && key[2] != 'E') || (key[3] != 'm' && key[3] != 'M')) {
        return std::nullopt;
    }
    const std::string_view digits = key.substr(4);
    if (digits.size() > 1 && digits[0] == '0') {
        return std::nullopt;
    }
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number < 0) {
        return std::nullopt;
    }
    return number;
}

} // namespace

void LoadCommonConfig(TCommonConfig& config) {
    LoadCommonConfig(config, ConfigDir());
}

void LoadCommonConfig(TCommonConfig& config, const std::string& configDir) {
    const IniFile file = LoadSettingsFile(configDir + kCommonConfigFileName);
    const char* s = kCommonConfigSection;
    config.AutoSwitch = file.ReadBool(s, "CheckBoxAutoSwitch_Checked", false);
    config.ShowTips = file.ReadBool(s, "CheckBoxShowTips_Checked", true);
    config.IdleSeconds = TimeTableSeconds(file.ReadInteger(s, "ComboBoxIdleTime_ItemIndex", 0));
    config.HideTrayIcon = file.ReadBool(s, "CheckBoxHideTrayIcon_Checked", false);
    config.HideInactiveWindows = file.ReadBool(s, "CheckBoxHideDesktopWnd_Checked", false);
    config.PasswordOption = file.ReadBool(s, "CheckBoxPasswordOption_Checked", false);
    config.AutoHideTrayIcon = file.ReadBool(s, "CheckBoxAutoHideTrayIcon_Checked", false);
    config.RestoreSeconds =
        TimeTableSeconds(file.ReadInteger(s, "ComboBoxRestoreTime_ItemIndex", 0));
    config.OptionsPassword = file.ReadText(s, "Password", "");
    config.ShowBalloonHint = file.ReadBool(s, "CheckBoxShowBalloonhint_Checked", true);
    config.MouseLRPress = file.ReadBool(s, "CheckBoxMouseLRPress_Checked", true);
    config.ShowOptionsHotKey =
        ReadHotKey(file, "HotKeyShowOptions_HotKey", kDefaultShowOptionsHotKey);
    config.NextDesktopHotKey =
        ReadHotKey(file, "HotKeyNextDesktop_HotKey", kDefaultNextDesktopHotKey);
    config.HideTrayIconHotKey =
        ReadHotKey(file, "HotKeyHideTrayIcon_HotKey", kDefaultHideTrayIconHotKey);
    config.SwitchWithAlt = file.ReadBool(s, "RadioButtonAlt_Checked", true);
    config.SwitchWithCtrl = file.ReadBool(s, "RadioButtonCtrl_Checked", false);
    config.SwitchWithShift = file.ReadBool(s, "RadioButtonShift_Checked", false);
    if (!config.SwitchWithAlt && !config.SwitchWithCtrl && !config.SwitchWithShift) {
        config.SwitchWithAlt = true;
    }
}

void SaveCommonConfig(const TCommonConfig& config) {
    SaveCommonConfig(config, ConfigDir());
}

void SaveCommonConfig(const TCommonConfig& config, const std::string& configDir) {
    WriteSettingsKeys(configDir + kCommonConfigFileName, [&](IniFile& file) {
        file.WriteString(kCommonConfigSection, "CheckBoxMouseLRPress_Checked",
                         Flag(config.MouseLRPress));
        file.WriteString(kCommonConfigSection, "CheckBoxShowTips_Checked", Flag(config.ShowTips));
    });
}

bool RestoreOptionsSettings(TOptionsSettings& settings, std::string& pendingPasswordHash) {
    return RestoreOptionsSettings(settings, pendingPasswordHash, ConfigDir());
}

bool RestoreOptionsSettings(TOptionsSettings& settings, std::string& pendingPasswordHash,
                            const std::string& configDir) {
    const IniFile file = LoadSettingsFile(configDir + kCommonConfigFileName).ToImage();
    const char* s = kCommonConfigSection;
    if (file.ReadInteger(s, "FormVersion", 0) < 0) {
        return false;
    }
    auto flag = [&](const char* key, bool& value) { value = file.ReadBool(s, key, value); };
    auto position = [&](const char* key, std::int32_t& value) {
        value = file.ReadInteger(s, key, value);
        if (value < 0 || value > 7) {
            value = kOutOfRangeTimePosition;
        }
    };
    auto hotKey = [&](const char* key, std::uint16_t& value) {
        value = ReadHotKey(file, key, value);
    };
    flag("CheckBoxAutoHideTrayIcon_Checked", settings.CheckBoxAutoHideTrayIcon);
    flag("CheckBoxAutoSwitch_Checked", settings.CheckBoxAutoSwitch);
    flag("CheckBoxHideDesktopWnd_Checked", settings.CheckBoxHideDesktopWnd);
    flag("CheckBoxHideTrayIcon_Checked", settings.CheckBoxHideTrayIcon);
    flag("CheckBoxMouseLRPress_Checked", settings.CheckBoxMouseLRPress);
    flag("CheckBoxPasswordOption_Checked", settings.CheckBoxPasswordOption);
    flag("CheckBoxShowBalloonhint_Checked", settings.CheckBoxShowBalloonhint);
    position("ComboBoxRestoreTime_ItemIndex", settings.ComboBoxRestoreTime);
    position("ComboBoxIdleTime_ItemIndex", settings.ComboBoxIdleTime);
    hotKey("HotKeyHideTrayIcon_HotKey", settings.HotKeyHideTrayIcon);
    hotKey("HotKeyNextDesktop_HotKey", settings.HotKeyNextDesktop);
    hotKey("HotKeyShowOptions_HotKey", settings.HotKeyShowOptions);
    flag("CheckBoxShowTips_Checked", settings.CheckBoxShowTips);
    flag("RadioButtonAlt_Checked", settings.RadioButtonAlt);
    flag("RadioButtonCtrl_Checked", settings.RadioButtonCtrl);
    flag("RadioButtonShift_Checked", settings.RadioButtonShift);
    pendingPasswordHash = file.ReadText(s, "Password", "");
    return true;
}

void SaveOptionsSettings(const TOptionsSettings& settings, const std::string& newPasswordHash) {
    SaveOptionsSettings(settings, newPasswordHash, ConfigDir());
}

void SaveOptionsSettings(const TOptionsSettings& settings, const std::string& newPasswordHash,
                         const std::string& configDir) {
    WriteSettingsImage(configDir + kCommonConfigFileName, [&](IniFile& image) {
        auto put = [&](const char* key, const std::string& value) {
            image.WriteString(kCommonConfigSection, key, value);
        };
        put("FormVersion", "0");
        // The program only ever replaces a stored options password, never empties it.
        if (!newPasswordHash.empty()) {
            put("Password", newPasswordHash);
        }
        put("CheckBoxAutoHideTrayIcon_Checked", Flag(settings.CheckBoxAutoHideTrayIcon));
        put("CheckBoxAutoSwitch_Checked", Flag(settings.CheckBoxAutoSwitch));
        put("CheckBoxHideDesktopWnd_Checked", Flag(settings.CheckBoxHideDesktopWnd));
        put("CheckBoxHideTrayIcon_Checked", Flag(settings.CheckBoxHideTrayIcon));
        put("CheckBoxMouseLRPress_Checked", Flag(settings.CheckBoxMouseLRPress));
        put("CheckBoxPasswordOption_Checked", Flag(settings.CheckBoxPasswordOption));
        put("CheckBoxShowBalloonhint_Checked", Flag(settings.CheckBoxShowBalloonhint));
        put("ComboBoxRestoreTime_ItemIndex", std::to_string(settings.ComboBoxRestoreTime));
        put("ComboBoxIdleTime_ItemIndex", std::to_string(settings.ComboBoxIdleTime));
        put("HotKeyHideTrayIcon_HotKey", std::to_string(settings.HotKeyHideTrayIcon));
        put("HotKeyNextDesktop_HotKey", std::to_string(settings.HotKeyNextDesktop));
        put("HotKeyShowOptions_HotKey", std::to_string(settings.HotKeyShowOptions));
        put("CheckBoxShowTips_Checked", Flag(settings.CheckBoxShowTips));
        put("RadioButtonAlt_Checked", Flag(settings.RadioButtonAlt));
        put("RadioButtonCtrl_Checked", Flag(settings.RadioButtonCtrl));
        put("RadioButtonShift_Checked", Flag(settings.RadioButtonShift));
    });
}

bool SameMode(const TRSItem& a, const TRSItem& b) {
    return a.BitsPerPel == b.BitsPerPel && a.PelsWidth == b.PelsWidth &&
           a.PelsHeight == b.PelsHeight && a.DisplayFrequency == b.DisplayFrequency;
}

std::string DesktopConfigFileName(std::int32_t index) {
    return "desktop" + std::to_string(index) + ".ini";
}

std::string DesktopConfigFileName(const TDesktopConfig& config) {
    return DesktopConfigFileName(config.Index);
}

SettingsFileState LoadDesktopConfig(TDesktopConfig& config) {
    return LoadDesktopConfig(config, ConfigDir());
}

SettingsFileState LoadDesktopConfig(TDesktopConfig& config, const std::string& configDir) {
    const SettingsFileContent content = ReadSettingsFile(configDir + DesktopConfigFileName(config));
    const IniFile& file = content.file;
    constexpr bool kStripQuotes = true;

    config.IsActive = file.ReadBool(kGeneral, "active", false);
    config.Name = file.ReadText(
        kGeneral, "name", "Desktop" + std::to_string(static_cast<std::int64_t>(config.Index) + 1),
        kStripQuotes);
    config.PasswordEnable = file.ReadBool(kGeneral, "PasswordEnable", false);
    config.Password = file.ReadText(kGeneral, "Password", "", kStripQuotes);

    // A huge count would hang the instance and exhaust memory; a bound keeps every sane
    // count's meaning. One pass over the section finds the entries, absent ones stay empty.
    const std::int32_t count =
        std::min(file.ReadInteger(kProgramList, "count", 0), kMaxDesktopPrograms);
    if (count > 0) {
        std::vector<std::string> entries(static_cast<std::size_t>(count));
        std::vector<bool> seen(entries.size(), false);
        file.ForEachKey(kProgramList, [&](std::string_view key, std::string_view value) {
            const auto number = ItemNumber(key);
            if (number && *number < count && !seen[static_cast<std::size_t>(*number)]) {
                seen[static_cast<std::size_t>(*number)] = true;
                const std::string_view text = StripEnclosingQuotes(value);
                entries[static_cast<std::size_t>(*number)] = text.substr(0, kIniMaxTextLength);
            }
        });
        config.Programs.insert(config.Programs.end(), std::make_move_iterator(entries.begin()),
                               std::make_move_iterator(entries.end()));
    }

    config.ResolutionActive = file.ReadBool(kResolution, "active", false);
    config.BitsPerPel = file.ReadInteger(kResolution, "BitsPerPel", 0);
    config.PelsWidth = file.ReadInteger(kResolution, "PelsWidth", 0);
    config.PelsHeight = file.ReadInteger(kResolution, "PelsHeight", 0);
    config.DisplayFrequency = file.ReadInteger(kResolution, "DisplayFrequency", 0);
    return content.state;
}

void SaveDesktopConfig(const TDesktopConfig& config) {
    SaveDesktopConfig(config, ConfigDir());
}

void SaveDesktopConfig(const TDesktopConfig& config, const std::string& configDir) {
    // One replacement for the whole record: a failed or interrupted save leaves the old
    // record complete instead of a mix of old and new keys.
    WriteSettingsKeys(configDir + DesktopConfigFileName(config), [&](IniFile& file) {
        file.WriteString(kGeneral, "active", Flag(config.IsActive));
        file.WriteString(kGeneral, "name", config.Name);
        file.WriteString(kGeneral, "PasswordEnable", Flag(config.PasswordEnable));
        file.WriteString(kGeneral, "Password", config.Password);
        file.WriteString(kProgramList, "count", std::to_string(config.Programs.size()));
        for (std::size_t i = 0; i < config.Programs.size(); ++i) {
            file.WriteString(kProgramList, "Item" + std::to_string(i), config.Programs[i]);
        }
        file.WriteString(kResolution, "active", Flag(config.ResolutionActive));
        file.WriteString(kResolution, "BitsPerPel", std::to_string(config.BitsPerPel));
        file.WriteString(kResolution, "PelsWidth", std::to_string(config.PelsWidth));
        file.WriteString(kResolution, "PelsHeight", std::to_string(config.PelsHeight));
        file.WriteString(kResolution, "DisplayFrequency", std::to_string(config.DisplayFrequency));
    });
}

void SetDesktopPassword(TDesktopConfig& config, const std::string& passwordHash) {
    config.Password = passwordHash;
}

bool IsDesktopPasswordEnabled(std::int32_t index) {
    return IsDesktopPasswordEnabled(index, ConfigDir());
}

bool IsDesktopPasswordEnabled(std::int32_t index, const std::string& configDir) {
    TDesktopConfig config(index);
    LoadDesktopConfig(config, configDir);
    return config.PasswordEnable;
}

std::string GetDesktopPassword(std::int32_t index) {
    return GetDesktopPassword(index, ConfigDir());
}

std::string GetDesktopPassword(std::int32_t index, const std::string& configDir) {
    TDesktopConfig config(index);
    LoadDesktopConfig(config, configDir);
    return config.Password;
}

void EnsureDefaultDesktops() {
    EnsureDefaultDesktops(ConfigDir());
}

void EnsureDefaultDesktops(const std::string& configDir) {
    for (std::int32_t index = 0; index <= 2; ++index) {
        if (FileExists(configDir + DesktopConfigFileName(index))) {
            continue;
        }
        TDesktopConfig config(index);
        LoadDesktopConfig(config, configDir);
        config.IsActive = true;
        SaveDesktopConfig(config, configDir);
    }
}

} // namespace ombrevane
