// Shows the program's tray icon with a given text for a while, for screenshots of the
// notification area. Usage: tray_show <text> <seconds>
// Prints "tray icon shown" once the shell has the icon.

#include "components/TrayWin32Helpers.h"
#include "components/win32/TextTrayIcon.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    using namespace ombrevane;
    using namespace std::chrono_literals;
    std::string text = argc > 1 ? argv[1] : "1";
    int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    if (seconds <= 0 || seconds > 600) {
        seconds = 10;
    }
    win32::TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    tray.SetText(text);
    tray.SetIconVisible(true);
    HWND window = tray.HandlerWindow();
    if (!testing::PumpUntil([&] { return testing::IconInTray(window, tray.IconId()); }, 30s)) {
        std::printf("tray icon not shown\n");
        return 1;
    }
    std::printf("tray icon shown\n");
    std::fflush(stdout);
    testing::PumpFor(std::chrono::seconds(seconds));
    return 0;
}
