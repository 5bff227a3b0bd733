// inputward.dll's hooks fed with SendInput (run under Wine): the staged library, loaded through
// the program's binding, reporting to a controller window of this test as it reports to the
// program's.

#include "inputlock/inputwardexport.h"
#include "platform/win32/UniqueHandle.h"
#include "controller/ControllerWindow.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ombrevane {
namespace {

constexpr UINT kHotKeyReport = WM_INTERNAL_DLL_HOTKEY;
constexpr std::uint16_t kAltShift = 1 | 4;

// Paths handed over by the build are Unix paths when the test runs under Wine.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

void SendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof(INPUT));
}

// What the controller window was posted, with the tick each message was handled at.
struct Received {
    UINT message;
    WPARAM wParam;
    DWORD tick;
};
std::vector<Received> received;

LRESULT CALLBACK ControllerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= 2228 && message <= 2241) {
        received.push_back({message, wParam, ::GetTickCount()});
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// Handles what arrives for this thread's windows for that long.
void Pump(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    MSG message;
    while (::GetTickCount() - start < milliseconds) {
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageA(&message);
        }
        ::Sleep(10);
    }
}

int Reports(UINT message) {
    int count = 0;
    for (const Received& r : received) {
        count += r.message == message ? 1 : 0;
    }
    return count;
}

// The library watching the keyboard for a message-only controller window of this thread,
// with Alt+Shift+S in slot 0.
class InputWardHooks : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &ControllerProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kControllerClassName;
        ::RegisterClassA(&windowClass);
        controller_.reset(::CreateWindowExA(0, kControllerClassName, "", 0, 0, 0, 0, 0,
                                            HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr));
        ASSERT_TRUE(controller_);
        library_ = InputWardLibrary::LoadFromFolder(WindowsPath(OMBREVANE_TEST_STAGE_BIN),
                                                    [](const std::string&) {});
        ASSERT_TRUE(library_.IsLoaded()) << library_.Problem();
        library_.Initial();
        library_.SetHotKey(0, 'S', kAltShift);
        ASSERT_NE(library_.SetKeyboard(-1), 0);
        ASSERT_NE(library_.KeyboardEnable(), 0);
    }
    void TearDown() override {
        if (library_.IsLoaded()) {
            library_.SetKeyboard(0);
            EXPECT_EQ(library_.KeyboardEnable(), 0);
        }
        controller_.reset();
    }

    InputWardLibrary library_;
    win32::UniqueWindow controller_;
};

// Auto-repeat sends the held key's press again and again; the key state never shows a press
// the hook consumed, so the repeats must be known for what they are without it.
TEST_F(InputWardHooks, AHeldHotKeyIsReportedOnce) {
    SendKey(VK_LMENU, true);
    SendKey(VK_LSHIFT, true);
    for (int i = 0; i < 4; ++i) {
        SendKey('S', true);
        ::Sleep(40);
    }
    SendKey('S', false);
    SendKey(VK_LSHIFT, false);
    SendKey(VK_LMENU, false);
    Pump(1000);
    EXPECT_EQ(Reports(kHotKeyReport), 1);

    // A second press after the release is a press again.
    SendKey(VK_LMENU, true);
    SendKey(VK_LSHIFT, true);
    SendKey('S', true);
    SendKey('S', false);
    SendKey(VK_LSHIFT, false);
    SendKey(VK_LMENU, false);
    Pump(1000);
    EXPECT_EQ(Reports(kHotKeyReport), 2);
}

// A window of its own thread that notes when keys reach it.
class FocusWindow {
public:
    FocusWindow() {
        thread_ = std::thread([this] { Run(); });
        ::WaitForSingleObject(ready_.get(), 10000);
    }
    ~FocusWindow() {
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    FocusWindow(const FocusWindow&) = delete;
    FocusWindow& operator=(const FocusWindow&) = delete;

    HWND Handle() const { return window_; }
    // Tick at which the key's press arrived, 0 while it has not.
    DWORD Arrival(WORD key) const { return key == 'A' ? arrivalA_.load() : arrivalS_.load(); }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FocusWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_NCCREATE) {
            self =
                static_cast<FocusWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (self != nullptr && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
            const DWORD now = ::GetTickCount() | 1; // never 0
            if (wParam == 'A') {
                self->arrivalA_.store(now);
            } else if (wParam == 'S') {
                self->arrivalS_.store(now);
            }
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    void Run() {
        threadId_ = ::GetCurrentThreadId();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "OmbrevaneFocusProbe";
        ::RegisterClassA(&windowClass);
        window_ = ::CreateWindowExA(0, windowClass.lpszClassName, "focus probe",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                    nullptr, windowClass.hInstance, this);
        ::SetForegroundWindow(window_);
        ::SetFocus(window_);
        ::SetEvent(ready_.get());
        MSG message;
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::DestroyWindow(window_);
    }

    win32::UniqueKernelHandle ready_{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::thread thread_;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
    std::atomic<DWORD> arrivalA_{0};
    std::atomic<DWORD> arrivalS_{0};
};

// The controller's thread blocks (a screen mode change, a join): the hooks, on a thread of
// their own, still pass keys on to the focused window at once and keep the hot key from it;
// the hot key's report waits in the controller's queue until the thread is back.
TEST_F(InputWardHooks, KeysFlowWhileTheControllerThreadIsBlocked) {
    FocusWindow focus;
    for (int i = 0; i < 100 && ::GetForegroundWindow() != focus.Handle(); ++i) {
        ::Sleep(20);
    }
    ASSERT_EQ(::GetForegroundWindow(), focus.Handle()) << "the probe window did not come forward";

    constexpr DWORD kBlockMs = 2000;
    win32::UniqueKernelHandle blocked(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<DWORD> sentA{0};
    std::thread sender([&] {
        ::WaitForSingleObject(blocked.get(), 10000);
        ::Sleep(300);
        sentA = ::GetTickCount();
        SendKey('A', true);
        SendKey('A', false);
        ::Sleep(100);
        SendKey(VK_LMENU, true);
        SendKey(VK_LSHIFT, true);
        SendKey('S', true);
        SendKey('S', false);
        SendKey(VK_LSHIFT, false);
        SendKey(VK_LMENU, false);
    });

    // The controller's thread blocks, without handling any message.
    ::SetEvent(blocked.get());
    ::Sleep(kBlockMs);
    const DWORD blockEnd = ::GetTickCount();
    sender.join();

    const DWORD arrivalA = focus.Arrival('A');
    ASSERT_NE(arrivalA, 0u) << "the key never reached the focused window";
    std::printf("key reached the focused window %lu ms after it was sent, %ld ms before the "
                "controller's thread was back\n",
                static_cast<unsigned long>(arrivalA - sentA),
                static_cast<long>(blockEnd - arrivalA));
    EXPECT_LT(static_cast<long>(arrivalA - blockEnd), 0) << "the key waited for the controller";

    Pump(1500);
    EXPECT_EQ(focus.Arrival('S'), 0u) << "the hot key reached the focused window";
    ASSERT_EQ(Reports(kHotKeyReport), 1);
    for (const Received& r : received) {
        EXPECT_GE(static_cast<long>(r.tick - blockEnd), 0);
    }
}

} // namespace
} // namespace ombrevane
