// Fuzz target of the INI engine: parse -> edit -> serialise -> parse.
// Input: three control bytes (section, key, value length) then the value, then the file.

#include "config/IniFile.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>

using ombrevane::IniFile;

namespace {

using Snapshot = std::map<std::pair<std::string, std::string>, std::string>;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// Every value a reader can see: the first key of a name in the first section of a name.
Snapshot Readable(const IniFile& file) {
    Snapshot values;
    std::set<std::string> sections;
    for (const std::string& section : file.SectionNames()) {
        if (!sections.insert(Lower(section)).second) {
            continue;
        }
        file.ForEachKey(section, [&](std::string_view key, std::string_view value) {
            values.emplace(std::make_pair(Lower(section), Lower(key)), std::string(value));
        });
    }
    return values;
}

std::string Expected(std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

constexpr const char* kSections[] = {"tileswitch", "General", "ProgramList", "Resolution",
                                     "s",          "a",       "New Section", ""};
constexpr const char* kKeys[] = {
    "CheckBoxShowTips_Checked", "count", "Item0", "name", "active", "a", "b", "Password"};

std::string Cased(const char* name, bool upper) {
    std::string text = name;
    if (upper) {
        for (char& c : text) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (size < 3) {
        const IniFile file = IniFile::Parse(input);
        Check(file.Serialize() == input);
        return 0;
    }
    const std::string section = Cased(kSections[data[0] & 7], (data[0] & 0x80) != 0);
    const std::string key = Cased(kKeys[data[1] & 7], (data[1] & 0x80) != 0);
    const std::size_t valueLength = std::min<std::size_t>(data[2] & 0x3f, size - 3);
    const std::string_view value = input.substr(3, valueLength);
    const std::string_view bytes = input.substr(3 + valueLength);

    const IniFile original = IniFile::Parse(bytes);
    Check(original.Serialize() == bytes);
    const Snapshot before = Readable(original);

    Snapshot expected = before;
    expected[{Lower(section), Lower(key)}] = Expected(value);

    // Single-key write: that value changes, every other readable value stays.
    IniFile edited = original;
    edited.WriteString(section, key, value);
    const IniFile reread = IniFile::Parse(edited.Serialize());
    Check(reread.Serialize() == edited.Serialize());
    Check(Readable(reread) == expected);
    Check(reread.ReadString(section, key) == Expected(value));
    Check(reread.ReadText(section, key, "").size() <= ombrevane::kIniMaxTextLength);

    // Whole-file image: the same readable values, and normalising twice changes nothing.
    const std::string image = original.ToImage().Serialize();
    const IniFile imageFile = IniFile::Parse(image);
    Check(Readable(imageFile) == before);
    Check(imageFile.ToImage().Serialize() == image);

    IniFile imageEdited = imageFile;
    imageEdited.WriteString(section, key, value);
    const std::string saved = imageEdited.ToImage().Serialize();
    Check(Readable(IniFile::Parse(saved)) == expected);
    Check(IniFile::Parse(saved).ToImage().Serialize() == saved);
    return 0;
}
