// The registry seam over the real HKEY_CURRENT_USER, under a key of this test's own.

#include "platform/win32/Win32RegistryPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace ombrevane {
namespace {

class RegistryWin32Test : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str()); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot.c_str()); }

    void SetRaw(const std::string& key, const char* name, DWORD type, const void* data,
                DWORD size) {
        HKEY handle = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(handle);
    }

    const std::string kRoot =
        "Software\\OmbrevaneRegistryTest" + std::to_string(::GetCurrentProcessId());
    win32::Win32RegistryPlatform registry;
};

TEST_F(RegistryWin32Test, KeysAreCreatedWithTheirParentsAndFoundIgnoringCase) {
    const std::string key = kRoot + "\\Tolvarine\\TileSwitch";
    EXPECT_FALSE(registry.KeyExists(key));
    EXPECT_TRUE(registry.CreateKey(key));
    EXPECT_TRUE(registry.KeyExists(key));
    EXPECT_TRUE(registry.KeyExists(kRoot + "\\TOLVARINE\\tileswitch"));
    EXPECT_TRUE(registry.CreateKey(key)); // already there
}

TEST_F(RegistryWin32Test, StringsAreWrittenIntoNewKeysAndReadBack) {
    const std::string key = kRoot + "\\Run";
    const std::string entry = "\"C:\\a \"\"b\"\"\\o.exe\" -min";
    EXPECT_TRUE(registry.WriteString(key, "Ombrevane", entry));
    EXPECT_EQ(registry.ReadString(key, "Ombrevane"), entry);
    EXPECT_EQ(registry.ReadString(key, "OMBREVANE"), entry);
    EXPECT_TRUE(registry.WriteString(key, "Ombrevane", ""));
    EXPECT_EQ(registry.ReadString(key, "Ombrevane"), "");
    EXPECT_FALSE(registry.ReadString(key, "Other"));
    EXPECT_FALSE(registry.ReadString(kRoot + "\\Missing", "Ombrevane"));
}

TEST_F(RegistryWin32Test, OnlyStringValuesAreReadAndAMissingTerminatorIsNoHarm) {
    const std::string key = kRoot + "\\Run";
    const DWORD number = 1;
    SetRaw(key, "Number", REG_DWORD, &number, sizeof(number));
    SetRaw(key, "Unterminated", REG_SZ, "abc", 3);
    SetRaw(key, "Expandable", REG_EXPAND_SZ, "%TEMP%\\x", 9);
    EXPECT_FALSE(registry.ReadString(key, "Number"));
    EXPECT_EQ(registry.ReadString(key, "Unterminated"), "abc");
    EXPECT_EQ(registry.ReadString(key, "Expandable"), "%TEMP%\\x");
}

TEST_F(RegistryWin32Test, DeletingAnAbsentValueOrKeyIsNoError) {
    const std::string key = kRoot + "\\Run";
    EXPECT_TRUE(registry.DeleteValue(key, "Ombrevane")); // no key
    ASSERT_TRUE(registry.WriteString(key, "Ombrevane", "x"));
    EXPECT_TRUE(registry.DeleteValue(key, "ombrevane"));
    EXPECT_FALSE(registry.ReadString(key, "Ombrevane"));
    EXPECT_TRUE(registry.DeleteValue(key, "Ombrevane")); // no value
}

} // namespace
} // namespace ombrevane
