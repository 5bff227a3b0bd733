// Every use of the settings reads the files afresh, so a full load (the common settings
// and the five desktop files) must stay cheap. Prints microseconds per full load against a
// baseline in the same run: reading the same six files' bytes and nothing more.

#include "config/ConfigUnit.h"
#include "platform/FileSystem.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

using namespace ombrevane;

namespace {

std::string HostPath(std::string path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

void WriteTypicalFiles(const std::string& dir) {
    TOptionsSettings options;
    SaveOptionsSettings(options, "5ebe2294ecd0e0f08eab7690d2a6ee69", dir);
    for (int index = 0; index < 5; ++index) {
        TDesktopConfig desktop(index);
        desktop.IsActive = index < 3;
        desktop.Name = "Desktop " + std::to_string(index + 1);
        desktop.PasswordEnable = index == 2;
        desktop.Password = index == 2 ? "5ebe2294ecd0e0f08eab7690d2a6ee69" : "";
        for (int i = 0; i < index; ++i) {
            desktop.Programs.push_back("\"C:\\Program Files\\Tool " + std::to_string(i) +
                                       "\\tool.exe\" /open \"D:\\work\\file.txt\"");
        }
        desktop.ResolutionActive = index == 1;
        desktop.BitsPerPel = 32;
        desktop.PelsWidth = 1280;
        desktop.PelsHeight = 1024;
        desktop.DisplayFrequency = 60;
        SaveDesktopConfig(desktop, dir);
    }
}

template <typename Work> double MicrosecondsPerCall(int calls, Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        work();
    }
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count() / calls;
}

} // namespace

int main() {
    const std::string folder =
        TemporaryFolder() + "ombrevane-bench-" + std::to_string(std::random_device{}());
    const std::string dir = folder + "\\";
    std::filesystem::create_directories(HostPath(folder));
    WriteTypicalFiles(dir);

    long checksum = 0;
    auto fullLoad = [&] {
        TCommonConfig common;
        LoadCommonConfig(common, dir);
        checksum += common.IdleSeconds;
        for (int index = 0; index < 5; ++index) {
            TDesktopConfig desktop(index);
            LoadDesktopConfig(desktop, dir);
            checksum += static_cast<long>(desktop.Programs.size()) + desktop.IsActive;
        }
    };
    auto readBytes = [&] {
        checksum += static_cast<long>(ReadWholeFile(dir + "tileswitch.ini", 1 << 20).bytes.size());
        for (int index = 0; index < 5; ++index) {
            checksum += static_cast<long>(
                ReadWholeFile(dir + DesktopConfigFileName(index), 1 << 20).bytes.size());
        }
    };

    constexpr int kCalls = 5000;
    MicrosecondsPerCall(500, fullLoad); // warm the caches
    double best = 1e9;
    double baseline = 1e9;
    for (int round = 0; round < 5; ++round) {
        baseline = std::min(baseline, MicrosecondsPerCall(kCalls, readBytes));
        best = std::min(best, MicrosecondsPerCall(kCalls, fullLoad));
    }
    std::printf("full load (tileswitch.ini + desktop0-4.ini): %.1f us (goal < 300 us)\n", best);
    std::printf("baseline, reading the six files' bytes only: %.1f us\n", baseline);
    std::printf("ratio full load / baseline: %.2f\n", best / baseline);
    std::printf("(checksum %ld)\n", checksum);
    std::filesystem::remove_all(HostPath(folder));
    return 0;
}
