// Starting programs over the real window station: on a named desktop with a quoted path and
// parameters, and a desktop's list on the instance's own desktop.

#include "features/StartupUnit.h"

#include "FeatureTestHelpers.h"
#include "config/ConfigUnit.h"
#include "config/TestFolder.h"
#include "desktops/tileswitchUtils.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

using namespace test;

TEST(Win32StartupUnit, StartProgramRunsAQuotedPathWithItsParametersOnTheNamedDesktop) {
    Win32DesktopPlatform platform;
    const std::unique_ptr<HeldDesktop> held = platform.CreateOrOpenDesktop(kDesktop);
    ASSERT_TRUE(held) << "CreateDesktopA failed: " << ::GetLastError();
    // A folder and a file name with blanks: only the quotation marks keep the path whole.
    test::TestFolder folder;
    const std::string spaced = folder.Path() + "\\with blanks";
    ASSERT_TRUE(::CreateDirectoryA(spaced.c_str(), nullptr)) << ::GetLastError();
    const std::string program = spaced + "\\feature windows.exe";
    ASSERT_TRUE(
        ::CopyFileA(BesideThisProgram("feature_windows.exe").c_str(), program.c_str(), FALSE))
        << ::GetLastError();

    const std::string parameters = "probe 60000 -x \"two words\"";
    {
        StartedProcess started(
            StartProgram(platform, Quoted(program) + " " + parameters, kDesktop));
        ASSERT_NE(started.Id(), 0u) << "CreateProcessA failed: " << ::GetLastError();
        const WindowId probe = WaitForProbeOf(kDesktop, started.Id());
        ASSERT_NE(probe, 0u) << "no window of the started program on " << kDesktop;
        EXPECT_EQ(TitleOf(probe), parameters);
        EXPECT_EQ(ProbeOf("Default", started.Id()), 0u);
    }

    for (const std::string& line :
         {Quoted(spaced + "\\missing.exe") + " -x", std::string(), std::string("   ")}) {
        StartedProcess nothing(StartProgram(platform, line, kDesktop));
        EXPECT_EQ(nothing.Id(), 0u) << "[" << line << "]";
    }
}

TEST(Win32StartupUnit, RunStartupProgramsStartsTheListOnTheOwnDesktopSkippingAMissingOne) {
    Win32DesktopPlatform platform;
    ASSERT_EQ(CurrentDesktopName(platform), "Default");
    test::TestFolder folder;
    const std::string program = Quoted(BesideThisProgram("feature_windows.exe"));
    TDesktopConfig config(0);
    config.IsActive = false; // the list of "Default" runs even so
    config.Programs = {program + " probe 60000 first", Quoted(folder.Path() + "\\missing.exe"),
                       program + " probe 60000 third"};
    SaveDesktopConfig(config, folder.Dir());

    const std::size_t probesBefore = WaitForProbes("Default", 0).size();
    RunStartupPrograms(platform, 0, folder.Dir());
    const std::vector<WindowId> probes = WaitForProbes("Default", probesBefore + 2);
    std::vector<std::string> titles;
    std::vector<std::unique_ptr<StartedProcess>> started;
    for (WindowId probe : probes) {
        titles.push_back(TitleOf(probe));
        started.push_back(std::make_unique<StartedProcess>(platform.WindowProcessId(probe)));
    }
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"probe 60000 first", "probe 60000 third"}));
}

} // namespace
} // namespace ombrevane
