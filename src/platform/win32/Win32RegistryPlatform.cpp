#include "platform/win32/Win32RegistryPlatform.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <vector>

namespace ombrevane::win32 {

namespace {

LSTATUS OpenKey(std::string_view key, REGSAM access, UniqueRegKey& opened) {
    HKEY handle = nullptr;
    const LSTATUS status =
        ::RegOpenKeyExA(HKEY_CURRENT_USER, std::string(key).c_str(), 0, access, &handle);
    opened.reset(status == ERROR_SUCCESS ? handle : nullptr);
    return status;
}

LSTATUS CreateOrOpenKey(std::string_view key, REGSAM access, UniqueRegKey& opened) {
    HKEY handle = nullptr;
    const LSTATUS status = ::RegCreateKeyExA(HKEY_CURRENT_USER, std::string(key).c_str(), 0,
                                             nullptr, 0, access, nullptr, &handle, nullptr);
    opened.reset(status == ERROR_SUCCESS ? handle : nullptr);
    return status;
}

} // namespace

bool Win32RegistryPlatform::KeyExists(std::string_view key) {
    UniqueRegKey opened;
    const LSTATUS status = OpenKey(key, KEY_QUERY_VALUE, opened);
    // A key we may not open is there all the same.
    return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

bool Win32RegistryPlatform::CreateKey(std::string_view key) {
    UniqueRegKey opened;
    return CreateOrOpenKey(key, KEY_QUERY_VALUE, opened) == ERROR_SUCCESS;
}

std::optional<std::string> Win32RegistryPlatform::ReadString(std::string_view key,
                                                             std::string_view name) {
    UniqueRegKey opened;
    if (OpenKey(key, KEY_QUERY_VALUE, opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::string valueName(name);
    // The value may grow between the size query and the read; a few rounds settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status =
            ::RegQueryValueExA(opened.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return std::nullopt;
        }
        std::vector<char> buffer(size + 1, '\0');
        status = ::RegQueryValueExA(opened.get(), valueName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return std::nullopt;
        }
        // The stored text need not end with its terminator; the buffer has one more zero.
        return std::string(buffer.data());
    }
    return std::nullopt;
}

bool Win32RegistryPlatform::WriteString(std::string_view key, std::string_view name,
                                        std::string_view value) {
    UniqueRegKey opened;
    if (CreateOrOpenKey(key, KEY_SET_VALUE, opened) != ERROR_SUCCESS) {
        return false;
    }
    const std::string text(value);
    return ::RegSetValueExA(opened.get(), std::string(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool Win32RegistryPlatform::DeleteValue(std::string_view key, std::string_view name) {
    UniqueRegKey opened;
    const LSTATUS status = OpenKey(key, KEY_SET_VALUE, opened);
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (status != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS deleted = ::RegDeleteValueA(opened.get(), std::string(name).c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

} // namespace ombrevane::win32
