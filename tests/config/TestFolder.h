#pragma once
// A fresh folder for one test, removed afterwards. Paths are in the Windows form the
// settings code uses; HostPath gives the form the host's file streams take.

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace ombrevane::test {

inline std::string HostPath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string host = path;
    for (char& c : host) {
        if (c == '\\') {
            c = '/';
        }
    }
    return host;
#endif
}

inline void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream out(HostPath(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(out) << "cannot write " << path;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadRaw(const std::string& path) {
    std::ifstream in(HostPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Takes every write permission off the file.
inline void MakeReadOnly(const std::string& path) {
    std::filesystem::permissions(HostPath(path),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
}

class TestFolder {
public:
    TestFolder() {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        std::string temp = TemporaryFolder();
        if (!temp.empty() && temp.back() != '\\') {
            temp += '\\';
        }
        path_ = temp + "ombrevane-test-" + std::to_string(random()) + "-" +
                std::to_string(counter.fetch_add(1));
        std::filesystem::create_directories(HostPath(path_));
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::permissions(HostPath(path_), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(HostPath(path_), ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Without a final separator.
    const std::string& Path() const { return path_; }
    // With a final separator, as GetConfigDir gives it.
    std::string Dir() const { return path_ + "\\"; }

private:
    std::string path_;
};

} // namespace ombrevane::test
