#include "desktops/DesktopCreatorUnit.h"

#include "config/ConfigUnit.h"
#include "desktops/tileswitchUtils.h"
#include "platform/ErrorReport.h"

#include <chrono>
#include <utility>

namespace ombrevane {

namespace {

constexpr int kFirstCreatedIndex = 1;
constexpr int kLastCreatedIndex = 4;

bool IsDesktopActive(int index, const std::string& configDir) {
    TDesktopConfig config(index);
    LoadDesktopConfig(config, configDir);
    return config.IsActive;
}

} // namespace

SleepFunction RealSleep() {
    return [](unsigned milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
}

TDesktopCreator::TDesktopCreator(DesktopPlatform& platform, int index, SleepFunction sleep)
    : platform_(platform), index_(index), sleep_(std::move(sleep)),
      thread_([this] { RunReportingErrors([this] { Execute(); }); }) {}

void TDesktopCreator::Execute() {
    const std::string name = DesktopNameOfIndex(index_);
    // Held until both programs run there, or the platform would destroy an empty desktop.
    const std::unique_ptr<HeldDesktop> desktop = platform_.CreateOrOpenDesktop(name);
    ProcessLaunch launch;
    launch.desktop = name;

    sleep_(kCreatorPauseMs);
    // A desktop with a task bar has its shell; a second one would give it two.
    if (FindWindowOnDesktop(platform_, name, kShellTrayClassName) == 0) {
        std::string folder = platform_.WindowsDirectory();
        // Without the Windows folder there is no shell to name; "\explorer.exe" is nothing.
        if (!folder.empty()) {
            if (folder.back() != '\\') {
                folder += '\\';
            }
            launch.imagePath = folder + std::string(kShellFileName);
            platform_.StartProcessOnDesktop(launch);
        }
    }

    sleep_(kCreatorPauseMs);
    launch.imagePath = platform_.OwnImagePath();
    platform_.StartProcessOnDesktop(launch);
}

TDesktopCreatorList::TDesktopCreatorList(DesktopPlatform& platform, std::string configDir,
                                         SleepFunction sleep)
    : platform_(platform), configDir_(std::move(configDir)), sleep_(std::move(sleep)) {}

TDesktopCreatorList::~TDesktopCreatorList() {
    FreeDesktopCreators();
}

void TDesktopCreatorList::CreateDesktops() {
    for (int index = kFirstCreatedIndex; index <= kLastCreatedIndex; ++index) {
        if (IsDesktopActive(index, configDir_)) {
            creators_.push_back(std::make_unique<TDesktopCreator>(platform_, index, sleep_));
        }
    }
}

void TDesktopCreatorList::FreeDesktopCreators() {
    std::vector<std::unique_ptr<TDesktopCreator>> creators = std::exchange(creators_, {});
    for (std::unique_ptr<TDesktopCreator>& creator : creators) {
        creator.reset();
    }
}

std::vector<int> TDesktopCreatorList::Indexes() const {
    std::vector<int> indexes;
    for (const std::unique_ptr<TDesktopCreator>& creator : creators_) {
        indexes.push_back(creator->Index());
    }
    return indexes;
}

} // namespace ombrevane
