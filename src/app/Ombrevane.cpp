// The program: claims this desktop's slot in the instance registry, then runs the hidden
// application and controller windows until the instance is told to end.

#include "app/ApplicationWindow.h"
#include "app/JclAppInst.h"
#include "controller/win32/MainformWindow.h"
#include "desktops/tileswitchUtils.h"
#include "platform/ErrorReport.h"
#include "platform/win32/Dialog.h"
#include "platform/win32/Win32DesktopPlatform.h"
#include "platform/win32/Win32SyncPlatform.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

using namespace ombrevane;

int RunMessageLoop() {
    MSG message{};
    while (true) {
        const BOOL result = ::GetMessageA(&message, nullptr, 0, 0);
        if (result == 0) {
            return static_cast<int>(message.wParam);
        }
        if (result == -1) {
            return 1;
        }
        if (win32::HandleDialogMessage(message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

// Test hook: with OMBREVANE_TEST_STALL_IN_INSTANCE_LOCK=1 in its environment the process
// takes the instance-list lock and never leaves it, so that a scenario can kill an instance
// inside the lock and show that no other start or exit waits for it for good.
void StallInsideTheInstanceLockWhenTested(DesktopPlatform& desktops, SyncPlatform& sync,
                                          const std::string& baseName) {
    const char* stall = std::getenv("OMBREVANE_TEST_STALL_IN_INSTANCE_LOCK");
    if (stall == nullptr || std::string_view(stall) != "1") {
        return;
    }
    TJclOptex lock(sync, baseName + "_Otx", TJclAppInstances::kLockSpinCount);
    lock.Enter();
    desktops.DebugLine("stalling inside the instance lock");
    ::Sleep(INFINITE);
}

int RunInstance(DesktopPlatform& desktops, SyncPlatform& sync) {
    auto registry = std::make_unique<TJclAppInstances>(desktops, sync,
                                                       InstanceName(CurrentDesktopName(desktops)));
    StallInsideTheInstanceLockWhenTested(desktops, sync, registry->BaseName());
    if (!registry->RegisterInstance(1)) {
        // Another copy serves this desktop. On "Default" the user probably started us by
        // hand, so bring the running one forward; the entry we stored is removed on return.
        if (IsDefaultDesktop(desktops)) {
            registry->ActivateInstance(0);
        }
        return 0;
    }
    int exitCode = 0;
    {
        win32::ApplicationWindow application;
        if (!application) {
            ReportError("Failed to create the application window");
            return 1;
        }
        std::unique_ptr<win32::MainformWindow> mainform =
            win32::MainformWindow::Create(application.Handle(), desktops);
        if (!mainform) {
            ReportError("Failed to create the main window");
            return 1;
        }
        exitCode = RunMessageLoop();
    }
    // Unregister before saying so, so that whoever waits for the line finds the entry gone.
    registry.reset();
    desktops.DebugLine("Ombrevane ended");
    return exitCode;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    win32::Win32DesktopPlatform desktops;
    win32::Win32SyncPlatform sync;
    try {
        return RunInstance(desktops, sync);
    } catch (const StartupError& e) {
        ReportError(e.what());
        return 1;
    } catch (...) {
        ReportCurrentException();
        return 1;
    }
}
