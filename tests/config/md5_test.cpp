#include "config/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrevane {
namespace {

struct HashCase {
    std::string input;
    const char* hex;
};

// RFC 1321's test suite, then lengths around the 56-byte padding boundary and the block size.
const HashCase kHashCases[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
    {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
    {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
    {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
    {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
    {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
    {std::string(127, 'a'), "020406e1d05cdc2aa287641f7ae2cc39"},
    {std::string(128, 'a'), "e510683b3f5ffe4093d021808bc6ff70"},
    {std::string(1000, 'a'), "cabe45dcc9ae5b66ba86600cca6b8ba8"},
};

TEST(PasswordHash, MatchesTheStandardValues) {
    for (const HashCase& c : kHashCases) {
        EXPECT_EQ(PasswordHash(c.input), c.hex) << "length " << c.input.size();
        EXPECT_EQ(DigestToHex(MD5Digest(c.input)), c.hex);
    }
}

TEST(PasswordHash, HashesEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    EXPECT_EQ(PasswordHash(all), "e2c865db4162bed963bfaa9ef6ac18f0");
}

TEST(PasswordHash, HashesTheAnsiBytesOfANonAsciiPassword) {
    // "pässwörd" in the Western ANSI code page, not its UTF-8 form.
    EXPECT_EQ(PasswordHash("p\xe4ssw\xf6rd"), "2ca67a2dbf3a2f52ef5126a2ae8f8a2f");
    EXPECT_NE(PasswordHash("p\xc3\xa4ssw\xc3\xb6rd"), PasswordHash("p\xe4ssw\xf6rd"));
}

TEST(PasswordHash, DigestIsSixteenBytesInByteOrder) {
    const TMD5Digest digest = MD5Digest("abc");
    EXPECT_EQ(digest[0], 0x90);
    EXPECT_EQ(digest[15], 0x72);
}

struct EditCase {
    const char* name;
    std::string password;
    std::string again;
    PasswordEditOutcome outcome;
};

TEST(PasswordRules, SettingFromTheTwoEdits) {
    const EditCase cases[] = {
        {"different texts", "secret", "Secret", PasswordEditOutcome::Mismatch},
        {"one empty", "secret", "", PasswordEditOutcome::Mismatch},
        {"both empty", "", "", PasswordEditOutcome::KeepStored},
        {"placeholder", "QX517KDL408MPR", "QX517KDL408MPR", PasswordEditOutcome::KeepStored},
        {"placeholder in lower case", "qx517kdl408mpr", "qx517kdl408mpr",
         PasswordEditOutcome::NewHash},
        {"new password", "secret", "secret", PasswordEditOutcome::NewHash},
        {"blanks are part of it", " secret ", " secret ", PasswordEditOutcome::NewHash},
    };
    const std::string stored = PasswordHash("old");
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PasswordEditResult result = EvaluatePasswordEdits(c.password, c.again);
        EXPECT_EQ(result.outcome, c.outcome);
        const auto after = StoredHashAfterEdits(c.password, c.again, stored);
        switch (c.outcome) {
        case PasswordEditOutcome::Mismatch:
            EXPECT_FALSE(after.has_value());
            break;
        case PasswordEditOutcome::KeepStored:
            EXPECT_EQ(after, stored);
            EXPECT_TRUE(result.hash.empty());
            break;
        case PasswordEditOutcome::NewHash:
            EXPECT_EQ(result.hash, PasswordHash(c.password));
            EXPECT_EQ(after, PasswordHash(c.password));
            break;
        }
    }
}

TEST(PasswordRules, CheckingATypedPassword) {
    const std::string stored = PasswordHash("secret");
    std::string upper = stored;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    struct Case {
        const char* typed;
        std::string stored;
        bool accepted;
    } const cases[] = {
        {"secret", stored, true},   {"Secret", stored, false}, {"", stored, false},
        {"secret ", stored, false}, {"anything", "", true},    {"", "", true},
        {"secret", upper, false},   {"", upper, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckPassword(c.typed, c.stored), c.accepted)
            << "typed '" << c.typed << "' against '" << c.stored << "'";
    }
}

} // namespace
} // namespace ombrevane
