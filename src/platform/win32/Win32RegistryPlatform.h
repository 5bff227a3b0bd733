#pragma once
// The registry seam over HKEY_CURRENT_USER of the calling process.

#include "platform/RegistryPlatform.h"

namespace ombrevane::win32 {

class Win32RegistryPlatform : public RegistryPlatform {
public:
    bool KeyExists(std::string_view key) override;
    bool CreateKey(std::string_view key) override;
    std::optional<std::string> ReadString(std::string_view key, std::string_view name) override;
    bool WriteString(std::string_view key, std::string_view name, std::string_view value) override;
    bool DeleteValue(std::string_view key, std::string_view name) override;
};

} // namespace ombrevane::win32
