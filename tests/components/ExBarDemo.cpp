// The navigation bar filled as the options dialog fills it, for looking at and for the Wine
// scenario. Prints one line per event to standard output:
//   ready <surface left> <surface top> (screen) ; rect <kind> <name> l t r b (surface)
//   render scroll=<0|1> <group>=<state>/<height>... ; paint <group> ; click <id>
// Arguments: --classic (no theme picture), --height <pixels> (bar height, default 300).

#include "components/win32/ExBarControl.h"
#include "dialogs/OptionsBarContent.h"
#include "platform/win32/WindowClass.h"

#include <commctrl.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using namespace ombrevane;

const char* StateName(ExGroupState state) {
    switch (state) {
    case ExGroupState::Expanded:
        return "expanded";
    case ExGroupState::Collapsed:
        return "collapsed";
    case ExGroupState::Expanding:
        return "expanding";
    case ExGroupState::Collapsing:
        return "collapsing";
    }
    return "?";
}

void Print(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string RectText(const ExRect& r) {
    return std::to_string(r.Left) + " " + std::to_string(r.Top) + " " + std::to_string(r.Right) +
           " " + std::to_string(r.Bottom);
}

// Four 16 x 16 images drawn at run time: the options dialog brings its own.
HIMAGELIST MakeIcons() {
    HIMAGELIST list = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
    const COLORREF colors[4] = {RGB(40, 150, 60), RGB(200, 120, 20), RGB(60, 90, 200),
                                RGB(150, 60, 160)};
    win32::WindowDc screen(nullptr);
    for (COLORREF color : colors) {
        win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.get(), 16, 16));
        win32::UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
        {
            win32::SelectedObject selected(dc.get(), bitmap.get());
            const RECT all{0, 0, 16, 16};
            ::SetBkColor(dc.get(), RGB(255, 0, 255));
            ::ExtTextOutA(dc.get(), 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
            const RECT inner{2, 2, 14, 14};
            ::SetBkColor(dc.get(), color);
            ::ExtTextOutA(dc.get(), 0, 0, ETO_OPAQUE, &inner, nullptr, 0, nullptr);
        }
        ::ImageList_AddMasked(list, static_cast<HBITMAP>(bitmap.get()), RGB(255, 0, 255));
    }
    return list;
}

struct Demo {
    std::unique_ptr<ExBarControl> bar;
    bool classic = false;
    int height = 300;
};

// The hit rectangles, printed again whenever they changed.
void PrintRects(ExBarControl& control, std::string& last) {
    std::string text;
    for (const auto& group : control.Bar().Groups) {
        text += "rect header " + group->Caption() + "|" + RectText(group->HeaderRect) + "\n";
        for (const auto& item : group->Items) {
            if (auto* link = dynamic_cast<TExMenuItem*>(item.get())) {
                text +=
                    "rect link " + std::to_string(link->Id) + "|" + RectText(link->HitRect) + "\n";
            }
        }
    }
    if (text != last) {
        last = text;
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }
}

LRESULT CALLBACK DemoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Plain "\n" line ends for the scenario that reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    Demo demo;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--classic") == 0) {
            demo.classic = true;
        } else if (std::strcmp(__argv[i], "--height") == 0 && i + 1 < __argc) {
            demo.height = std::max(50, std::atoi(__argv[++i]));
        }
    }
    win32::EnsureWindowClass({.name = "ExBarDemo",
                              .procedure = DemoProc,
                              .cursor = win32::SystemCursor(win32::kIdcArrow),
                              .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
    RECT frame{0, 0, 180 + 200, demo.height};
    ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    win32::UniqueWindow window(::CreateWindowExA(
        0, "ExBarDemo", "ExBar demo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 60, 40,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr));
    if (!window) {
        Print("error window");
        return 1;
    }
    demo.bar = ExBarControl::Create(window.get());
    if (!demo.bar) {
        Print("error bar");
        return 1;
    }
    ExBarControl& control = *demo.bar;
    HIMAGELIST icons = MakeIcons();

    // The options dialog's sequence.
    TExBar& bar = control.Bar();
    bar.LockUpdates();
    if (!demo.classic) {
        win32::UniqueGdiObject picture(
            ::LoadImageA(instance, "BlueImg", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!picture) {
            Print("error BlueImg");
        }
        control.ApplyTheme(static_cast<HBITMAP>(picture.get()));
    }
    control.SetItemIcons(icons);
    bar.OnMenuItemClick = [](TExBar&, int32_t id) { Print("click " + std::to_string(id)); };
    AddOptionsDialogGroups(bar);
    control.SetBounds(0, 0, 180, demo.height);
    bar.UnlockUpdates();

    std::string lastRects;
    control.OnRender = [&control, &lastRects] {
        std::string line =
            "render scroll=" + std::string(control.VerticalScrollBarShown() ? "1" : "0");
        for (const auto& group : control.Bar().Groups) {
            line += " " + group->Caption() + "=" + StateName(group->GroupState) + "/" +
                    std::to_string(group->CurrentHeight);
        }
        Print(line);
        PrintRects(control, lastRects);
    };
    control.OnGroupPainted = [](const TExGroup& group) { Print("paint " + group.Caption()); };

    ::ShowWindow(window.get(), SW_SHOWNORMAL);
    ::UpdateWindow(window.get());
    bar.RefreshBar();

    const ExBarShared& shared = GetExBarShared();
    Print(std::string("glyphs ") + (shared.GlyphsFromResources ? "resource" : "builtin"));
    const COLORREF caption = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    char colors[160];
    std::snprintf(colors, sizeof(colors), "syscolors caption=%d,%d,%d face=%d,%d,%d text=%d,%d,%d",
                  GetRValue(caption), GetGValue(caption), GetBValue(caption), GetRValue(face),
                  GetGValue(face), GetBValue(face), GetRValue(text), GetGValue(text),
                  GetBValue(text));
    Print(colors);
    POINT origin{0, 0};
    ::ClientToScreen(control.SurfaceHandle(), &origin);
    Print("ready " + std::to_string(origin.x) + " " + std::to_string(origin.y));

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    demo.bar.reset();
    ::ImageList_Destroy(icons);
    return 0;
}
