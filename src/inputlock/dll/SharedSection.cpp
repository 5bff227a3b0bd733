#include "inputlock/dll/SharedSection.h"

#include <windows.h>

#include <atomic>

namespace ombrevane::inputward {

namespace {

// Room for the user's SID (at most 68 bytes) in a token query and in a one-entry ACL.
constexpr DWORD kTokenUserBytes = 128;
constexpr DWORD kAclBytes = 128;

// The creator stamps the header right after mapping; an opener that comes in between waits
// this long for it.
constexpr int kHeaderWaits = 50;
constexpr DWORD kHeaderWaitMs = 2;

std::int32_t LoadInt(std::int32_t& field) {
    return std::atomic_ref<std::int32_t>(field).load(std::memory_order_acquire);
}

void StoreInt(std::int32_t& field, std::int32_t value) {
    std::atomic_ref<std::int32_t>(field).store(value, std::memory_order_release);
}

} // namespace

bool OwnerOnlyAcl(void* acl, std::uint32_t aclBytes) {
    HANDLE tokenHandle = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &tokenHandle)) {
        return false;
    }
    const win32::UniqueKernelHandle token(tokenHandle);
    alignas(TOKEN_USER) unsigned char buffer[kTokenUserBytes];
    DWORD length = 0;
    if (!::GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &length)) {
        return false;
    }
    PSID user = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    return ::InitializeAcl(static_cast<PACL>(acl), aclBytes, ACL_REVISION) &&
           ::AddAccessAllowedAce(static_cast<PACL>(acl), ACL_REVISION, SECTION_ALL_ACCESS, user);
}

SharedSection OpenSharedSection(const char* name, std::int32_t magic, std::uint32_t size) {
    SharedSection section;
    if (size < sizeof(SharedSectionHeader)) {
        return section;
    }
    alignas(ACL) unsigned char acl[kAclBytes];
    SECURITY_DESCRIPTOR descriptor;
    if (!OwnerOnlyAcl(acl, sizeof acl) ||
        !::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(acl), FALSE)) {
        return section;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    section.mapping.reset(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, size, name));
    if (!section.mapping) {
        return section;
    }
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    // A view larger than an existing section fails: one too small is refused here.
    section.view.reset(::MapViewOfFile(section.mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, size));
    if (!section.view) {
        section.outcome = existed ? SharedSectionOutcome::Refused : SharedSectionOutcome::Failed;
        section.mapping.reset();
        return section;
    }
    auto& header = *static_cast<SharedSectionHeader*>(section.view.get());
    if (!existed) {
        // The size first: whoever sees the magic sees the size too.
        StoreInt(header.size, static_cast<std::int32_t>(size));
        StoreInt(header.magic, magic);
        section.outcome = SharedSectionOutcome::Created;
        return section;
    }
    for (int i = 0; i < kHeaderWaits && LoadInt(header.magic) == 0; ++i) {
        ::Sleep(kHeaderWaitMs);
    }
    if (LoadInt(header.magic) != magic || LoadInt(header.size) != static_cast<std::int32_t>(size)) {
        section.view.reset();
        section.mapping.reset();
        section.outcome = SharedSectionOutcome::Refused;
        return section;
    }
    section.outcome = SharedSectionOutcome::Opened;
    return section;
}

} // namespace ombrevane::inputward
