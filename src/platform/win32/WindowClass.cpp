#include "platform/win32/WindowClass.h"

namespace ombrevane::win32 {

bool EnsureWindowClass(HINSTANCE instance, const char* className, WNDPROC procedure) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(instance, className, &existing)) {
        return true;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    return ::RegisterClassExA(&windowClass) != 0;
}

} // namespace ombrevane::win32
