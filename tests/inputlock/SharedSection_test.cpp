// The input-lock library's shared section over real named objects (run under Wine): made for
// the current user alone, and refused when a section of that name does not carry the
// library's header. Wine has a single user, so the owner-only access shows in the DACL read
// back from the section.

#include "inputlock/dll/SharedSection.h"
#include "inputlock/inputwardexport.h"

#include <windows.h>

#include <aclapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ombrevane {
namespace {

using inputward::OpenSharedSection;
using inputward::SharedSectionOutcome;

constexpr std::int32_t kMagic = 0x54455354;
constexpr std::uint32_t kSize = 64;

// Names of this run only, so that parallel runs do not meet.
std::string UniqueName(const char* what) {
    return std::string("Local\\OmbrevaneSharedTest_") + what + "_" +
           std::to_string(::GetCurrentProcessId());
}

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

// The DACL of the named section holds exactly one entry: full access for this process's user.
void ExpectOwnerOnly(const std::string& name) {
    const win32::UniqueKernelHandle section(::OpenFileMappingA(READ_CONTROL, FALSE, name.c_str()));
    ASSERT_TRUE(section) << name;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(::GetSecurityInfo(section.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_NE(dacl, nullptr) << "no DACL: anyone may open it";
    ASSERT_EQ(dacl->AceCount, 1);
    void* entry = nullptr;
    ASSERT_TRUE(::GetAce(dacl, 0, &entry));
    const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(ace->Mask & SECTION_ALL_ACCESS, static_cast<DWORD>(SECTION_ALL_ACCESS));

    HANDLE tokenHandle = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &tokenHandle));
    const win32::UniqueKernelHandle token(tokenHandle);
    alignas(TOKEN_USER) unsigned char buffer[256];
    DWORD length = 0;
    ASSERT_TRUE(::GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &length));
    EXPECT_TRUE(::EqualSid(const_cast<DWORD*>(&ace->SidStart),
                           reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid))
        << "the entry is not this user's";
    ::LocalFree(descriptor);
}

TEST(SharedSection, CreatedForTheUserAloneAndSharedByName) {
    const std::string name = UniqueName("fresh");
    auto first = OpenSharedSection(name.c_str(), kMagic, kSize);
    ASSERT_EQ(first.outcome, SharedSectionOutcome::Created);
    ExpectOwnerOnly(name);
    const auto* header = static_cast<const inputward::SharedSectionHeader*>(first.view.get());
    EXPECT_EQ(header->magic, kMagic);
    EXPECT_EQ(header->size, static_cast<std::int32_t>(kSize));

    auto second = OpenSharedSection(name.c_str(), kMagic, kSize);
    ASSERT_EQ(second.outcome, SharedSectionOutcome::Opened);
    static_cast<unsigned char*>(first.view.get())[kSize - 1] = 0x5A;
    EXPECT_EQ(static_cast<unsigned char*>(second.view.get())[kSize - 1], 0x5A);
}

// Sections of the name made beforehand by someone else (or another version of the library).
TEST(SharedSection, AForeignSectionIsRefused) {
    struct Case {
        const char* name;
        std::uint32_t size;  // of the squatted section
        std::int32_t magic;  // its header
        std::int32_t header; // the size its header claims
    };
    const Case cases[] = {
        {"magic", kSize, kMagic + 1, static_cast<std::int32_t>(kSize)},
        {"layout", kSize, kMagic, static_cast<std::int32_t>(kSize - 8)},
        {"larger", kSize * 2, kMagic, static_cast<std::int32_t>(kSize * 2)},
        {"never stamped", kSize, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = UniqueName(c.name);
        const win32::UniqueKernelHandle squatter(::CreateFileMappingA(
            INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, c.size, name.c_str()));
        ASSERT_TRUE(squatter);
        const win32::UniqueView view(
            ::MapViewOfFile(squatter.get(), FILE_MAP_ALL_ACCESS, 0, 0, c.size));
        ASSERT_TRUE(view);
        auto* header = static_cast<inputward::SharedSectionHeader*>(view.get());
        header->magic = c.magic;
        header->size = c.header;
        unsigned char before[kSize * 2];
        std::memcpy(before, view.get(), c.size);

        auto section = OpenSharedSection(name.c_str(), kMagic, kSize);
        EXPECT_EQ(section.outcome, SharedSectionOutcome::Refused);
        EXPECT_FALSE(section.view);
        EXPECT_EQ(std::memcmp(before, view.get(), c.size), 0) << "the foreign section was written";
    }
}

// A section smaller than the layout cannot even be mapped whole.
TEST(SharedSection, ASmallerSectionIsRefused) {
    const std::string name = UniqueName("smaller");
    const win32::UniqueKernelHandle squatter(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, name.c_str()));
    ASSERT_TRUE(squatter);
    auto section = OpenSharedSection(name.c_str(), kMagic, 8192);
    EXPECT_EQ(section.outcome, SharedSectionOutcome::Refused);
    EXPECT_FALSE(section.view);
}

// The library itself: its section is the user's alone, and "Default" starting up (Initial)
// ends a suspension that an instance which crashed while suspended left behind.
TEST(SharedSection, TheLibrarysSection) {
    const InputWardLibrary library = InputWardLibrary::LoadFromFolder(
        WindowsPath(OMBREVANE_TEST_STAGE_BIN), [](const std::string&) {});
    ASSERT_TRUE(library.IsLoaded()) << library.Problem();
    EXPECT_NE(library.LockShortcutKey(1), 0);
    EXPECT_NE(library.IsShortcutKeyLock(), 0);
    EXPECT_NE(library.Initial(), 0);
    EXPECT_EQ(library.IsShortcutKeyLock(), 0);
    ExpectOwnerOnly("Local\\OmbrevaneInputWardShared");
}

} // namespace
} // namespace ombrevane
