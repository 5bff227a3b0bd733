// Cost of TTextTrayIcon::RebuildIcon, which runs on every text or look change, against a
// baseline measured in the same run: making one 16 x 16 icon from ready bitmaps with
// CreateIconIndirect (the least any rebuild has to do). Also checks that 10,000 rebuilds
// leave no GDI or USER object behind.
// Usage: tray_rebuild_bench [rebuilds]

#include "components/win32/IconFromPixels.h"
#include "components/win32/TextTrayIcon.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace ombrevane;

double MicrosecondsPer(Clock::duration total, int count) {
    return std::chrono::duration<double, std::micro>(total).count() / count;
}

// Live GDI objects of this process. GetGuiResources answers 0 under Wine; there, every
// handle index is asked for its object type instead (Wine accepts an index without its
// generation bits).
DWORD GdiObjectCount(bool* counted) {
    DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0) {
        *counted = false;
        return count;
    }
    *counted = true;
    for (ULONG_PTR index = 1; index < 0x10000; ++index) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
            ++count;
        }
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    int rebuilds = argc > 1 ? std::atoi(argv[1]) : 10000;
    if (rebuilds <= 0) {
        rebuilds = 10000;
    }
    const char* texts[] = {"1", "2", "3", "4", "5"};

    win32::TTextTrayIcon tray(nullptr);
    win32::ApplyMainFormLook(tray);
    tray.SetText("1");

    // Baseline: an icon from two ready bitmaps.
    IconImage image{IconPixels(256, 0xFF308BDE), std::vector<bool>(256, false)};
    win32::UniqueIcon sample = win32::CreateIconFromImage(image);
    ICONINFO info{};
    ::GetIconInfo(sample.get(), &info);
    win32::UniqueGdiObject color(info.hbmColor);
    win32::UniqueGdiObject mask(info.hbmMask);
    for (int i = 0; i < 200; ++i) { // warm-up of both
        ::DestroyIcon(::CreateIconIndirect(&info));
        tray.SetText(texts[i % 5]);
    }
    auto start = Clock::now();
    for (int i = 0; i < rebuilds; ++i) {
        ::DestroyIcon(::CreateIconIndirect(&info));
    }
    double baseline = MicrosecondsPer(Clock::now() - start, rebuilds);

    // Painting alone, without making the icon.
    start = Clock::now();
    for (int i = 0; i < rebuilds / 10; ++i) {
        tray.PaintTextBitmap();
    }
    double paint = MicrosecondsPer(Clock::now() - start, rebuilds / 10);

    bool wineCount = false;
    DWORD gdiBefore = GdiObjectCount(&wineCount);
    // The count must see one more object while a probe brush exists, or it counts nothing.
    bool countWorks = false;
    {
        win32::UniqueGdiObject probe(::CreateSolidBrush(0));
        countWorks = GdiObjectCount(&wineCount) == gdiBefore + 1;
    }
    DWORD userBefore = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    start = Clock::now();
    for (int i = 0; i < rebuilds; ++i) {
        tray.SetText(texts[i % 5]);
    }
    double rebuild = MicrosecondsPer(Clock::now() - start, rebuilds);
    DWORD gdiAfter = GdiObjectCount(&wineCount);
    DWORD userAfter = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);

    // The same with the icon in the notification area: each rebuild also updates the shell.
    int shown = 0;
    double shownRebuild = 0;
    if (tray.AddToTray()) {
        shown = rebuilds / 10;
        start = Clock::now();
        for (int i = 0; i < shown; ++i) {
            tray.SetText(texts[i % 5]);
        }
        shownRebuild = MicrosecondsPer(Clock::now() - start, shown);
    }

    std::printf("rebuilds:                    %d\n", rebuilds);
    std::printf("baseline CreateIconIndirect: %8.1f us\n", baseline);
    std::printf("PaintTextBitmap alone:       %8.1f us  (%.1f x baseline)\n", paint,
                paint / baseline);
    std::printf("RebuildIcon (hidden icon):   %8.1f us  (%.1f x baseline, goal < 500 us)\n",
                rebuild, rebuild / baseline);
    if (shown > 0) {
        std::printf("RebuildIcon (icon in tray):  %8.1f us  (%.1f x baseline, %d rebuilds)\n",
                    shownRebuild, shownRebuild / baseline, shown);
    } else {
        std::printf("RebuildIcon (icon in tray):  not measured, no notification area\n");
    }
    std::printf("GDI objects before/after:    %lu / %lu%s%s\n", gdiBefore, gdiAfter,
                wineCount ? " (counted by handle index)" : "",
                countWorks ? "" : " (COUNT UNRELIABLE: a probe brush was not seen)");
    std::printf("USER objects before/after:   %lu / %lu\n", userBefore, userAfter);
    bool leak = !countWorks || gdiAfter > gdiBefore || userAfter > userBefore;
    bool fast = rebuild < 500.0;
    std::printf("%s\n", leak ? "LEAK" : "no leak");
    return leak || !fast ? 1 : 0;
}
