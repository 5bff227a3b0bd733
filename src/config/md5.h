#pragma once
// The password hash: MD5 (RFC 1321) of a password's ANSI bytes as 32 lower-case hex digits,
// and the rules by which a typed password sets or matches a stored hash.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrevane {

using TMD5Digest = std::array<std::uint8_t, 16>;

// Shown in both password edits of a protected setting; saving it keeps the stored hash.
inline constexpr std::string_view kUnchangedPasswordPlaceholder = "QX517KDL408MPR";
inline constexpr std::string_view kPasswordIncorrectText = "Password is incorrect.";

TMD5Digest MD5Digest(std::string_view bytes);
std::string DigestToHex(const TMD5Digest& digest);
std::string PasswordHash(std::string_view password);

enum class PasswordEditOutcome {
    Mismatch,   // the two edits differ: refuse to save, show kPasswordIncorrectText
    KeepStored, // empty or the placeholder: the stored hash stays as it is
    NewHash,    // a new password: store `hash`
};

struct PasswordEditResult {
    PasswordEditOutcome outcome = PasswordEditOutcome::KeepStored;
    std::string hash; // set for NewHash only
};

// Evaluates the "Password:" and "Again:" edits of a dialog on save.
PasswordEditResult EvaluatePasswordEdits(std::string_view password, std::string_view again);

// The stored hash after a save with these edits, or nothing when the edits differ.
std::optional<std::string> StoredHashAfterEdits(std::string_view password, std::string_view again,
                                                std::string_view storedHash);

// An empty stored hash accepts every entry; otherwise the entry's hash must match exactly.
bool CheckPassword(std::string_view typed, std::string_view storedHash);

} // namespace ombrevane
