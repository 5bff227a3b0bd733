#pragma once
// One owner type per kind of Win32 resource. A handle opened is closed on every path.

#include <windows.h>

#include <utility>

namespace ombrevane::win32 {

// Closer: a type with `static bool IsEmpty(T)` and `static void Close(T)`.
template <typename T, typename Closer> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : value_(value) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    T get() const { return value_; }
    explicit operator bool() const { return !Closer::IsEmpty(value_); }
    T release() { return std::exchange(value_, T{}); }
    void reset(T value = T{}) {
        T old = std::exchange(value_, value);
        if (!Closer::IsEmpty(old)) {
            Closer::Close(old);
        }
    }

private:
    T value_{};
};

struct KernelHandleCloser {
    static bool IsEmpty(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct DesktopCloser {
    static bool IsEmpty(HDESK h) { return h == nullptr; }
    static void Close(HDESK h) { ::CloseDesktop(h); }
};
struct ViewCloser {
    static bool IsEmpty(void* p) { return p == nullptr; }
    static void Close(void* p) { ::UnmapViewOfFile(p); }
};
struct GdiObjectCloser {
    static bool IsEmpty(HGDIOBJ h) { return h == nullptr; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct IconCloser {
    static bool IsEmpty(HICON h) { return h == nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};
struct MemoryDcCloser {
    static bool IsEmpty(HDC h) { return h == nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct HookCloser {
    static bool IsEmpty(HHOOK h) { return h == nullptr; }
    static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
struct ModuleCloser {
    static bool IsEmpty(HMODULE h) { return h == nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct MenuCloser {
    static bool IsEmpty(HMENU h) { return h == nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct WindowCloser {
    static bool IsEmpty(HWND h) { return h == nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};
struct RegKeyCloser {
    static bool IsEmpty(HKEY h) { return h == nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;
using UniqueDesktop = UniqueHandle<HDESK, DesktopCloser>;
using UniqueView = UniqueHandle<void*, ViewCloser>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectCloser>;
using UniqueIcon = UniqueHandle<HICON, IconCloser>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcCloser>;
using UniqueHook = UniqueHandle<HHOOK, HookCloser>;
using UniqueModule = UniqueHandle<HMODULE, ModuleCloser>;
using UniqueMenu = UniqueHandle<HMENU, MenuCloser>;
using UniqueWindow = UniqueHandle<HWND, WindowCloser>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyCloser>;

// GetDC/ReleaseDC for a window (or the screen when hwnd is null).
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(hwnd_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// SelectObject that puts the previous object back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ != nullptr && old_ != HGDI_ERROR) {
            ::SelectObject(dc_, old_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace ombrevane::win32
