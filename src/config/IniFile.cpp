#include "config/IniFile.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace ombrevane {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string NoLineBreaks(std::string_view text) {
    std::string clean(text);
    for (char& c : clean) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return clean;
}

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Built by appends: GCC 12 warns falsely (-Wrestrict) on "[" + name.
std::string HeaderText(std::string_view name) {
    std::string text;
    text.reserve(name.size() + 2);
    text += '[';
    text += name;
    text += ']';
    return text;
}

} // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool hex = false;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        text.remove_prefix(2);
    } else if (!text.empty() && text[0] == '$') {
        hex = true;
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    if (hex) {
        for (const char c : text) {
            const int digit = HexValue(c);
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFull) {
                return std::nullopt;
            }
        }
        // A 32-bit pattern: 0xFFFFFFFF is -1.
        std::uint32_t bits = static_cast<std::uint32_t>(value);
        if (negative) {
            bits = 0u - bits;
        }
        return static_cast<std::int32_t>(bits);
    }
    const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    }
    return static_cast<std::int32_t>(value);
}

std::string_view StripEnclosingQuotes(std::string_view text) {
    if (text.size() < 2 || (text.front() != '"' && text.front() != '\'')) {
        return text;
    }
    const char quote = text.front();
    std::size_t i = 1;
    while (i < text.size()) {
        if (text[i] != quote) {
            ++i;
            continue;
        }
        if (i == text.size() - 1) {
            return text.substr(1, text.size() - 2);
        }
        if (text[i + 1] != quote) {
            return text; // closes before the end: more than one quoted part
        }
        i += 2;
    }
    return text;
}

IniFile::Line IniFile::MakeLine(std::string text, std::string_view ending) {
    Line line;
    line.ending = ending;
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty()) {
        line.kind = Kind::Empty;
    } else if (trimmed.front() == ';') {
        line.kind = Kind::Comment;
    } else if (trimmed.front() == '[' && trimmed.find(']') != std::string_view::npos) {
        line.kind = Kind::Header;
        line.name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
    } else if (const auto equals = trimmed.find('='); equals != std::string_view::npos) {
        line.kind = Kind::Key;
        line.name = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
    } else {
        line.kind = Kind::Other;
    }
    line.text = std::move(text);
    return line;
}

IniFile IniFile::Parse(std::string_view bytes) {
    IniFile file;
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        file.byteOrderMark_ = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    // The next CR and LF are looked up once each and reused until passed, which keeps the
    // split linear however long the lines are.
    std::size_t nextCr = bytes.find('\r');
    std::size_t nextLf = bytes.find('\n');
    std::size_t start = 0;
    while (start < bytes.size()) {
        if (nextCr < start) {
            nextCr = bytes.find('\r', start);
        }
        if (nextLf < start) {
            nextLf = bytes.find('\n', start);
        }
        const std::size_t end = std::min({nextCr, nextLf, bytes.size()});
        std::string_view ending;
        if (end < bytes.size()) {
            if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') {
                ending = "\r\n";
            } else if (bytes[end] == '\r') {
                ending = "\r";
            } else {
                ending = "\n";
            }
        }
        file.lines_.push_back(MakeLine(std::string(bytes.substr(start, end - start)), ending));
        start = end + ending.size();
    }
    return file;
}

std::size_t IniFile::CountLines(std::string_view bytes) {
    // The same split as Parse: CR LF, a lone CR and a lone LF each end one line, and text
    // after the last line end is one more.
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            ++lines;
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        }
    }
    if (!bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n') {
        ++lines;
    }
    return lines;
}

std::string IniFile::Serialize() const {
    std::size_t size = byteOrderMark_ ? kByteOrderMark.size() : 0;
    for (const Line& line : lines_) {
        size += line.text.size() + line.ending.size();
    }
    std::string bytes;
    bytes.reserve(size);
    if (byteOrderMark_) {
        bytes += kByteOrderMark;
    }
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Header && SameName(lines_[i].name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::Header) {
        ++end;
    }
    return end;
}

const IniFile::Line* IniFile::FindKey(std::string_view section, std::string_view key) const {
    const auto header = FindSection(section);
    if (!header) {
        return nullptr;
    }
    const std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && SameName(lines_[i].name, key)) {
            return &lines_[i];
        }
    }
    return nullptr;
}

std::optional<std::string> IniFile::ReadString(std::string_view section,
                                               std::string_view key) const {
    if (const Line* line = FindKey(section, key)) {
        return line->value;
    }
    return std::nullopt;
}

std::string IniFile::ReadText(std::string_view section, std::string_view key,
                              std::string_view fallback, bool stripQuotes) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr) {
        return std::string(fallback.substr(0, kIniMaxTextLength));
    }
    std::string_view value = line->value;
    if (stripQuotes) {
        value = StripEnclosingQuotes(value);
    }
    return std::string(value.substr(0, kIniMaxTextLength));
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr) {
        return fallback;
    }
    return ParseIniInteger(line->value).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    const Line* line = FindKey(section, key);
    if (line == nullptr) {
        return fallback;
    }
    const auto number = ParseIniInteger(line->value);
    return number ? *number != 0 : fallback;
}

bool IniFile::HasSection(std::string_view section) const {
    return FindSection(section).has_value();
}

void IniFile::ForEachKey(
    std::string_view section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
    const auto header = FindSection(section);
    if (!header) {
        return;
    }
    const std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key) {
            visit(lines_[i].name, lines_[i].value);
        }
    }
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind == Kind::Header) {
            names.push_back(line.name);
        }
    }
    return names;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string keyText = NoLineBreaks(key);
    const std::string text = keyText + "=" + NoLineBreaks(value);

    const auto header = FindSection(section);
    if (header) {
        const std::size_t end = SectionEnd(*header);
        std::size_t last = *header;
        for (std::size_t i = *header + 1; i < end; ++i) {
            if (lines_[i].kind == Kind::Key && SameName(lines_[i].name, Trim(keyText))) {
                lines_[i] = MakeLine(text, lines_[i].ending);
                return;
            }
            if (lines_[i].kind != Kind::Empty) {
                last = i;
            }
        }
        if (lines_[last].ending.empty()) {
            lines_[last].ending = kCrLf;
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1),
                      MakeLine(text, kCrLf));
        return;
    }

    if (!lines_.empty()) {
        if (lines_.back().ending.empty()) {
            lines_.back().ending = kCrLf;
        }
        if (lines_.back().kind != Kind::Empty) {
            lines_.push_back(MakeLine({}, kCrLf));
        }
    }
    lines_.push_back(MakeLine(HeaderText(NoLineBreaks(section)), kCrLf));
    lines_.push_back(MakeLine(text, kCrLf));
}

IniFile IniFile::ToImage() const {
    IniFile image;
    image.byteOrderMark_ = byteOrderMark_;
    bool inSection = false;
    for (const Line& line : lines_) {
        switch (line.kind) {
        case Kind::Empty:
        case Kind::Comment:
            break;
        case Kind::Header:
            if (inSection) {
                image.lines_.push_back(MakeLine({}, kCrLf));
            }
            image.lines_.push_back(MakeLine(HeaderText(line.name), kCrLf));
            inSection = true;
            break;
        case Kind::Key:
            if (inSection) {
                image.lines_.push_back(MakeLine(line.name + "=" + line.value, kCrLf));
            }
            break;
        case Kind::Other:
            if (inSection) {
                image.lines_.push_back(MakeLine(std::string(Trim(line.text)), kCrLf));
            }
            break;
        }
    }
    if (inSection) {
        image.lines_.push_back(MakeLine({}, kCrLf));
    }
    return image;
}

} // namespace ombrevane
