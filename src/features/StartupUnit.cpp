#include "features/StartupUnit.h"

#include "config/ConfigUnit.h"

namespace ombrevane {

namespace {

void StartEveryProgram(DesktopPlatform& platform, const TDesktopConfig& config) {
    // Entries go to the system as stored: no trimming, no splitting, nobody waits.
    for (const std::string& entry : config.Programs) {
        StartProgram(platform, entry);
    }
}

} // namespace

void RunStartupPrograms(DesktopPlatform& platform, std::int32_t index) {
    TDesktopConfig config(index);
    LoadDesktopConfig(config);
    StartEveryProgram(platform, config);
}

void RunStartupPrograms(DesktopPlatform& platform, std::int32_t index,
                        const std::string& configDir) {
    TDesktopConfig config(index);
    LoadDesktopConfig(config, configDir);
    StartEveryProgram(platform, config);
}

std::uint32_t StartProgram(DesktopPlatform& platform, const std::string& commandLine,
                           const std::string& desktopName) {
    ProcessLaunch launch;
    // No program file: the system takes it from the command line.
    launch.commandLine = commandLine;
    launch.desktop = desktopName;
    return platform.StartProcessOnDesktop(launch);
}

} // namespace ombrevane
