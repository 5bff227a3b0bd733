#include "platform/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ombrevane {

namespace {

// The settings code speaks in Windows paths; here they are host paths.
std::string ToHostPath(const std::string& path) {
    std::string host = path;
    for (char& c : host) {
        if (c == '\\') {
            c = '/';
        }
    }
    return host;
}

std::string ToWindowsForm(const std::string& path) {
    std::string windows = path;
    for (char& c : windows) {
        if (c == '/') {
            c = '\\';
        }
    }
    return windows;
}

std::string ErrnoText(int error) {
    return std::strerror(error);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now so that a failing close is seen.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string FolderOf(const std::string& hostPath) {
    const auto slash = hostPath.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : hostPath.substr(0, slash);
}

} // namespace

std::string ExecutablePath() {
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        return {};
    }
    return ToWindowsForm(std::string(buffer, static_cast<std::size_t>(length)));
}

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
    if (folder.back() != '/') {
        folder += '/';
    }
    return ToWindowsForm(folder);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return ::stat(ToHostPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(ToHostPath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path) {
    return ::mkdir(ToHostPath(path).c_str(), 0777) == 0;
}

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    FileReadResult result;
    FileDescriptor file(::open(ToHostPath(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            result.status = FileReadStatus::Missing;
        } else {
            result.status = FileReadStatus::Failed;
            result.reason = ErrnoText(errno);
        }
        return result;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        result.status = FileReadStatus::Failed;
        result.reason = ErrnoText(S_ISDIR(info.st_mode) ? EISDIR : errno);
        return result;
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        result.status = FileReadStatus::Failed;
        result.reason = "The file is too large.";
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    for (;;) {
        if (done == result.bytes.size()) {
            // The file may have grown since fstat; read on in bounded steps.
            if (result.bytes.size() >= maxBytes) {
                char probe;
                const ssize_t extra = ::read(file.get(), &probe, 1);
                if (extra > 0) {
                    result.status = FileReadStatus::Failed;
                    result.reason = "The file is too large.";
                    result.bytes.clear();
                    return result;
                }
                break;
            }
            result.bytes.resize(std::min(maxBytes, result.bytes.size() + 4096));
        }
        const ssize_t got =
            ::read(file.get(), result.bytes.data() + done, result.bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.status = FileReadStatus::Failed;
            result.reason = ErrnoText(errno);
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    result.bytes.resize(done);
    result.status = FileReadStatus::Ok;
    return result;
}

FileWriteResult WriteFileAtomically(const std::string& path, const std::string& bytes) {
    static std::atomic<unsigned> counter{0};
    FileWriteResult result;
    const std::string target = ToHostPath(path);

    // Mirrors the Windows read-only attribute: a file nobody may write is not replaced,
    // whatever rights this process has.
    mode_t mode = 0666;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            result.reason = ErrnoText(EISDIR);
            return result;
        }
        if ((info.st_mode & 0222) == 0) {
            result.reason = ErrnoText(EACCES);
            return result;
        }
        mode = info.st_mode & 07777;
    }

    const std::string temporary = target + "." + std::to_string(::getpid()) + "." +
                                  std::to_string(counter.fetch_add(1)) + ".tmp";
    FileDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, mode));
    if (file.get() < 0) {
        result.reason = ErrnoText(errno);
        return result;
    }
    auto fail = [&](int error) {
        result.reason = ErrnoText(error);
        ::unlink(temporary.c_str());
        return result;
    };
    ::fchmod(file.get(), mode);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        done += static_cast<std::size_t>(put);
    }
    if (::fsync(file.get()) != 0) {
        return fail(errno);
    }
    if (!file.Close()) {
        return fail(errno);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    // Makes the rename itself durable.
    FileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::fsync(folder.get());
    }
    result.ok = true;
    return result;
}

} // namespace ombrevane
