#pragma once
// The settings files' INI format, on bytes (the files are ANSI; nothing is converted).
//
// Lines end in CR LF, LF or CR. A UTF-8 byte-order mark at the very start belongs to no line;
// it is kept for writing. After trimming blanks (space, tab) a line is empty, a comment
// (";" first), a section header ("[" first and a "]" somewhere; the name is the trimmed text
// between them), a key line (holds "="; key and value are the trimmed texts around the first
// "="), or other text. Section and key names compare without regard to ASCII case; the first
// section and the first key of a name win.
//
// Two ways to write:
//  - WriteString changes one value in place and keeps every other line byte for byte; a new
//    key goes after the last non-empty line of its section, a new section to the end.
//  - ToImage gives the normalised whole-file image: comments, empty lines and lines before
//    the first header dropped, lines trimmed, "key=value" without blanks around the "=", and
//    one empty line after each section.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrevane {

// Texts are read up to this many characters.
inline constexpr std::size_t kIniMaxTextLength = 2047;

// An integer as the settings readers take it: optional sign, decimal digits, or hexadecimal
// after "0x", "0X" or "$" (up to 32 bits, wrapping like a 32-bit pattern). Anything else,
// including a decimal value outside 32 bits, is not a number.
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

class IniFile {
public:
    IniFile() = default;
    static IniFile Parse(std::string_view bytes);
    // The number of lines Parse makes of the bytes, without making them.
    static std::size_t CountLines(std::string_view bytes);

    std::string Serialize() const;

    // The trimmed value of the key, untruncated; nothing when the section or key is absent.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;

    // A text value: trimmed, optionally freed of enclosing quotation marks, cut to
    // kIniMaxTextLength characters; `fallback` when absent.
    std::string ReadText(std::string_view section, std::string_view key, std::string_view fallback,
                         bool stripQuotes = false) const;

    // An integer value; `fallback` when absent or not a number.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;

    // A boolean stored as an integer: every integer but 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

    bool HasSection(std::string_view section) const;

    // Calls visit(key, value) for each key line of the first section of that name, in order.
    void ForEachKey(
        std::string_view section,
        const std::function<void(std::string_view key, std::string_view value)>& visit) const;

    // Names of the sections in file order, duplicates included.
    std::vector<std::string> SectionNames() const;

    // Sets one value in place. The key must be a plain name (no "=", not starting with "["
    // or ";"). CR and LF in the value become blanks so a value cannot start new lines.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    IniFile ToImage() const;

private:
    enum class Kind { Empty, Comment, Header, Key, Other };

    struct Line {
        std::string text;        // without its line end
        std::string_view ending; // "\r\n", "\n", "\r" or "" on a last line without one
        Kind kind = Kind::Other;
        std::string name;  // section name or key
        std::string value; // value of a key line
    };

    static Line MakeLine(std::string text, std::string_view ending);
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    const Line* FindKey(std::string_view section, std::string_view key) const;

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
};

// Strips one pair of quotation marks (" or ') that encloses the whole text. A quotation mark
// inside is part of the text only when doubled, so "a" "b" is two quoted parts, not one.
std::string_view StripEnclosingQuotes(std::string_view text);

} // namespace ombrevane
