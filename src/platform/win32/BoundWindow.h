#pragma once
// The one way the program makes a window: the window is bound to the C++ object that owns
// it. The binding travels through CreateWindowEx's lpCreateParams, is stored with the window
// on WM_NCCREATE and cleared on WM_NCDESTROY; one static procedure forwards every message in
// between to the owner.

#include "platform/win32/WindowClass.h"

#include <windows.h>

namespace ombrevane::win32 {

class BoundWindow;

class WindowOwner {
public:
    // The procedure of every class of bound windows.
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    WindowOwner() = default;
    ~WindowOwner() = default;

    // Every message from WM_NCCREATE to WM_NCDESTROY, both included. An exception let out
    // here must not unwind through the system's frames: it reaches the program-wide error
    // report and the message is answered with 0.
    virtual LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Where and how a bound window is created.
struct WindowPlacement {
    DWORD exStyle = 0;
    const char* title = "";
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr; // the owner window for a top-level window, HWND_MESSAGE
};

// The window of one owner, destroyed with this object. Declare it as the owner's last member,
// so that the window goes while the rest of the owner still exists. A window destroyed
// otherwise (with its parent) leaves this object empty.
class BoundWindow {
public:
    BoundWindow() = default;
    ~BoundWindow();
    BoundWindow(const BoundWindow&) = delete;
    BoundWindow& operator=(const BoundWindow&) = delete;

    // Registers the class once, with WindowOwner::Procedure, and creates the window, which
    // is bound from its first message on. False when either fails.
    bool Create(WindowOwner& owner, const WindowClass& windowClass,
                const WindowPlacement& placement);
    void Destroy();

    HWND get() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }

private:
    friend class WindowOwner;
    WindowOwner* owner_ = nullptr;
    HWND hwnd_ = nullptr;
};

} // namespace ombrevane::win32
