#pragma once
// Reading and writing one settings file as a whole. Every write goes through an atomic
// replace of the file, so a crash or a full disk never leaves a part-written file.

#include "config/IniFile.h"

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>

namespace ombrevane {

// Settings files are a few kilobytes; anything beyond this is not one of ours and is not
// read into memory.
inline constexpr std::size_t kMaxSettingsFileBytes = 8u << 20;
// Nor is a file of more lines than this (a full program list is about a thousand): every line
// costs a record in memory, and a file of bare line ends would otherwise take a gigabyte.
inline constexpr std::size_t kMaxSettingsFileLines = 65536;

// A settings file that could not be written. The text is meant for the user.
class ConfigWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How reading a settings file went. Unreadable covers a file too large, of too many lines, or
// one that exists but cannot be opened (held without sharing, access denied): unlike a missing
// file it may hold settings, a desktop's password option for one.
enum class SettingsFileState { Missing, Read, Unreadable };

struct SettingsFileContent {
    IniFile file; // empty unless Read
    SettingsFileState state = SettingsFileState::Missing;
};

SettingsFileContent ReadSettingsFile(const std::string& path);

// The file's content; a missing, unreadable or oversized file reads as empty (and is then
// refused for writing, which would lose it).
IniFile LoadSettingsFile(const std::string& path);

// Applies key writes in place (other lines kept) and replaces the file once. A refusal
// raises ConfigWriteError "Unable to write to <path>" and leaves the file as it was.
void WriteSettingsKeys(const std::string& path, const std::function<void(IniFile&)>& edit);

// Loads the whole-file image, applies the edits, and writes the normalised image back,
// creating the file's folder if needed. A refusal raises ConfigWriteError
// "Cannot create file "<path>". <reason>" and leaves the file as it was.
void WriteSettingsImage(const std::string& path, const std::function<void(IniFile&)>& edit);

} // namespace ombrevane
