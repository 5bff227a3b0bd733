// The screen mode per desktop over the real display under Wine: the offered mode list from
// EnumDisplaySettingsA and the debugger line of a mode request. A program of its own: a
// thread of a process that moves to a desktop without a virtual screen makes Wine report that
// process's display as the whole X screen, whose current mode is not among the listed ones.

#include "features/ResolutionUnit.h"

#include "config/ConfigUnit.h"
#include "config/TestFolder.h"
#include "platform/win32/Win32DisplayPlatform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006L
#endif

namespace ombrevane {
namespace {

TEST(Win32ResolutionUnit, BuildModeListOverTheRealDisplayPreselectsTheCurrentMode) {
    win32::Win32DisplayPlatform display;
    const std::optional<DisplayMode> current = display.CurrentMode();
    ASSERT_TRUE(current.has_value());
    TDisplayModes modes(display);
    TModeList list;
    const int selected = modes.BuildModeList(list);
    ASSERT_FALSE(list.empty());
    EXPECT_GE(modes.ModeCount(), list.size());
    ASSERT_GE(selected, 0);
    ASSERT_LT(static_cast<std::size_t>(selected), list.size());
    const TRSItem& chosen = list[static_cast<std::size_t>(selected)].Item;
    EXPECT_EQ(chosen.PelsWidth, current->PelsWidth);
    EXPECT_EQ(chosen.PelsHeight, current->PelsHeight);
    EXPECT_EQ(chosen.BitsPerPel, current->BitsPerPel);
    EXPECT_EQ(chosen.DisplayFrequency, current->DisplayFrequency);
    std::printf("%zu modes listed of %u, preselected %d: %s\n", list.size(), modes.ModeCount(),
                selected, list[static_cast<std::size_t>(selected)].Text.c_str());
    for (std::size_t i = 1; i < list.size(); ++i) {
        const TRSItem& a = list[i - 1].Item;
        const TRSItem& b = list[i].Item;
        EXPECT_LE(std::uint64_t{a.PelsWidth} * a.PelsHeight,
                  std::uint64_t{b.PelsWidth} * b.PelsHeight);
        EXPECT_GE(b.PelsWidth, b.PelsHeight);
    }
}

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text before anything else sees it.
std::mutex gLinesMutex;
std::vector<std::string> gLines;

LONG CALLBACK CaptureDebugLine(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->ExceptionCode == static_cast<DWORD>(DBG_PRINTEXCEPTION_C) &&
        record->NumberParameters >= 2) {
        const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
        const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        std::lock_guard lock(gLinesMutex);
        gLines.emplace_back(text, length > 0 ? length - 1 : 0);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

class DebugLineCapture {
public:
    DebugLineCapture() : handler_(::AddVectoredExceptionHandler(1, CaptureDebugLine)) {
        std::lock_guard lock(gLinesMutex);
        gLines.clear();
    }
    ~DebugLineCapture() { ::RemoveVectoredExceptionHandler(handler_); }
    DebugLineCapture(const DebugLineCapture&) = delete;
    DebugLineCapture& operator=(const DebugLineCapture&) = delete;
    std::vector<std::string> Take() {
        std::lock_guard lock(gLinesMutex);
        return std::exchange(gLines, {});
    }

private:
    void* handler_;
};

LONG DirectRequest(const DisplayMode& mode) {
    DEVMODEA request{};
    request.dmSize = sizeof(request);
    request.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    request.dmBitsPerPel = mode.BitsPerPel;
    request.dmPelsWidth = mode.PelsWidth;
    request.dmPelsHeight = mode.PelsHeight;
    request.dmDisplayFrequency = mode.DisplayFrequency;
    return ::ChangeDisplaySettingsA(&request, 0);
}

// Puts the display back into the mode it had, for the tests that run after this one: the
// return to the default mode takes Wine's virtual desktop to the size of the X screen.
class ModeKeeper {
public:
    explicit ModeKeeper(DisplayMode mode) : mode_(mode) {}
    ~ModeKeeper() { DirectRequest(mode_); }
    ModeKeeper(const ModeKeeper&) = delete;
    ModeKeeper& operator=(const ModeKeeper&) = delete;

private:
    DisplayMode mode_;
};

TEST(Win32ResolutionUnit, ApplyDesktopResolutionWritesThePlatformsResult) {
    win32::Win32DisplayPlatform display;
    const std::optional<DisplayMode> current = display.CurrentMode();
    ASSERT_TRUE(current.has_value());
    ModeKeeper keeper(*current);
    test::TestFolder folder;
    const auto store = [&](std::int32_t index, bool resolutionActive, const DisplayMode& mode) {
        TDesktopConfig config(index);
        config.IsActive = true;
        config.ResolutionActive = resolutionActive;
        config.BitsPerPel = static_cast<std::int32_t>(mode.BitsPerPel);
        config.PelsWidth = static_cast<std::int32_t>(mode.PelsWidth);
        config.PelsHeight = static_cast<std::int32_t>(mode.PelsHeight);
        config.DisplayFrequency = static_cast<std::int32_t>(mode.DisplayFrequency);
        SaveDesktopConfig(config, folder.Dir());
    };
    const DisplayMode absurd{7, 123, 45, 0};
    store(1, true, *current);
    store(2, true, absurd);
    store(3, false, absurd);

    DebugLineCapture capture;
    ApplyDesktopResolution(display, 1, folder.Dir());
    const std::vector<std::string> currentLines = capture.Take();
    const LONG currentResult = DirectRequest(*current);
    ApplyDesktopResolution(display, 2, folder.Dir());
    const std::vector<std::string> absurdLines = capture.Take();
    const LONG absurdResult = DirectRequest(absurd);
    ApplyDesktopResolution(display, 3, folder.Dir());
    const std::vector<std::string> defaultLines = capture.Take();

    EXPECT_EQ(currentResult, DISP_CHANGE_SUCCESSFUL);
    EXPECT_LT(absurdResult, 0) << "a mode the display cannot show is refused";
    EXPECT_EQ(currentLines, std::vector<std::string>{"ChangeDisplaySettings result is " +
                                                     std::to_string(currentResult)});
    EXPECT_EQ(absurdLines, std::vector<std::string>{"ChangeDisplaySettings result is " +
                                                    std::to_string(absurdResult)});
    EXPECT_TRUE(defaultLines.empty());
    const std::optional<DisplayMode> atDefault = display.CurrentMode();
    ASSERT_TRUE(atDefault.has_value());
    std::printf("the default mode: %ux%u, %u bit, %u Hz (was %ux%u)\n", atDefault->PelsWidth,
                atDefault->PelsHeight, atDefault->BitsPerPel, atDefault->DisplayFrequency,
                current->PelsWidth, current->PelsHeight);
    EXPECT_EQ(DirectRequest(*current), DISP_CHANGE_SUCCESSFUL);
    const std::optional<DisplayMode> back = display.CurrentMode();
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->PelsWidth, current->PelsWidth);
    EXPECT_EQ(back->PelsHeight, current->PelsHeight);
}

} // namespace
} // namespace ombrevane
