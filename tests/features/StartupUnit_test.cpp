// Startup programs over a simulated window station and settings files in a test folder.

#include "features/StartupUnit.h"

#include "config/ConfigUnit.h"
#include "config/TestFolder.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrevane {
namespace {

class StartupUnitTest : public ::testing::Test {
protected:
    StartupUnitTest() {
        station.AddDesktop("Default");
        station.AddDesktop("SecretDesktop##1");
    }
    void WriteDesktop(std::int32_t index, bool active, std::vector<std::string> programs) {
        TDesktopConfig config(index);
        config.IsActive = active;
        config.Programs = std::move(programs);
        SaveDesktopConfig(config, folder.Dir());
    }
    std::vector<std::string> LaunchedCommandLines() const {
        std::vector<std::string> lines;
        for (const ProcessLaunch& launch : station.launches) {
            lines.push_back(launch.commandLine);
        }
        return lines;
    }

    test::TestFolder folder;
    fake::FakeWindowStation station;
    fake::FakeProcess onDefault{station, 100, "C:\\Ombrevane\\bin\\ombrevane.exe", "Default"};
    fake::FakeProcess onSecond{station, 101, "C:\\Ombrevane\\bin\\ombrevane.exe",
                               "SecretDesktop##1"};
};

TEST_F(StartupUnitTest, AMissingSecondProgramLeavesTheFirstAndThirdStarted) {
    const std::vector<std::string> programs = {
        "\"D:\\Tools\\first.exe\" -a", "\"D:\\Tools\\missing.exe\"", "D:\\Tools\\third.exe"};
    station.missingPrograms = {"D:\\Tools\\missing.exe"};
    WriteDesktop(1, true, programs);

    RunStartupPrograms(onSecond, 1, folder.Dir());

    ASSERT_EQ(station.launches.size(), 3u);
    for (const ProcessLaunch& launch : station.launches) {
        // The command line alone names the program; the instance's desktop and folder hold.
        EXPECT_EQ(launch.imagePath, "");
        EXPECT_EQ(launch.desktop, "");
        EXPECT_EQ(launch.workingDirectory, "");
    }
    // The quoted entry is stored without its outer quotation marks only when it has no
    // parameters.
    EXPECT_EQ(LaunchedCommandLines(),
              (std::vector<std::string>{programs[0], "D:\\Tools\\missing.exe", programs[2]}));
    ASSERT_EQ(station.processes.size(), 2u);
    EXPECT_EQ(station.processes[0].imagePath, "D:\\Tools\\first.exe");
    EXPECT_EQ(station.processes[0].commandLine, "\"D:\\Tools\\first.exe\" -a");
    EXPECT_EQ(station.processes[1].imagePath, "D:\\Tools\\third.exe");
    for (const fake::FakeProcessInfo& started : station.processes) {
        EXPECT_EQ(started.desktop, "SecretDesktop##1");
    }
}

TEST_F(StartupUnitTest, TheDefaultDesktopRunsItsListEvenWhenInactive) {
    WriteDesktop(0, false, {"C:\\Tools\\clock.exe"});
    RunStartupPrograms(onDefault, 0, folder.Dir());
    ASSERT_EQ(station.processes.size(), 1u);
    EXPECT_EQ(station.processes[0].imagePath, "C:\\Tools\\clock.exe");
    EXPECT_EQ(station.processes[0].desktop, "Default");
}

TEST_F(StartupUnitTest, ListsThatStartNothing) {
    WriteDesktop(2, true, {});
    WriteDesktop(3, true, {"C:\\Tools\\clock.exe"});
    // desktop2.ini with an empty list; desktop7.ini and desktop-1.ini do not exist.
    for (std::int32_t index : {2, 7, -1}) {
        RunStartupPrograms(onSecond, index, folder.Dir());
        EXPECT_TRUE(station.launches.empty()) << index;
    }
}

TEST_F(StartupUnitTest, EntriesGoToTheSystemUnchangedAndAnEmptyOneIsSkipped) {
    // "count" 3 with Item1 absent gives an empty entry.
    test::WriteRaw(folder.Dir() + "desktop1.ini",
                   "[ProgramList]\r\ncount=3\r\nItem0=\"D:\\Tools\\app.exe\" -x\r\n"
                   "Item2=D:\\Tools\\plain.exe  --two  blanks\r\n");
    RunStartupPrograms(onSecond, 1, folder.Dir());
    EXPECT_EQ(LaunchedCommandLines(),
              (std::vector<std::string>{"\"D:\\Tools\\app.exe\" -x", "",
                                        "D:\\Tools\\plain.exe  --two  blanks"}));
    ASSERT_EQ(station.processes.size(), 2u);
    EXPECT_EQ(station.processes[0].imagePath, "D:\\Tools\\app.exe");
    EXPECT_EQ(station.processes[1].imagePath, "D:\\Tools\\plain.exe");
}

TEST_F(StartupUnitTest, StartProgramOnANamedDesktop) {
    const std::uint32_t id =
        StartProgram(onDefault, "\"C:\\Tools\\app.exe\" -x", "SecretDesktop##1");
    ASSERT_NE(id, 0u);
    ASSERT_EQ(station.processes.size(), 1u);
    EXPECT_EQ(station.processes[0].id, id);
    EXPECT_EQ(station.processes[0].desktop, "SecretDesktop##1");
    EXPECT_EQ(station.launches[0].desktop, "SecretDesktop##1");

    EXPECT_EQ(StartProgram(onDefault, "C:\\Tools\\app.exe", "SecretDesktop##9"), 0u);
    const std::uint32_t here = StartProgram(onDefault, "C:\\Tools\\app.exe");
    EXPECT_EQ(here, station.processes.back().id);
    EXPECT_EQ(station.processes.back().desktop, "Default");
}

} // namespace
} // namespace ombrevane
