#include "platform/FileSystem.h"

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace ombrevane {

namespace {

using FileHandle = win32::UniqueHandle<HANDLE, win32::KernelHandleCloser>;

std::string SystemErrorText(DWORD error) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
        ::LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = "System error " + std::to_string(error) + ".";
    }
    return text;
}

bool IsContention(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

} // namespace

std::string ExecutablePath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

std::string TemporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer) {
        return {};
    }
    return std::string(buffer, length);
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CreateFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    FileReadResult result;
    // Every share mode: another instance may replace the file while it is read.
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH) {
            result.status = FileReadStatus::Missing;
        } else {
            result.status = FileReadStatus::Failed;
            result.reason = SystemErrorText(error);
        }
        return result;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        result.status = FileReadStatus::Failed;
        result.reason = SystemErrorText(::GetLastError());
        return result;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        result.status = FileReadStatus::Failed;
        result.reason = "The file is too large.";
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(result.bytes.size() - done);
        if (!::ReadFile(file.get(), result.bytes.data() + done, want, &got, nullptr)) {
            result.status = FileReadStatus::Failed;
            result.reason = SystemErrorText(::GetLastError());
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    result.bytes.resize(done);
    result.status = FileReadStatus::Ok;
    return result;
}

FileWriteResult WriteFileAtomically(const std::string& path, const std::string& bytes) {
    static std::atomic<unsigned> counter{0};
    FileWriteResult result;

    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        result.reason = SystemErrorText(ERROR_ACCESS_DENIED);
        return result;
    }

    const std::string temporary = path + "." + std::to_string(::GetCurrentProcessId()) + "." +
                                  std::to_string(counter.fetch_add(1)) + ".tmp";
    {
        FileHandle file(::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            result.reason = SystemErrorText(::GetLastError());
            return result;
        }
        std::size_t done = 0;
        bool written = true;
        while (done < bytes.size()) {
            DWORD put = 0;
            const std::size_t chunk = bytes.size() - done;
            const DWORD want = chunk > 0x40000000u ? 0x40000000u : static_cast<DWORD>(chunk);
            if (!::WriteFile(file.get(), bytes.data() + done, want, &put, nullptr) || put == 0) {
                written = false;
                break;
            }
            done += put;
        }
        if (!written || !::FlushFileBuffers(file.get())) {
            result.reason = SystemErrorText(::GetLastError());
            file.reset();
            ::DeleteFileA(temporary.c_str());
            return result;
        }
    }

    // A reader of another instance may hold the target open for a moment; a few short
    // retries ride that out. A real refusal still fails after them.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::MoveFileExA(temporary.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            result.ok = true;
            return result;
        }
        error = ::GetLastError();
        if (!IsContention(error)) {
            break;
        }
        ::Sleep(10);
    }
    ::DeleteFileA(temporary.c_str());
    result.reason = SystemErrorText(error);
    return result;
}

} // namespace ombrevane
