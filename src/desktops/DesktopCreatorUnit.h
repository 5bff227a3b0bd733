#pragma once
// Creation of the extra desktops by the instance on "Default". For every active desktop 1 to
// 4 a worker thread creates (or opens) the desktop, starts the shell there when it has no
// task bar, and starts this program there, which becomes the desktop's instance or ends at
// once when the desktop has one. So the same round creates missing desktops and repairs
// desktops whose instance has gone. The work never touches the user interface.

#include "platform/DesktopPlatform.h"

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ombrevane {

inline constexpr std::string_view kShellTrayClassName = "Shell_TrayWnd";
inline constexpr std::string_view kShellFileName = "explorer.exe";
inline constexpr unsigned kCreatorPauseMs = 500;

// Waits so many milliseconds.
using SleepFunction = std::function<void(unsigned milliseconds)>;
SleepFunction RealSleep();

// What the controller asks of desktop creation; TDesktopCreatorList does it.
class DesktopCreation {
public:
    virtual ~DesktopCreation() = default;
    // Starts a creator for every desktop 1 to 4 whose settings mark it active.
    virtual void CreateDesktops() = 0;
    // Destroys every creator, waiting for those still at work.
    virtual void FreeDesktopCreators() = 0;
};

// One desktop's creation on a thread of its own, started on construction. Whatever the work
// lets out goes to the program-wide error report; the instance goes on.
class TDesktopCreator {
public:
    TDesktopCreator(DesktopPlatform& platform, int index, SleepFunction sleep);
    // Waits until the work is done.
    ~TDesktopCreator() = default;
    TDesktopCreator(const TDesktopCreator&) = delete;
    TDesktopCreator& operator=(const TDesktopCreator&) = delete;

    int Index() const { return index_; }

private:
    void Execute();

    DesktopPlatform& platform_;
    const int index_;
    SleepFunction sleep_;
    // Last: the thread must not start before the members it uses exist.
    std::jthread thread_;
};

// The instance's creators, in the order of their desktop index, until the next free.
class TDesktopCreatorList : public DesktopCreation {
public:
    TDesktopCreatorList(DesktopPlatform& platform, std::string configDir,
                        SleepFunction sleep = RealSleep());
    ~TDesktopCreatorList() override;

    void CreateDesktops() override;
    void FreeDesktopCreators() override;

    // Desktop indexes of the listed creators, in list order.
    std::vector<int> Indexes() const;

private:
    DesktopPlatform& platform_;
    std::string configDir_;
    SleepFunction sleep_;
    std::vector<std::unique_ptr<TDesktopCreator>> creators_;
};

} // namespace ombrevane
