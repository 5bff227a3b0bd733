// Runs a command line on a named desktop of this window station and waits for it, bounded:
//   run_on_desktop DESKTOP TIMEOUT_MS PROGRAM [ARGUMENTS...]
// Prints "exit code=N" or "running" (timeout) or "start failed error=N". The installer scenario
// runs the setup from a created desktop with it, as a user on that desktop would.

#include "platform/win32/UniqueHandle.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: run_on_desktop DESKTOP TIMEOUT_MS PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const std::string desktop = argv[1];
    const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    std::string commandLine = "\"" + std::string(argv[3]) + "\"";
    for (int i = 4; i < argc; ++i) {
        commandLine += " ";
        commandLine += argv[i];
    }
    // A desktop exists while someone holds it: hold it until the program has finished.
    ombrevane::win32::UniqueDesktop held(
        ::CreateDesktopA(desktop.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    std::string qualified = "WinSta0\\" + desktop;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = qualified.data();
    // No standard handles of ours: whatever the program starts in turn must not hold the
    // scenario's pipe open after we are gone.
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(argv[3], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        std::printf("start failed error=%lu\n", ::GetLastError());
        return 1;
    }
    ombrevane::win32::UniqueKernelHandle process(info.hProcess);
    ombrevane::win32::UniqueKernelHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), timeout) != WAIT_OBJECT_0) {
        std::puts("running");
        return 1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    std::printf("exit code=%lu\n", code);
    return 0;
}
