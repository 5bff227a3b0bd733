#include "platform/win32/WindowClass.h"

namespace ombrevane::win32 {

HINSTANCE ProgramInstance() {
    return ::GetModuleHandleA(nullptr);
}

bool EnsureWindowClass(const WindowClass& windowClass) {
    const HINSTANCE instance = ProgramInstance();
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(instance, windowClass.name, &existing)) {
        return true;
    }
    WNDCLASSEXA registered{};
    registered.cbSize = sizeof(registered);
    registered.lpfnWndProc = windowClass.procedure;
    registered.hInstance = instance;
    registered.hCursor = windowClass.cursor;
    registered.hbrBackground = windowClass.background;
    registered.lpszClassName = windowClass.name;
    // Another thread may have registered it since the look-up.
    return ::RegisterClassExA(&registered) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HCURSOR SystemCursor(WORD id) {
    return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(id));
}

} // namespace ombrevane::win32
