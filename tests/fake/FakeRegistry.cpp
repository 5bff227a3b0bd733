#include "fake/FakeRegistry.h"

#include <cctype>

namespace ombrevane::fake {

std::string FakeRegistry::Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    while (!folded.empty() && folded.back() == '\\') {
        folded.pop_back();
    }
    return folded;
}

void FakeRegistry::AddKeyChain(const std::string& folded) {
    for (std::size_t at = folded.find('\\'); at != std::string::npos;
         at = folded.find('\\', at + 1)) {
        keys_.try_emplace(folded.substr(0, at));
    }
    keys_.try_emplace(folded);
}

bool FakeRegistry::KeyExists(std::string_view key) {
    return keys_.count(Fold(key)) != 0;
}

bool FakeRegistry::CreateKey(std::string_view key) {
    if (KeyExists(key)) {
        return true;
    }
    if (refuseWrites) {
        return false;
    }
    AddKeyChain(Fold(key));
    changes.push_back("key " + std::string(key));
    return true;
}

std::optional<std::string> FakeRegistry::ReadString(std::string_view key, std::string_view name) {
    return Value(key, name);
}

std::optional<std::string> FakeRegistry::Value(std::string_view key, std::string_view name) const {
    const auto found = keys_.find(Fold(key));
    if (found == keys_.end()) {
        return std::nullopt;
    }
    const auto value = found->second.find(Fold(name));
    if (value == found->second.end() || !value->second.isString) {
        return std::nullopt;
    }
    return value->second.data;
}

bool FakeRegistry::WriteString(std::string_view key, std::string_view name,
                               std::string_view value) {
    if (refuseWrites) {
        return false;
    }
    const std::string folded = Fold(key);
    AddKeyChain(folded);
    keys_[folded][Fold(name)] = {true, std::string(value)};
    changes.push_back("write " + std::string(key) + "|" + std::string(name) + "=" +
                      std::string(value));
    return true;
}

bool FakeRegistry::DeleteValue(std::string_view key, std::string_view name) {
    const auto found = keys_.find(Fold(key));
    if (found == keys_.end() || found->second.count(Fold(name)) == 0) {
        return true;
    }
    if (refuseWrites) {
        return false;
    }
    found->second.erase(Fold(name));
    changes.push_back("delete " + std::string(key) + "|" + std::string(name));
    return true;
}

void FakeRegistry::SetNonString(std::string_view key, std::string_view name) {
    const std::string folded = Fold(key);
    AddKeyChain(folded);
    keys_[folded][Fold(name)] = {false, "1"};
}

void FakeRegistry::DeleteKey(std::string_view key) {
    const std::string folded = Fold(key);
    for (auto it = keys_.begin(); it != keys_.end();) {
        if (it->first == folded || it->first.rfind(folded + "\\", 0) == 0) {
            it = keys_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace ombrevane::fake
