#pragma once
// Files and folders for the settings code. Paths are in the Windows form ("\" separators);
// native builds map them onto the host's file system so the same logic runs in tests.

#include <cstddef>
#include <string>

namespace ombrevane {

// Full path of the running executable, at most 260 characters on Windows.
std::string ExecutablePath();

// The platform's temporary folder, with its trailing separator as the platform gives it.
std::string TemporaryFolder();

bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& path);

// Creates one folder; its parent must exist.
bool CreateFolder(const std::string& path);

enum class FileReadStatus { Ok, Missing, Failed };

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Missing;
    std::string bytes;
    std::string reason; // why the read failed, for Failed
};

// Reads a whole file. Files larger than maxBytes fail rather than fill memory.
FileReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes);

struct FileWriteResult {
    bool ok = false;
    std::string reason; // the system's reason when not ok
};

// Replaces the file's content as one step: the bytes go to a temporary file in the same
// folder, are flushed to disk and then renamed over the target, so a crash or a full disk
// leaves either the old or the new file, never a part. A read-only target is refused.
FileWriteResult WriteFileAtomically(const std::string& path, const std::string& bytes);

} // namespace ombrevane
