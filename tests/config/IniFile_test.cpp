#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrevane {
namespace {

TEST(ParseIniInteger, Table) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    } const cases[] = {
        {"0", 0},
        {"5", 5},
        {"-1", -1},
        {"+7", 7},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0x1", 1},
        {"0X1f", 31},
        {"$FF", 255},
        {"$ff", 255},
        {"0xFFFFFFFF", -1},
        {"0x100000000", std::nullopt},
        {"-0x10", -16},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"x", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"1.5", std::nullopt},
        {"0x1g", std::nullopt},
        {"x10", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIniInteger(c.text), c.value) << "'" << c.text << "'";
    }
}

TEST(StripEnclosingQuotes, Table) {
    struct Case {
        const char* text;
        const char* result;
    } const cases[] = {
        {"\"C:\\Program Files\\app.exe\"", "C:\\Program Files\\app.exe"},
        {"'single'", "single"},
        {"\"\"", ""},
        {"\"", "\""},
        {"\"C:\\app.exe\" -min", "\"C:\\app.exe\" -min"},
        // Two quoted parts: a program with a quoted parameter keeps its quotes.
        {"\"C:\\app.exe\" \"D:\\a file.txt\"", "\"C:\\app.exe\" \"D:\\a file.txt\""},
        // A doubled quotation mark inside a quoted path.
        {"\"C:\\odd\"\"name.exe\"", "C:\\odd\"\"name.exe"},
        {"\"mixed'", "\"mixed'"},
        {"plain", "plain"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StripEnclosingQuotes(c.text), c.result) << c.text;
    }
}

const char kSample[] = "; written by hand\r\n"
                       "orphan=before any section\r\n"
                       "[Tileswitch]\r\n"
                       "  Alpha  =  one two  \r\n"
                       "alpha=second copy\r\n"
                       "; Beta=commented\r\n"
                       "gamma=\r\n"
                       "delta==x=y\r\n"
                       "just text\r\n"
                       "\r\n"
                       "[ other ]\n"
                       "alpha=other section\r"
                       "\tzulu\t=\tz value\t\r"
                       "[tileswitch]\r\n"
                       "epsilon=second section of that name\r\n";

TEST(IniFileRead, FindsValuesLikeTheSettingsReaders) {
    const IniFile file = IniFile::Parse(kSample);
    struct Case {
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } const cases[] = {
        {"tileswitch", "alpha", "one two"},
        {"TILESWITCH", "ALPHA", "one two"},
        {"tileswitch", "gamma", ""},
        {"tileswitch", "delta", "=x=y"},
        {"tileswitch", "beta", std::nullopt},
        {"tileswitch", "; Beta", std::nullopt},
        {"tileswitch", "just text", std::nullopt},
        {"tileswitch", "orphan", std::nullopt},
        {"tileswitch", "epsilon", std::nullopt}, // only the first section of a name counts
        {"other", "alpha", "other section"},
        {"OTHER", "ZULU", "z value"}, // tabs trimmed like blanks; "Z" folds to "z" too
        {"missing", "alpha", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(file.ReadString(c.section, c.key), c.value) << c.section << "/" << c.key;
    }
}

TEST(IniFileRead, TypedReadsFallBackOnAbsentOrBadValues) {
    const IniFile file = IniFile::Parse("[s]\r\n"
                                        "two=2\r\n"
                                        "hex=0x1\r\n"
                                        "zero=0\r\n"
                                        "minus=-1\r\n"
                                        "word=yes\r\n"
                                        "quoted=\"  x  \"\r\n"
                                        "long=" +
                                        std::string(5000, 'L') + "\r\n");
    EXPECT_TRUE(file.ReadBool("s", "two", false));
    EXPECT_TRUE(file.ReadBool("s", "hex", false));
    EXPECT_FALSE(file.ReadBool("s", "zero", true));
    EXPECT_TRUE(file.ReadBool("s", "minus", false));
    EXPECT_TRUE(file.ReadBool("s", "word", true));
    EXPECT_FALSE(file.ReadBool("s", "word", false));
    EXPECT_FALSE(file.ReadBool("s", "absent", false));
    EXPECT_EQ(file.ReadInteger("s", "word", 42), 42);
    EXPECT_EQ(file.ReadInteger("s", "two", 42), 2);
    EXPECT_EQ(file.ReadText("s", "absent", "fallback"), "fallback");
    EXPECT_EQ(file.ReadText("s", "quoted", ""), "\"  x  \"");
    EXPECT_EQ(file.ReadText("s", "quoted", "", true), "  x  ");
    EXPECT_EQ(file.ReadText("s", "long", ""), std::string(kIniMaxTextLength, 'L'));
}

TEST(IniFileRead, HugeLineIsReadInOnePass) {
    // Megabytes on one line: parsed linearly, and the text read is cut to its limit.
    std::string bytes = "[s]\r\nbig=" + std::string(8u << 20, 'x') + "\r\nafter=1\r\n";
    const IniFile file = IniFile::Parse(bytes);
    EXPECT_EQ(file.ReadText("s", "big", "").size(), kIniMaxTextLength);
    EXPECT_EQ(file.ReadInteger("s", "after", 0), 1);
    EXPECT_EQ(file.Serialize(), bytes);
}

TEST(IniFileWrite, SerialisesUntouchedFilesByteForByte) {
    const std::string inputs[] = {
        "",
        "\r\n",
        "no newline",
        "[a]\nx=1\n",
        "[a]\rx=1\r",
        std::string(kSample),
        std::string("[a]\r\nnul=\0x\r\n", 12),
    };
    for (const std::string& input : inputs) {
        EXPECT_EQ(IniFile::Parse(input).Serialize(), input);
    }
}

struct WriteCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

TEST(IniFileWrite, SingleKeyWritesKeepEveryOtherLine) {
    const WriteCase cases[] = {
        {"replaced in place, comment kept", "; mine\r\n[s]\r\n  A = 1 \r\n; note\r\nb=2\r\n", "S",
         "a", "0", "; mine\r\n[s]\r\na=0\r\n; note\r\nb=2\r\n"},
        {"new key after the section's last line", "[s]\r\na=1\r\n\r\n[t]\r\nc=3\r\n", "s", "b", "2",
         "[s]\r\na=1\r\nb=2\r\n\r\n[t]\r\nc=3\r\n"},
        {"new key into an empty section", "[s]\r\n[t]\r\n", "s", "b", "2", "[s]\r\nb=2\r\n[t]\r\n"},
        {"new section at the end", "[s]\r\na=1\r\n", "t", "b", "2",
         "[s]\r\na=1\r\n\r\n[t]\r\nb=2\r\n"},
        {"new section after a last line without an end", "[s]\r\na=1", "t", "b", "2",
         "[s]\r\na=1\r\n\r\n[t]\r\nb=2\r\n"},
        {"new key after a last line without an end", "[s]\r\na=1", "s", "b", "2",
         "[s]\r\na=1\r\nb=2\r\n"},
        {"empty file", "", "s", "a", "1", "[s]\r\na=1\r\n"},
        {"only the first of two keys", "[s]\r\na=1\r\na=2\r\n", "s", "a", "9",
         "[s]\r\na=9\r\na=2\r\n"},
        {"line ends of other lines kept", "[s]\na=1\nb=2\n", "s", "a", "3", "[s]\na=3\nb=2\n"},
        {"line breaks in a value become blanks", "[s]\r\n", "s", "a", "x\r\n[t]\r\ny=1",
         "[s]\r\na=x  [t]  y=1\r\n"},
    };
    for (const WriteCase& c : cases) {
        IniFile file = IniFile::Parse(c.before);
        file.WriteString(c.section, c.key, c.value);
        EXPECT_EQ(file.Serialize(), c.after) << c.name;
    }
}

// A file saved as UTF-8 by an editor starts with a byte-order mark; it belongs to no line.
TEST(IniFileByteOrderMark, IsReadPastAndKeptOnWriting) {
    const std::string bom = "\xEF\xBB\xBF";
    IniFile file = IniFile::Parse(bom + "[General]\r\nactive=1\r\n");
    EXPECT_EQ(file.ReadString("General", "active"), "1");
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"General"}));
    EXPECT_EQ(file.Serialize(), bom + "[General]\r\nactive=1\r\n");

    file.WriteString("General", "name", "Work");
    EXPECT_EQ(file.Serialize(), bom + "[General]\r\nactive=1\r\nname=Work\r\n");
    EXPECT_EQ(file.ToImage().Serialize(), bom + "[General]\r\nactive=1\r\nname=Work\r\n\r\n");

    // Only at the very start, and only whole.
    EXPECT_FALSE(IniFile::Parse(" " + bom + "[General]\r\nactive=1\r\n").HasSection("General"));
    EXPECT_FALSE(IniFile::Parse("\xEF\xBB[General]\r\nactive=1\r\n").HasSection("General"));
    EXPECT_EQ(IniFile::Parse(bom).Serialize(), bom);
}

TEST(IniFileImage, NormalisesTheWholeFile) {
    const IniFile image = IniFile::Parse(kSample).ToImage();
    EXPECT_EQ(image.Serialize(), "[Tileswitch]\r\n"
                                 "Alpha=one two\r\n"
                                 "alpha=second copy\r\n"
                                 "gamma=\r\n"
                                 "delta==x=y\r\n"
                                 "just text\r\n"
                                 "\r\n"
                                 "[other]\r\n"
                                 "alpha=other section\r\n"
                                 "zulu=z value\r\n"
                                 "\r\n"
                                 "[tileswitch]\r\n"
                                 "epsilon=second section of that name\r\n"
                                 "\r\n");
    EXPECT_EQ(image.ToImage().Serialize(), image.Serialize());
}

TEST(IniFileImage, WritesIntoTheImageKeepItsForm) {
    IniFile image = IniFile::Parse("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n\r\n").ToImage();
    image.WriteString("a", "z", "3");
    image.WriteString("c", "w", "4");
    EXPECT_EQ(image.ToImage().Serialize(),
              "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n\r\n[c]\r\nw=4\r\n\r\n");
}

} // namespace
} // namespace ombrevane
