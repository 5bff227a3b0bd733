#pragma once
// Starting with Windows: one string value in the current user's list of programs started at
// logon, written on the very first start and then only by the options dialog's check box
// "Auto start when Windows logon". The first-run marker key keeps a user who switched the
// entry off from getting it back.

#include "platform/RegistryPlatform.h"

#include <string>
#include <string_view>

namespace ombrevane {

inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kStartValueName = "Ombrevane";
inline constexpr std::string_view kFirstRunKey = "SOFTWARE\\Tolvarine\\TileSwitch";

// The stored entry: the path in double quotes (a quote inside it doubled) and " -min".
std::string StartEntry(std::string_view executablePath);

// On the first start (no marker key) creates the marker and writes the start entry; in every
// case then creates the missing default desktop settings files in configDir, whose write
// errors it lets out. False when the registry refused a write.
bool RegisterOnFirstRun(RegistryPlatform& registry, const std::string& executablePath,
                        const std::string& configDir);

// Whether the program starts with Windows (a non-empty entry). A present entry is rewritten
// for the executable as it runs now, so it follows a moved program.
bool ReadStartWithOS(RegistryPlatform& registry, const std::string& executablePath);

// What the check box does when its state changes: writes the entry when ticked, removes it
// otherwise. False when the registry refused.
bool WriteStartWithOS(RegistryPlatform& registry, const std::string& executablePath, bool ticked);

} // namespace ombrevane
