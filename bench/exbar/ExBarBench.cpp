// Times the bar's full render and a hot-tracking update (two groups repainted, one copy) with
// the options dialog's content, and the bare copy of the back buffer to the screen as the
// baseline every update pays. Counts GDI objects around 10,000 renders. Also one icon drawn
// from the image list against the bar's snapshot of it, the step that decides the hot update.

#include "components/win32/ExBarControl.h"
#include "dialogs/OptionsBarContent.h"

#include <commctrl.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using namespace ombrevane;
using Clock = std::chrono::steady_clock;

template <typename F> double MicrosecondsEach(int count, F&& work) {
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        work(i);
    }
    const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    return spent.count() / count;
}

// Wine's GetGuiResources is a stub; there the slot a new object gets in the GDI handle table
// shows whether the table grew.
int GdiSlot() {
    win32::UniqueGdiObject probe(::CreateSolidBrush(RGB(3, 2, 1)));
    return static_cast<int>(reinterpret_cast<uintptr_t>(probe.get()) & 0xFFFF);
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
    }
}

} // namespace

int main() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "ExBarBenchHost";
    ::RegisterClassA(&wc);
    win32::UniqueWindow host(::CreateWindowExA(0, "ExBarBenchHost", "ExBar bench",
                                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400,
                                               500, nullptr, nullptr, wc.hInstance, nullptr));
    auto control = ExBarControl::Create(host.get());
    if (!control) {
        std::printf("no window\n");
        return 1;
    }
    HIMAGELIST icons = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
    for (int i = 0; i < 4; ++i) {
        ::ImageList_AddIcon(icons, ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    }
    TExBar& bar = control->Bar();
    bar.LockUpdates();
    {
        win32::UniqueGdiObject picture(
            ::LoadImageA(wc.hInstance, "BlueImg", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        control->ApplyTheme(static_cast<HBITMAP>(picture.get()));
    }
    control->SetItemIcons(icons);
    AddOptionsDialogGroups(bar);
    control->SetBounds(0, 0, 180, 400);
    bar.UnlockUpdates();
    ::ShowWindow(host.get(), SW_SHOWNOACTIVATE);
    bar.RefreshBar();
    Pump();

    const ExRect a = dynamic_cast<TExMenuItem&>(*bar.Groups[1].Items[2]).HitRect;
    const ExRect b = dynamic_cast<TExMenuItem&>(*bar.Groups[0].Items[0]).HitRect;
    const int rounds = 2000;
    const ExDibBuffer& buffer = control->Surface().BackBuffer();
    const double copy = MicrosecondsEach(rounds, [&](int) {
        win32::WindowDc dc(control->SurfaceHandle());
        ::BitBlt(dc.get(), 0, 0, buffer.Width(), buffer.Height(), buffer.Dc(), 0, 0, SRCCOPY);
    });
    const double render = MicrosecondsEach(rounds, [&](int) { bar.RefreshBar(); });
    const double hot = MicrosecondsEach(rounds, [&](int i) {
        const ExRect& r = i % 2 == 0 ? a : b;
        bar.MouseMove(r.Left + 20, r.Top + 5, ExMouseState{});
    });
    // One icon put down straight from the image list, and from the bar's snapshot of it.
    ExDibBuffer scratch(32, 32);
    const ExBarImageList snapshot(icons);
    const double listIcon = MicrosecondsEach(rounds, [&](int i) {
        ::ImageList_Draw(icons, i % 4, scratch.Dc(), 8, 8, ILD_TRANSPARENT);
    });
    const double snapshotIcon =
        MicrosecondsEach(rounds, [&](int i) { snapshot.Draw(scratch.Dc(), i % 4, 8, 8); });
    std::printf("back buffer %dx%d\n", buffer.Width(), buffer.Height());
    std::printf("icon from the image list: %.1f us, from the snapshot: %.1f us (%.3fx)\n", listIcon,
                snapshotIcon, snapshotIcon / listIcon);
    std::printf("baseline copy to screen: %.1f us\n", copy);
    std::printf("full render: %.1f us (%.1fx the copy; goal under 2000 us)\n", render,
                render / copy);
    std::printf("hot-tracking update (two groups): %.1f us (%.1fx the copy; goal under 500 us)\n",
                hot, hot / copy);

    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    const int slotBefore = GdiSlot();
    for (int i = 0; i < 10000; ++i) {
        bar.RefreshBar();
        if (i % 500 == 0) {
            Pump();
        }
    }
    const DWORD after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    const int slotAfter = GdiSlot();
    std::printf("GDI objects over 10000 renders: %lu -> %lu%s\n", before, after,
                before == 0 ? " (count not available here)" : "");
    std::printf("GDI handle slot of a new object: %d -> %d\n", slotBefore, slotAfter);
    // Calibration: ten leaked brushes must move the slot, or the slot says nothing.
    std::vector<HBRUSH> leaked;
    for (int i = 0; i < 10; ++i) {
        leaked.push_back(::CreateSolidBrush(RGB(i, 7, 7)));
    }
    std::printf("calibration, slot after 10 objects kept: %d\n", GdiSlot());
    for (HBRUSH brush : leaked) {
        ::DeleteObject(brush);
    }
    control.reset();
    ::ImageList_Destroy(icons);
    return 0;
}
