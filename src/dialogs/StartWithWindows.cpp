#include "dialogs/StartWithWindows.h"

#include "config/ConfigUnit.h"

namespace ombrevane {

std::string StartEntry(std::string_view executablePath) {
    std::string entry = "\"";
    for (const char c : executablePath) {
        entry += c;
        if (c == '"') {
            entry += '"';
        }
    }
    entry += "\" -min";
    return entry;
}

bool RegisterOnFirstRun(RegistryPlatform& registry, const std::string& executablePath,
                        const std::string& configDir) {
    bool written = true;
    if (!registry.KeyExists(kFirstRunKey)) {
        written = registry.CreateKey(kFirstRunKey);
        written =
            registry.WriteString(kRunKey, kStartValueName, StartEntry(executablePath)) && written;
    }
    EnsureDefaultDesktops(configDir);
    return written;
}

bool ReadStartWithOS(RegistryPlatform& registry, const std::string& executablePath) {
    const std::optional<std::string> stored = registry.ReadString(kRunKey, kStartValueName);
    if (!stored || stored->empty()) {
        return false;
    }
    registry.WriteString(kRunKey, kStartValueName, StartEntry(executablePath));
    return true;
}

bool WriteStartWithOS(RegistryPlatform& registry, const std::string& executablePath, bool ticked) {
    if (ticked) {
        return registry.WriteString(kRunKey, kStartValueName, StartEntry(executablePath));
    }
    return registry.DeleteValue(kRunKey, kStartValueName);
}

} // namespace ombrevane
