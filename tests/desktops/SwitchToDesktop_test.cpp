// The password-gated switch: which desktop a request goes to, when the prompt is asked, and
// that a desktop whose settings cannot be read stays shut.

#include "desktops/tileswitchUtils.h"

#include "config/SettingsFile.h"
#include "config/TestFolder.h"
#include "controller/ControllerWindow.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeWindowStation;

constexpr const char* kExe = "C:\\Apps\\ombrevane.exe";
constexpr const char* kHash = "0cc175b9c0f1b6a831c399e269772661";

// Desktops Default, SecretDesktop##1 and ##2 exist; ##3 opens but refuses the switch. The
// instance under test runs as process 10 on the desktop a test chooses. The
// gate reads the settings of `settings` (unprotected when absent) and the prompt answers
// `accept`, noting what it was asked.
class GateTest : public ::testing::Test {
protected:
    void SetUp() override {
        station.AddDesktop("Default");
        station.AddDesktop("SecretDesktop##1");
        station.AddDesktop("SecretDesktop##2");
        station.AddDesktop("SecretDesktop##3", false, true);
        station.SetInputDesktop("Default");
        // Another instance, which hears of every switch.
        station.AddProcess(11, kExe);
        station.AddWindow("SecretDesktop##1", "TTileSwitchMainForm", 11);
        gate.readSetting = [this](int index) {
            read.push_back(index);
            const auto found = settings.find(index);
            return found == settings.end() ? DesktopPasswordSetting{} : found->second;
        };
        gate.askPassword = [this](const std::string& hash) {
            asked.push_back(hash);
            return accept;
        };
    }

    FakeProcess On(const std::string& desktop) { return FakeProcess(station, 10, kExe, desktop); }

    FakeWindowStation station;
    PasswordGate gate;
    std::map<int, DesktopPasswordSetting> settings;
    bool accept = true;
    std::vector<int> read;
    std::vector<std::string> asked;
};

TEST_F(GateTest, IndexesOutsideZeroToNineGoToDefault) {
    for (const int index : {15, -2, 10, -1}) {
        SCOPED_TRACE(index);
        station.SetInputDesktop("SecretDesktop##1");
        read.clear();
        FakeProcess process = On("SecretDesktop##1");
        EXPECT_EQ(SwitchToDesktop(process, gate, index), kSwitchDone);
        EXPECT_EQ(station.InputDesktop(), "Default");
        // The gate of desktop 0 applies to them.
        EXPECT_EQ(read, std::vector<int>{0});
    }
}

TEST_F(GateTest, TheDesktopsPasswordIsAskedBeforeTheSwitch) {
    struct Case {
        const char* name;
        DesktopPasswordSetting setting;
        bool accept;
        int result;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {"no password", {true, false, kHash}, false, kSwitchDone, {}},
        {"accepted", {true, true, kHash}, true, kSwitchDone, {kHash}},
        {"cancelled", {true, true, kHash}, false, kSwitchNoPassword, {kHash}},
        // The prompt accepts any entry against an empty hash; it is still shown.
        {"empty hash", {true, true, ""}, true, kSwitchDone, {""}},
        // Unknown settings: no prompt that an empty hash would open, no switch.
        {"unreadable", {false, false, ""}, true, kSwitchNoPassword, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        station.SetInputDesktop("Default");
        station.posted.clear();
        asked.clear();
        settings[2] = c.setting;
        accept = c.accept;
        FakeProcess process = On("Default");

        EXPECT_EQ(SwitchToDesktop(process, gate, 2), c.result);

        EXPECT_EQ(asked, c.asked);
        const bool switched = c.result == kSwitchDone;
        EXPECT_EQ(station.InputDesktop(), switched ? "SecretDesktop##2" : "Default");
        EXPECT_EQ(station.posted.empty(), !switched);
        EXPECT_EQ(process.debugLines,
                  c.setting.readable ? std::vector<std::string>{}
                                     : std::vector<std::string>{
                                           "SwitchToDesktop refused: desktop2.ini cannot be read"});
    }
}

TEST_F(GateTest, DefaultHasAGateToo) {
    settings[0] = {true, true, kHash};
    accept = false;
    station.SetInputDesktop("SecretDesktop##1");
    FakeProcess process = On("SecretDesktop##1");
    EXPECT_EQ(SwitchToDesktop(process, gate, 0), kSwitchNoPassword);
    EXPECT_EQ(asked, std::vector<std::string>{kHash});
    EXPECT_EQ(station.InputDesktop(), "SecretDesktop##1");
}

TEST_F(GateTest, NextDesktopCyclesBackToDefault) {
    struct Case {
        const char* from;
        const char* to;
        std::vector<int> read; // the gates passed, in order
    };
    const Case cases[] = {
        {"Default", "SecretDesktop##1", {1}},
        {"SecretDesktop##1", "SecretDesktop##2", {2}},
        {"SecretDesktop##2", "Default", {3, 0}}, // ##3 refuses the switch
        {"SecretDesktop##3", "Default", {4, 0}}, // ##4 was never created
        {"SecretDesktop##9", "Default", {0}},    // 10 is read as 0
        {"Winlogon", "Default", {0}},            // not ours: index -1, next 0
        {"SecretDesktop##2147483647", "Default", {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        station.SetInputDesktop(c.from);
        read.clear();
        FakeProcess process = On(c.from);
        SwitchToNextDesktop(process, gate);
        EXPECT_EQ(station.InputDesktop(), c.to);
        EXPECT_EQ(read, c.read);
    }
}

TEST_F(GateTest, NextDesktopAfterACancelledPromptGoesToDefaultThroughItsOwnGate) {
    settings[2] = {true, true, "hash of desktop 3"};
    settings[0] = {true, true, "hash of desktop 1"};
    accept = false;
    station.SetInputDesktop("SecretDesktop##1");
    FakeProcess process = On("SecretDesktop##1");

    SwitchToNextDesktop(process, gate);

    EXPECT_EQ(asked, (std::vector<std::string>{"hash of desktop 3", "hash of desktop 1"}));
    EXPECT_EQ(station.InputDesktop(), "SecretDesktop##1");

    // Desktop 1's password given: the cycle ends there.
    asked.clear();
    gate.askPassword = [this](const std::string& hash) {
        asked.push_back(hash);
        return hash == "hash of desktop 1";
    };
    SwitchToNextDesktop(process, gate);
    EXPECT_EQ(asked, (std::vector<std::string>{"hash of desktop 3", "hash of desktop 1"}));
    EXPECT_EQ(station.InputDesktop(), "Default");
}

TEST(ReadDesktopPasswordSetting, ReadsTheOptionAndHashOfTheDesktopsFile) {
    test::TestFolder folder;
    test::WriteRaw(folder.Dir() + "desktop2.ini",
                   std::string("[General]\r\nPasswordEnable=1\r\nPassword=") + kHash + "\r\n");
    test::WriteRaw(folder.Dir() + "desktop3.ini", "[General]\r\nPassword=abc\r\n");
    // Protected, but too many lines to be read: must not pass for a missing file.
    test::WriteRaw(folder.Dir() + "desktop1.ini",
                   "[General]\r\nPasswordEnable=1\r\n" +
                       std::string(kMaxSettingsFileLines, '\n'));
    struct Case {
        int index;
        bool readable;
        bool enabled;
        std::string hash;
    };
    const Case cases[] = {
        {2, true, true, kHash},
        {3, true, false, "abc"},
        {4, true, false, ""}, // a missing file is unprotected
        {1, false, false, ""},
    };
    for (const Case& c : cases) {
        const DesktopPasswordSetting setting = ReadDesktopPasswordSetting(c.index, folder.Dir());
        EXPECT_EQ(setting.readable, c.readable) << c.index;
        EXPECT_EQ(setting.enabled, c.enabled) << c.index;
        EXPECT_EQ(setting.hash, c.hash) << c.index;
    }
}

} // namespace
} // namespace ombrevane
