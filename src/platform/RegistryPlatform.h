#pragma once
// The current user's part of the registry (HKEY_CURRENT_USER): string values under keys
// named by paths with "\" separators. Key paths and value names compare ignoring case, as
// the registry does. The Win32 build implements it over the real registry; native tests use
// a simulated one.

#include <optional>
#include <string>
#include <string_view>

namespace ombrevane {

class RegistryPlatform {
public:
    virtual ~RegistryPlatform() = default;

    virtual bool KeyExists(std::string_view key) = 0;
    // Creates the key and every missing parent; true when it exists afterwards.
    virtual bool CreateKey(std::string_view key) = 0;
    // Empty when the key or the value is missing or the value is not a string.
    virtual std::optional<std::string> ReadString(std::string_view key, std::string_view name) = 0;
    // Writes a string value, creating the key when missing.
    virtual bool WriteString(std::string_view key, std::string_view name,
                             std::string_view value) = 0;
    // True when the value is gone afterwards, also when it was never there.
    virtual bool DeleteValue(std::string_view key, std::string_view name) = 0;
};

} // namespace ombrevane
