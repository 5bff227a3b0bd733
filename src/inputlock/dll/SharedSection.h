#pragma once
// The named section through which the instances of inputward.dll share their settings.
//
// It is made readable and writable by the current user alone: its DACL holds one entry, for
// the user of the calling process, so no other account in the session can open it. And it is
// used only when it starts with the expected header, a 32-bit magic value and the 32-bit size
// of the whole layout: a section of that name made by something else, or by another version of
// the library with another layout, is refused rather than read or written.

#include "platform/win32/UniqueHandle.h"

#include <cstdint>

namespace ombrevane::inputward {

struct SharedSectionHeader {
    std::int32_t magic;
    std::int32_t size;
};

enum class SharedSectionOutcome { Created, Opened, Refused, Failed };

struct SharedSection {
    win32::UniqueKernelHandle mapping;
    win32::UniqueView view; // empty unless Created or Opened
    SharedSectionOutcome outcome = SharedSectionOutcome::Failed;
};

// Creates or opens the section `name` of `size` bytes (at least the header). A new one is
// zero-filled and gets the header; an existing one must carry it.
SharedSection OpenSharedSection(const char* name, std::int32_t magic, std::uint32_t size);

// The DACL the section is created with: one entry allowing the calling process's user full
// access. Fills `acl` (of `aclBytes`); false when the user cannot be read.
bool OwnerOnlyAcl(void* acl, std::uint32_t aclBytes);

} // namespace ombrevane::inputward
