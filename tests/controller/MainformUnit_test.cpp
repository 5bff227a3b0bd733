#include "controller/MainformUnit.h"

#include "ControllerFakes.h"
#include "controller/ControllerWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeWindowStation;
using fake::PostedMessage;
using test::Instance;
using test::TestFolder;
using test::WriteRaw;

constexpr const char* kExe = "C:\\Ombrevane\\bin\\ombrevane.exe";
constexpr const char* kHash = "0cc175b9c0f1b6a831c399e269772661";

// Instances on Default (pid 10), SecretDesktop##1 (11) and SecretDesktop##2 (12); the form
// under test is the one of the instance on `desktop`.
class MainformTest : public ::testing::Test {
protected:
    void Start(const std::string& desktop, std::uint32_t processId) {
        const char* desktops[] = {"Default", "SecretDesktop##1", "SecretDesktop##2"};
        for (std::uint32_t i = 0; i < 3; ++i) {
            station.AddDesktop(desktops[i]);
            station.AddProcess(10 + i, kExe);
            controllers.push_back(station.AddWindow(desktops[i], "TTileSwitchMainForm", 10 + i));
        }
        station.SetInputDesktop("Default");
        instance = std::make_unique<Instance>(station, processId, desktop, folder.Dir(), kExe);
        form = &instance->form;
        process = &instance->process;
    }

    // The common settings file, section "tileswitch", with these lines.
    void WriteCommon(const std::string& lines) {
        WriteRaw(folder.Dir() + "tileswitch.ini", "[tileswitch]\r\n" + lines);
    }
    void ProtectDesktop(int index, const std::string& hash) {
        WriteRaw(folder.Dir() + "desktop" + std::to_string(index) + ".ini",
                 "[General]\r\nactive=1\r\nPasswordEnable=1\r\nPassword=" + hash + "\r\n");
    }

    std::vector<std::uint32_t> PostedTo(WindowId window) const {
        std::vector<std::uint32_t> messages;
        for (const PostedMessage& posted : station.posted) {
            if (posted.window == window) {
                messages.push_back(posted.message);
            }
        }
        return messages;
    }
    int Terminated() const {
        const auto& calls = instance->host.calls;
        return static_cast<int>(std::count(calls.begin(), calls.end(), "terminate"));
    }
    // The calls of the log from the first one equal to `from` on.
    std::vector<std::string> LogFrom(const std::string& from) const {
        const auto& log = instance->log;
        return {std::find(log.begin(), log.end(), from), log.end()};
    }

    TestFolder folder;
    FakeWindowStation station;
    std::vector<WindowId> controllers;
    std::unique_ptr<Instance> instance;
    TTileSwitchMainForm* form = nullptr;
    fake::FakeProcess* process = nullptr;
};

TEST_F(MainformTest, CreationSaysWhereTheInstanceRuns) {
    Start("SecretDesktop##2", 12);
    form->FormCreate();
    EXPECT_EQ(process->debugLines,
              (std::vector<std::string>{"Ombrevane started on desktop SecretDesktop##2 index 2"}));
}

TEST(MainformCreateTest, PaintsTheDesktopNumberHidesTheFormAndSaysStarted) {
    struct Case {
        const char* desktop;
        const char* text;
    };
    // A desktop that is not one of ours shows "0".
    const Case cases[] = {
        {"Default", "text 1"}, {"SecretDesktop##2", "text 3"}, {"Winlogon", "text 0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktop);
        TestFolder folder;
        FakeWindowStation station;
        station.AddDesktop(c.desktop);
        station.AddProcess(10, kExe);
        Instance instance(station, 10, c.desktop, folder.Dir(), kExe);
        instance.form.FormCreate();
        EXPECT_EQ(instance.trayIcon.calls,
                  (std::vector<std::string>{c.text, "to tray", "balloon Ombrevane|Started|1|10"}));
    }
}

TEST(MainformCreateTest, RunsItsStepsInOrder) {
    const std::vector<std::string> head = {"start Timer 1000", "left 10000"};
    const std::vector<std::string> tray = {"to tray", "balloon Ombrevane|Started|1|10"};
    // Alt+Shift+S, Alt+Shift+X and Alt+Shift+A.
    const std::vector<std::string> settings = {"EnableLRMouseButton 1", "SetHotKey 0 83 5",
                                               "SetHotKey 1 88 5", "SetHotKey 2 65 5"};
    struct Case {
        const char* desktop;
        std::vector<std::string> steps;
    };
    auto join = [](std::vector<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    };
    const Case cases[] = {
        {"Default",
         join({head,
               {"text 1"},
               tray,
               {"Initial", "SetKeyboard -1", "SetMouse -1"},
               settings,
               {"resolution 0", "menu", "start TimerCreatorFree 10000", "create desktops",
                "hide application", "startup 0", "post 2241", "hook"}})},
        {"SecretDesktop##2",
         join({head,
               {"text 3"},
               tray,
               {"SetKeyboard -1", "SetMouse -1"},
               settings,
               {"resolution 2", "menu", "hide application", "startup 2", "hook"}})},
        // Not one of ours: no startup programs.
        {"Winlogon", join({head,
                           {"text 0"},
                           tray,
                           {"SetKeyboard -1", "SetMouse -1"},
                           settings,
                           {"resolution -1", "menu", "hide application", "hook"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktop);
        TestFolder folder;
        FakeWindowStation station;
        station.AddDesktop(c.desktop);
        Instance instance(station, 10, c.desktop, folder.Dir(), kExe);
        instance.form.FormCreate();
        EXPECT_EQ(instance.log, c.steps);
        // Registered for the start with Windows; the default desktops' files are there.
        EXPECT_EQ(instance.registry.Value("Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                          "Ombrevane"),
                  "\"" + std::string(kExe) + "\" -min");
        EXPECT_TRUE(FileExists(folder.Dir() + "desktop2.ini"));
    }
}

TEST(MainformCreateTest, WatchingAlreadyOnIsLeftAloneAndTipsFollowTheSetting) {
    TestFolder folder;
    WriteRaw(folder.Dir() + "tileswitch.ini", "[tileswitch]\r\nCheckBoxShowTips_Checked=0\r\n");
    FakeWindowStation station;
    station.AddDesktop("Default");
    Instance instance(station, 10, "Default", folder.Dir(), kExe);
    instance.inputLock.keyboard = true;
    instance.inputLock.mouse = true;
    instance.form.FormCreate();
    EXPECT_EQ(instance.inputLock.calls,
              (std::vector<std::string>{"Initial", "EnableLRMouseButton 1", "SetHotKey 0 83 5",
                                        "SetHotKey 1 88 5", "SetHotKey 2 65 5"}));
    EXPECT_EQ(std::count(instance.host.calls.begin(), instance.host.calls.end(), "post 2241"), 0);
}

TEST(MainformCreateTest, RegistrationFailuresAreReportedAndTheInstanceStartsAllTheSame) {
    TestFolder folder;
    // The settings folder is a file: no desktop file can be written.
    WriteRaw(folder.Dir() + "config", "not a folder");
    const std::string configDir = folder.Dir() + "config\\";
    FakeWindowStation station;
    station.AddDesktop("SecretDesktop##1");
    Instance instance(station, 10, "SecretDesktop##1", configDir, kExe);
    instance.registry.refuseWrites = true;

    ::testing::internal::CaptureStderr();
    instance.form.FormCreate();
    const std::string report = ::testing::internal::GetCapturedStderr();

    EXPECT_NE(report.find("error: "), std::string::npos) << report;
    EXPECT_EQ(instance.process.debugLines,
              (std::vector<std::string>{"Ombrevane started on desktop SecretDesktop##1 index 1"}));
    EXPECT_EQ(instance.log.back(), "hook");

    // A refusing registry alone is a debug line.
    TestFolder writable;
    Instance second(station, 11, "SecretDesktop##1", writable.Dir(), kExe);
    second.registry.refuseWrites = true;
    second.form.FormCreate();
    EXPECT_EQ(second.process.debugLines.front(),
              "RegisterOnFirstRun: the registry refused the entry");
}

TEST_F(MainformTest, SettingsAreAppliedAgainOnReload) {
    Start("Default", 10);
    form->FormCreate();
    instance->trayIcon.SetIconVisible(false); // hidden by the hot key
    WriteCommon("CheckBoxMouseLRPress_Checked=0\r\nHotKeyNextDesktop_HotKey=24625\r\n"
                "CheckBoxHideTrayIcon_Checked=0\r\n");
    instance->log.clear();

    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_RELOAD, 0, 0));

    // Ctrl+Shift+1; the creator timer runs already and keeps its count; the hidden icon
    // stays hidden.
    EXPECT_EQ(instance->log,
              (std::vector<std::string>{"EnableLRMouseButton 0", "SetHotKey 0 49 6",
                                        "SetHotKey 1 88 5", "SetHotKey 2 65 5", "resolution 0",
                                        "menu", "create desktops", "hide application"}));

    WriteCommon("CheckBoxHideTrayIcon_Checked=1\r\n");
    instance->trayIcon.SetIconVisible(true);
    instance->log.clear();
    form->ApplySettings();
    EXPECT_EQ(instance->log[0], "hide");
}

TEST_F(MainformTest, CreatorsAreFreedTenSecondsAfterTheFirstRound) {
    Start("Default", 10);
    form->FormCreate();
    instance->timers.Advance(4000);
    form->ApplySettings(); // a second round before the first was freed
    instance->log.clear();

    instance->timers.Advance(5999);
    EXPECT_TRUE(instance->creation.calls == std::vector<std::string>(2, "create desktops"));
    instance->timers.Advance(1);
    EXPECT_EQ(instance->creation.calls.back(), "free creators");
    EXPECT_FALSE(instance->timers.IsRunning(ControllerTimer::TimerCreatorFree));
    instance->timers.Advance(20000);
    EXPECT_EQ(std::count(instance->creation.calls.begin(), instance->creation.calls.end(),
                         "free creators"),
              1);
}

TEST_F(MainformTest, QuitEndsThisInstanceOnly) {
    Start("SecretDesktop##1", 11);
    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_QUIT, 0, 0));
    EXPECT_EQ(Terminated(), 1);
    EXPECT_TRUE(station.posted.empty());
    EXPECT_EQ(station.InputDesktop(), "Default");
}

TEST_F(MainformTest, DigitKeysCountOnlyWithTheChosenModifier) {
    struct Case {
        const char* chosen;
        std::intptr_t lParam;
        bool switches;
    };
    const Case cases[] = {
        {"RadioButtonAlt_Checked=1", 0, true},    {"RadioButtonAlt_Checked=1", 1, false},
        {"RadioButtonAlt_Checked=1", 2, false},   {"RadioButtonCtrl_Checked=1", 0, false},
        {"RadioButtonCtrl_Checked=1", 1, true},   {"RadioButtonShift_Checked=1", 2, true},
        {"RadioButtonShift_Checked=1", 1, false}, {"RadioButtonCtrl_Checked=1", 7, true},
        {"RadioButtonCtrl_Checked=1", -1, true},
    };
    Start("Default", 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.chosen) + " lParam " + std::to_string(c.lParam));
        const bool alt = std::string(c.chosen).find("Alt") != std::string::npos;
        WriteCommon(std::string(c.chosen) + "\r\n" + (alt ? "" : "RadioButtonAlt_Checked=0\r\n"));
        form->ApplySettings();
        station.SetInputDesktop("Default");
        station.posted.clear();

        EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_DLL_DESKTOPKEY, 2, c.lParam));

        EXPECT_EQ(station.InputDesktop(), c.switches ? "SecretDesktop##2" : "Default");
        EXPECT_EQ(PostedTo(controllers[2]).size(), c.switches ? 1u : 0u);
    }
}

TEST_F(MainformTest, DigitKeyOfTheOwnDesktopDoesNothing) {
    ProtectDesktop(1, kHash);
    Start("SecretDesktop##1", 11);
    station.SetInputDesktop("SecretDesktop##1");
    form->HandleInternalMessage(WM_INTERNAL_DLL_DESKTOPKEY, 1, 0);
    EXPECT_TRUE(instance->dialogs.calls.empty());
    EXPECT_TRUE(station.posted.empty());
    EXPECT_TRUE(station.openAttempts.empty());
}

TEST_F(MainformTest, ADigitKeyWhileAPromptIsOpenIsIgnoredAndTheNextOneIsHandled) {
    ProtectDesktop(2, kHash);
    Start("Default", 10);
    int nested = 0;
    instance->dialogs.answer = [&](const std::string&) {
        // The prompt's message loop delivers another digit key.
        ++nested;
        form->HandleInternalMessage(WM_INTERNAL_DLL_DESKTOPKEY, 1, 0);
        return false; // cancelled
    };
    form->HandleInternalMessage(WM_INTERNAL_DLL_DESKTOPKEY, 2, 0);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(instance->dialogs.calls, std::vector<std::string>{"password " + std::string(kHash)});
    EXPECT_EQ(station.InputDesktop(), "Default");

    form->HandleInternalMessage(WM_INTERNAL_DLL_DESKTOPKEY, 1, 0);
    EXPECT_EQ(station.InputDesktop(), "SecretDesktop##1");
}

TEST_F(MainformTest, ADigitKeyWhosePromptFailsLeavesNoSwitchInProgress) {
    ProtectDesktop(2, kHash);
    Start("Default", 10);
    instance->dialogs.answer = [](const std::string&) -> bool {
        throw std::runtime_error("no prompt");
    };
    EXPECT_THROW(form->HandleInternalMessage(WM_INTERNAL_DLL_DESKTOPKEY, 2, 0), std::runtime_error);
    form->HandleInternalMessage(WM_INTERNAL_DLL_DESKTOPKEY, 1, 0);
    EXPECT_EQ(station.InputDesktop(), "SecretDesktop##1");
}

struct MouseCase {
    const char* name;
    const char* desktop;
    std::uint32_t processId;
    std::string settings;
    bool restoreRunning;
    bool protectDefault;
    std::vector<std::string> calls; // of the input lock, the tray icon and the prompt
    const char* input;              // afterwards; the input desktop is the instance's own
};

void PrintTo(const MouseCase& c, std::ostream* os) {
    *os << c.name;
}

class MouseTest : public MainformTest, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(MouseTest, BothButtonsRestoreToggleOrGoToTheFirstDesktop) {
    const MouseCase& c = GetParam();
    if (c.protectDefault) {
        ProtectDesktop(0, kHash);
    }
    WriteCommon(c.settings);
    Start(c.desktop, c.processId);
    station.SetInputDesktop(c.desktop);
    form->ApplySettings();
    if (c.restoreRunning) {
        WriteCommon("CheckBoxAutoHideTrayIcon_Checked=1\r\n");
        form->ApplySettings();
        form->HandleInternalMessage(WM_INTERNAL_DLL_LOCKHOTKEY, 0, 0);
        WriteCommon(c.settings);
        form->ApplySettings();
    }
    instance->inputLock.calls.clear();
    instance->trayIcon.calls.clear();
    instance->dialogs.calls.clear();

    form->HandleInternalMessage(WM_INTERNAL_DLL_MOUSELR, 0, 0);

    std::vector<std::string> calls = instance->inputLock.calls;
    calls.insert(calls.end(), instance->trayIcon.calls.begin(), instance->trayIcon.calls.end());
    calls.insert(calls.end(), instance->dialogs.calls.begin(), instance->dialogs.calls.end());
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(station.InputDesktop(), c.input);
    if (c.restoreRunning) {
        EXPECT_FALSE(form->Timers().Enabled(ControllerTimer::TimerRestore));
        EXPECT_FALSE(instance->timers.IsRunning(ControllerTimer::TimerRestore));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Situations, MouseTest,
    ::testing::Values(
        // A running suspension ends at once, whatever the option says.
        MouseCase{"restore on Default",
                  "Default",
                  10,
                  "",
                  true,
                  false,
                  {"LockShortcutKey 0", "show"},
                  "Default"},
        MouseCase{"restore on a created desktop",
                  "SecretDesktop##1",
                  11,
                  "CheckBoxMouseLRPress_Checked=1\r\n",
                  true,
                  false,
                  {"LockShortcutKey 0", "show"},
                  "SecretDesktop##1"},
        MouseCase{"Default toggles the suspension",
                  "Default",
                  10,
                  "CheckBoxAutoHideTrayIcon_Checked=1\r\n",
                  false,
                  false,
                  {"LockShortcutKey 1"},
                  "Default"},
        MouseCase{"Default without the option", "Default", 10, "", false, false, {}, "Default"},
        MouseCase{"created desktop without the option",
                  "SecretDesktop##1",
                  11,
                  "CheckBoxMouseLRPress_Checked=0\r\n",
                  false,
                  false,
                  {},
                  "SecretDesktop##1"},
        MouseCase{"created desktop goes to the first",
                  "SecretDesktop##2",
                  12,
                  "CheckBoxMouseLRPress_Checked=1\r\n",
                  false,
                  false,
                  {},
                  "Default"},
        MouseCase{"through the first desktop's password",
                  "SecretDesktop##2",
                  12,
                  "CheckBoxMouseLRPress_Checked=1\r\n",
                  false,
                  true,
                  {"password " + std::string(kHash)},
                  "Default"}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        name.erase(std::remove(name.begin(), name.end(), '\''), name.end());
        return name;
    });

TEST_F(MainformTest, TheSuspensionToggleFollowsTheLibrarysState) {
    WriteCommon("CheckBoxAutoHideTrayIcon_Checked=1\r\n");
    Start("Default", 10);
    form->ApplySettings();
    instance->inputLock.calls.clear();
    form->HandleInternalMessage(WM_INTERNAL_DLL_MOUSELR, 0, 0);
    form->HandleInternalMessage(WM_INTERNAL_DLL_MOUSELR, 0, 0);
    EXPECT_EQ(instance->inputLock.calls,
              (std::vector<std::string>{"LockShortcutKey 1", "LockShortcutKey 0"}));
}

TEST_F(MainformTest, BothButtonsOnACreatedDesktopReadTheSettingsAfresh) {
    WriteCommon("CheckBoxMouseLRPress_Checked=0\r\n");
    Start("SecretDesktop##1", 11);
    station.SetInputDesktop("SecretDesktop##1");
    form->ApplySettings();
    WriteCommon("CheckBoxMouseLRPress_Checked=1\r\n"); // saved by the options dialog meanwhile
    form->HandleInternalMessage(WM_INTERNAL_DLL_MOUSELR, 0, 0);
    EXPECT_EQ(station.InputDesktop(), "Default");
}

TEST_F(MainformTest, ASuspensionLastsTheRestoreTimeAndASecondRequestDoesNotProlongIt) {
    // Restore time list position 0: 60 seconds.
    WriteCommon("CheckBoxAutoHideTrayIcon_Checked=1\r\nComboBoxRestoreTime_ItemIndex=0\r\n");
    Start("Default", 10);
    form->FormCreate();
    instance->trayIcon.SetIconVisible(false); // hidden before the suspension began
    instance->log.clear();

    form->HandleInternalMessage(WM_INTERNAL_DLL_LOCKHOTKEY, 0, 0);
    EXPECT_EQ(instance->log,
              (std::vector<std::string>{"LockShortcutKey 1", "to tray", "start TimerRestore 10000",
                                        "start TimerRestore 60000"}));
    instance->timers.Advance(30000);
    instance->log.clear();
    form->HandleInternalMessage(WM_INTERNAL_DLL_LOCKHOTKEY, 0, 0);
    EXPECT_EQ(instance->log, (std::vector<std::string>{"LockShortcutKey 1", "to tray"}));

    instance->timers.Advance(29999);
    EXPECT_TRUE(instance->inputLock.locked);
    instance->timers.Advance(1);
    EXPECT_FALSE(instance->inputLock.locked);
    EXPECT_TRUE(instance->trayIcon.IconVisible());
    EXPECT_FALSE(instance->timers.IsRunning(ControllerTimer::TimerRestore));
}

TEST_F(MainformTest, ALongPressWithoutTheSuspensionOptionStillGoesToTheFirstDesktop) {
    WriteCommon("CheckBoxAutoHideTrayIcon_Checked=0\r\nCheckBoxMouseLRPress_Checked=1\r\n");
    Start("SecretDesktop##2", 12);
    station.SetInputDesktop("SecretDesktop##2");
    form->ApplySettings();
    instance->log.clear();

    form->HandleInternalMessage(WM_INTERNAL_DLL_LOCKHOTKEY, 0, 0);

    EXPECT_EQ(station.InputDesktop(), "Default");
    EXPECT_FALSE(instance->inputLock.locked);
    EXPECT_FALSE(form->Timers().Enabled(ControllerTimer::TimerRestore));
}

TEST_F(MainformTest, HotKeysWithinTheDelayActOnce) {
    Start("Default", 10);
    form->FormCreate();
    auto switches = [&] { return PostedTo(controllers[2]).size(); };

    form->HandleInternalMessage(WM_INTERNAL_DLL_HOTKEY, HT_NEXT_DESKTOP, 0);
    EXPECT_EQ(station.InputDesktop(), "SecretDesktop##1");
    EXPECT_EQ(switches(), 1u);
    instance->timers.Advance(600);
    form->HandleInternalMessage(WM_INTERNAL_DLL_HOTKEY, HT_NEXT_DESKTOP, 0);
    EXPECT_EQ(switches(), 1u);

    // The delay counts from the first press; afterwards the next press acts.
    instance->timers.Advance(400);
    EXPECT_FALSE(instance->timers.IsRunning(ControllerTimer::TimerHotkeyDelay));
    form->HandleInternalMessage(WM_INTERNAL_DLL_HOTKEY, HT_NEXT_DESKTOP, 0);
    EXPECT_EQ(switches(), 2u);
}

TEST_F(MainformTest, HotKeySlotsOpenTheOptionsOrShowAndHideTheTrayIcon) {
    WriteCommon("HotKeyHideTrayIcon_HotKey=24641\r\n");
    Start("SecretDesktop##1", 11);
    form->FormCreate();
    struct Case {
        std::uintptr_t slot;
        std::vector<std::string> calls; // of the dialogs and the tray icon
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {HT_SHOW_OPTIONS, {"options"}, {}},
        {HT_HIDE_TRAYICON, {"hide"}, {"Msg.WParam = HT_HIDE_TRAYICON24641"}},
        {HT_HIDE_TRAYICON, {"show"}, {"Msg.WParam = HT_HIDE_TRAYICON24641"}},
        {7, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        instance->dialogs.calls.clear();
        instance->trayIcon.calls.clear();
        process->debugLines.clear();
        form->HandleInternalMessage(WM_INTERNAL_DLL_HOTKEY, c.slot, 0);
        std::vector<std::string> calls = instance->dialogs.calls;
        calls.insert(calls.end(), instance->trayIcon.calls.begin(), instance->trayIcon.calls.end());
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(process->debugLines, c.lines);
        // Each press, the unknown slot too, holds the hot keys for the delay.
        EXPECT_TRUE(instance->timers.IsRunning(ControllerTimer::TimerHotkeyDelay));
        form->HandleInternalMessage(WM_INTERNAL_DLL_HOTKEY, HT_SHOW_OPTIONS, 0);
        EXPECT_EQ(
            std::count(instance->dialogs.calls.begin(), instance->dialogs.calls.end(), "options"),
            c.slot == HT_SHOW_OPTIONS ? 1 : 0);
        instance->timers.Advance(1000);
    }
}

TEST_F(MainformTest, AHotKeyThatFailsStillEndsItsDelay) {
    Start("Default", 10);
    form->FormCreate();
    instance->dialogs.onOptions = [] { throw std::runtime_error("options failed"); };
    EXPECT_THROW(form->HandleInternalMessage(WM_INTERNAL_DLL_HOTKEY, HT_SHOW_OPTIONS, 0),
                 std::runtime_error);
    instance->dialogs.onOptions = [] {};
    instance->timers.Advance(1000);
    form->HandleInternalMessage(WM_INTERNAL_DLL_HOTKEY, HT_NEXT_DESKTOP, 0);
    EXPECT_EQ(station.InputDesktop(), "SecretDesktop##1");
}

TEST_F(MainformTest, SwitchIsLoggedAndRecognisedOnItsDesktop) {
    struct Case {
        std::uintptr_t wParam;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {2,
         {"receive WM_INTERNAL_SWITCH wParam is 2,CurrentIndex 2",
          "WM_INTERNAL_SWITCH this desktop"}},
        {0, {"receive WM_INTERNAL_SWITCH wParam is 0,CurrentIndex 2"}},
        {static_cast<std::uintptr_t>(-1),
         {"receive WM_INTERNAL_SWITCH wParam is -1,CurrentIndex 2"}},
    };
    Start("SecretDesktop##2", 12);
    for (const Case& c : cases) {
        process->debugLines.clear();
        EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_SWITCH, c.wParam, 0));
        EXPECT_EQ(process->debugLines, c.lines);
    }
    EXPECT_TRUE(station.posted.empty());
    EXPECT_EQ(Terminated(), 0);
}

TEST(MainformSwitchTest, OnlyTheNamedDesktopsInstanceAppliesItsModeAndShowsItsNumber) {
    TestFolder folder;
    FakeWindowStation station;
    const char* desktops[] = {"Default", "SecretDesktop##1", "SecretDesktop##2"};
    std::vector<std::unique_ptr<Instance>> instances;
    for (std::uint32_t i = 0; i < 3; ++i) {
        station.AddDesktop(desktops[i]);
        instances.push_back(
            std::make_unique<Instance>(station, 10 + i, desktops[i], folder.Dir(), kExe));
    }
    for (auto& instance : instances) {
        EXPECT_TRUE(instance->form.HandleInternalMessage(WM_INTERNAL_SWITCH, 2, 0));
    }
    for (std::uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(desktops[i]);
        const bool named = i == 2;
        EXPECT_EQ(instances[i]->features.calls,
                  named ? std::vector<std::string>{"resolution 2"} : std::vector<std::string>{});
        EXPECT_EQ(instances[i]->trayIcon.calls,
                  named ? std::vector<std::string>{"balloon Ombrevane|Desktop 3|1|10"}
                        : std::vector<std::string>{});
        EXPECT_EQ(instances[i]->process.debugLines.front(),
                  "receive WM_INTERNAL_SWITCH wParam is 2,CurrentIndex " + std::to_string(i));
    }

    // Without balloon hints the mode is still applied.
    WriteRaw(folder.Dir() + "tileswitch.ini",
             "[tileswitch]\r\nCheckBoxShowBalloonhint_Checked=0\r\n");
    Instance& named = *instances[2];
    named.form.ApplySettings();
    named.log.clear();
    named.form.HandleInternalMessage(WM_INTERNAL_SWITCH, 2, 0);
    EXPECT_EQ(named.log, std::vector<std::string>{"resolution 2"});
}

TEST_F(MainformTest, LibrarySwitchIsAnnouncedToEveryInstanceItselfIncluded) {
    Start("SecretDesktop##1", 11);
    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_DLL_SWITCH, 2, 0));
    ASSERT_EQ(station.posted.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(station.posted[i].window, controllers[i]);
        EXPECT_EQ(station.posted[i].message, WM_INTERNAL_SWITCH);
        EXPECT_EQ(station.posted[i].wParam, 2u);
    }
    EXPECT_EQ(process->debugLines,
              (std::vector<std::string>{"receive WM_INTERNAL_DLL_SWITCH wParam is 2,index is 1"}));
}

struct ExitCase {
    const char* desktop;
    std::uint32_t processId;
    const char* input;
    bool switchesBack;
};

class ExitTest : public MainformTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitTest, EndsEveryInstanceAndLeavesTheUserOnDefault) {
    const ExitCase& c = GetParam();
    Start(c.desktop, c.processId);
    form->FormCreate();
    station.SetInputDesktop(c.input);
    std::string inputAtEnd;
    instance->host.onTerminate = [&] { inputAtEnd = station.InputDesktop(); };

    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_EXITALL, 0, 0));

    EXPECT_EQ(Terminated(), 1);
    // The switch comes before the end.
    EXPECT_EQ(inputAtEnd, c.switchesBack ? "Default" : c.input);
    EXPECT_FALSE(instance->timers.IsRunning(ControllerTimer::Timer));
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        const std::vector<std::uint32_t> received = PostedTo(controllers[i]);
        if (10 + i == c.processId) {
            EXPECT_TRUE(received.empty());
            continue;
        }
        std::vector<std::uint32_t> expected{WM_INTERNAL_QUIT};
        if (c.switchesBack) {
            expected.push_back(WM_INTERNAL_SWITCH);
        }
        EXPECT_EQ(received, expected) << "instance " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, ExitTest,
    ::testing::Values(ExitCase{"SecretDesktop##1", 11, "SecretDesktop##1", true},
                      // Not the visible desktop: no switch.
                      ExitCase{"SecretDesktop##1", 11, "SecretDesktop##2", false},
                      ExitCase{"Default", 10, "Default", false}));

TEST_F(MainformTest, ExitAsksForNoPassword) {
    ProtectDesktop(0, kHash);
    Start("SecretDesktop##1", 11);
    station.SetInputDesktop("SecretDesktop##1");
    form->ButtonExitClick();
    EXPECT_EQ(station.InputDesktop(), "Default");
    EXPECT_TRUE(instance->dialogs.calls.empty());
}

TEST_F(MainformTest, CloseRequestsAreRefusedAndOtherMessagesLeftAlone) {
    Start("Default", 10);
    EXPECT_FALSE(form->FormClose());
    EXPECT_FALSE(form->HandleInternalMessage(0x0010, 0, 0)); // WM_CLOSE is the window's
    EXPECT_FALSE(form->HandleInternalMessage(2234, 0, 0));   // unused numbers
    EXPECT_FALSE(form->HandleInternalMessage(2236, 0, 0));
    EXPECT_FALSE(form->HandleInternalMessage(2239, 0, 0));
    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_DLL_NOTHING, 0, 0));
    EXPECT_EQ(Terminated(), 0);
    EXPECT_TRUE(station.posted.empty());
    // The refused close minimises the application's window, which the hook hides again.
    EXPECT_EQ(instance->host.calls, std::vector<std::string>{"syscommand 61472"});
}

TEST_F(MainformTest, TheTipOfTheDayIsShownOnRequest) {
    Start("Default", 10);
    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_SHOWTIPS, 0, 0));
    EXPECT_EQ(instance->dialogs.calls, std::vector<std::string>{"tip"});
}

TEST_F(MainformTest, MinimiseAndRestoreOfTheApplicationHideEverythingWhileHooked) {
    struct Case {
        std::uint32_t command;
        bool hides;
    };
    const Case cases[] = {
        {0xF020, true},  // minimise
        {0xF120, true},  // restore
        {0xF122, true},  // restore, with the system's own low bits
        {0xF030, false}, // maximise
        {0xF060, false}, // close
    };
    Start("SecretDesktop##1", 11);
    form->ApplicationSystemCommand(0xF020); // not hooked yet
    EXPECT_TRUE(instance->log.empty());
    form->FormCreate();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        instance->log.clear();
        form->ApplicationSystemCommand(c.command);
        const std::vector<std::string> hidden = {"to tray", "hide application"};
        EXPECT_EQ(instance->log, c.hides ? hidden : std::vector<std::string>{});
    }
    form->FormDestroy();
    instance->log.clear();
    form->ApplicationSystemCommand(0xF020);
    EXPECT_TRUE(instance->log.empty());
}

TEST_F(MainformTest, DestructionStopsWatchingShowsTheWindowsAndUnhooksInThatOrder) {
    Start("Default", 10);
    form->FormCreate();
    instance->log.clear();
    form->FormDestroy();
    EXPECT_EQ(instance->log, (std::vector<std::string>{"SetKeyboard 0", "SetMouse 0",
                                                       "restore windows", "unhook"}));

    // Watching that is off already is left alone.
    instance->log.clear();
    form->FormDestroy();
    EXPECT_EQ(instance->log, std::vector<std::string>{"restore windows"});
}

TEST_F(MainformTest, TheSecondTickHidesOrShowsTheWindowsAndChecksTheIdleTime) {
    struct Case {
        const char* settings;
        std::vector<std::string> features;
        bool switches;
    };
    const Case cases[] = {
        {"CheckBoxHideDesktopWnd_Checked=1\r\n", {"update windows"}, false},
        {"CheckBoxHideDesktopWnd_Checked=0\r\n", {"restore windows"}, false},
        {"CheckBoxAutoSwitch_Checked=1\r\nComboBoxIdleTime_ItemIndex=0\r\n",
         {"restore windows"},
         true},
    };
    Start("SecretDesktop##2", 12);
    form->FormCreate();
    instance->clock.lastInput = 5000;
    instance->clock.now = 5000 + 61000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        WriteCommon(c.settings);
        form->ApplySettings();
        station.SetInputDesktop("SecretDesktop##2");
        instance->features.calls.clear();
        instance->timers.Advance(1000);
        EXPECT_EQ(instance->features.calls, c.features);
        EXPECT_EQ(station.InputDesktop(), c.switches ? "Default" : "SecretDesktop##2");
    }
}

TEST_F(MainformTest, ATimerThatWasStoppedDoesNotTick) {
    Start("SecretDesktop##1", 11);
    form->FormCreate();
    form->ButtonExitClick();
    instance->features.calls.clear();
    form->HandleTimer(ControllerTimer::Timer); // a tick already queued
    form->HandleTimer(ControllerTimer::TimerRestore);
    EXPECT_TRUE(instance->features.calls.empty());
    EXPECT_FALSE(instance->inputLock.locked);
    EXPECT_EQ(std::count(instance->trayIcon.calls.begin(), instance->trayIcon.calls.end(), "show"),
              0);
}

} // namespace
} // namespace ombrevane
