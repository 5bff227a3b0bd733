#pragma once
// A simulated HKEY_CURRENT_USER: keys with parents, string and other values, key paths and
// value names compared ignoring case as the registry does, and writes that can be refused.

#include "platform/RegistryPlatform.h"

#include <map>
#include <string>
#include <vector>

namespace ombrevane::fake {

class FakeRegistry : public RegistryPlatform {
public:
    bool KeyExists(std::string_view key) override;
    bool CreateKey(std::string_view key) override;
    std::optional<std::string> ReadString(std::string_view key, std::string_view name) override;
    bool WriteString(std::string_view key, std::string_view name, std::string_view value) override;
    bool DeleteValue(std::string_view key, std::string_view name) override;

    // A value of another type (a number, for example), which ReadString does not take.
    void SetNonString(std::string_view key, std::string_view name);
    void DeleteKey(std::string_view key);
    // The stored string, for checks; empty when absent.
    std::optional<std::string> Value(std::string_view key, std::string_view name) const;

    // Every change (key creation, value write or removal) fails while set.
    bool refuseWrites = false;
    // Every successful change, in order: "key <path>", "write <path>|<name>=<value>",
    // "delete <path>|<name>".
    std::vector<std::string> changes;

private:
    struct StoredValue {
        bool isString = true;
        std::string data;
    };
    using Values = std::map<std::string, StoredValue>;

    static std::string Fold(std::string_view text);
    void AddKeyChain(const std::string& folded);

    std::map<std::string, Values> keys_;
};

} // namespace ombrevane::fake
