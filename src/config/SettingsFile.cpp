#include "config/SettingsFile.h"

#include "config/programinfo.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"

namespace ombrevane {

namespace {

std::string UnableToWrite(const std::string& path) {
    return "Unable to write to " + path;
}

std::string CannotCreate(const std::string& path, const std::string& reason) {
    return "Cannot create file \"" + path + "\". " + reason;
}

// The file's bytes; one past either size limit counts as unreadable.
FileReadResult ReadSettingsBytes(const std::string& path) {
    FileReadResult read = ReadWholeFile(path, kMaxSettingsFileBytes);
    if (read.status == FileReadStatus::Ok &&
        IniFile::CountLines(read.bytes) >= kMaxSettingsFileLines) {
        read = FileReadResult{FileReadStatus::Failed, {}, "the file has too many lines"};
    }
    return read;
}

} // namespace

SettingsFileContent ReadSettingsFile(const std::string& path) {
    const FileReadResult read = ReadSettingsBytes(path);
    switch (read.status) {
    case FileReadStatus::Ok:
        return {IniFile::Parse(read.bytes), SettingsFileState::Read};
    case FileReadStatus::Missing:
        return {{}, SettingsFileState::Missing};
    case FileReadStatus::Failed:
        break;
    }
    WriteDebugLine("cannot read " + path + ": " + read.reason);
    return {{}, SettingsFileState::Unreadable};
}

IniFile LoadSettingsFile(const std::string& path) {
    return ReadSettingsFile(path).file;
}

void WriteSettingsKeys(const std::string& path, const std::function<void(IniFile&)>& edit) {
    const FileReadResult read = ReadSettingsBytes(path);
    if (read.status == FileReadStatus::Failed) {
        // Writing without the current content would lose it.
        WriteDebugLine("cannot read " + path + ": " + read.reason);
        throw ConfigWriteError(UnableToWrite(path));
    }
    IniFile file = IniFile::Parse(read.bytes);
    edit(file);
    const FileWriteResult written = WriteFileAtomically(path, file.Serialize());
    if (!written.ok) {
        WriteDebugLine("cannot write " + path + ": " + written.reason);
        throw ConfigWriteError(UnableToWrite(path));
    }
}

void WriteSettingsImage(const std::string& path, const std::function<void(IniFile&)>& edit) {
    const FileReadResult read = ReadSettingsBytes(path);
    if (read.status == FileReadStatus::Failed) {
        throw ConfigWriteError(CannotCreate(path, read.reason));
    }
    IniFile image = IniFile::Parse(read.bytes).ToImage();
    edit(image);
    CreateFolderChain(PathUpToSeparator(path));
    const FileWriteResult written = WriteFileAtomically(path, image.ToImage().Serialize());
    if (!written.ok) {
        throw ConfigWriteError(CannotCreate(path, written.reason));
    }
}

} // namespace ombrevane
