#include "controller/MainformUnit.h"

#include "desktops/InternalMessages.h"
#include "fake/FakeWindowStation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrevane {
namespace {

using fake::FakeProcess;
using fake::FakeWindowStation;
using fake::PostedMessage;

constexpr const char* kExe = "C:\\Ombrevane\\bin\\ombrevane.exe";

// Records what the controller does with its tray icon, in order.
class RecordingTrayIcon : public TrayIconView {
public:
    void SetText(std::string_view text) override { calls.push_back("text " + std::string(text)); }
    void SetIconVisible(bool visible) override {
        visible_ = visible;
        calls.push_back(visible ? "show" : "hide");
    }
    bool IconVisible() const override { return visible_; }
    void SendMainFormToTray() override { calls.push_back("to tray"); }
    void ShowBalloon(std::string_view title, std::string_view text, BalloonIcon icon,
                     int timeoutSeconds) override {
        calls.push_back("balloon " + std::string(title) + "|" + std::string(text) + "|" +
                        std::to_string(static_cast<int>(icon)) + "|" +
                        std::to_string(timeoutSeconds));
    }

    std::vector<std::string> calls;

private:
    bool visible_ = true;
};

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
        process = std::make_unique<FakeProcess>(station, processId, kExe, desktop);
        form = std::make_unique<TTileSwitchMainForm>(*process, trayIcon, [this] { ++terminated; });
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

    FakeWindowStation station;
    std::vector<WindowId> controllers;
    std::unique_ptr<FakeProcess> process;
    RecordingTrayIcon trayIcon;
    std::unique_ptr<TTileSwitchMainForm> form;
    int terminated = 0;
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
        FakeWindowStation station;
        station.AddDesktop(c.desktop);
        station.AddProcess(10, kExe);
        FakeProcess process(station, 10, kExe, c.desktop);
        RecordingTrayIcon trayIcon;
        TTileSwitchMainForm form(process, trayIcon, [] {});
        form.FormCreate();
        EXPECT_EQ(trayIcon.calls,
                  (std::vector<std::string>{c.text, "to tray", "balloon Ombrevane|Started|1|10"}));
    }
}

TEST_F(MainformTest, QuitEndsThisInstanceOnly) {
    Start("SecretDesktop##1", 11);
    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_QUIT, 0, 0));
    EXPECT_EQ(terminated, 1);
    EXPECT_TRUE(station.posted.empty());
    EXPECT_EQ(station.InputDesktop(), "Default");
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
    EXPECT_EQ(terminated, 0);
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
    station.SetInputDesktop(c.input);

    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_EXITALL, 0, 0));

    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(station.InputDesktop(), c.switchesBack ? "Default" : c.input);
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

TEST_F(MainformTest, CloseRequestsAreRefusedAndOtherMessagesLeftAlone) {
    Start("Default", 10);
    EXPECT_FALSE(form->FormClose());
    EXPECT_FALSE(form->HandleInternalMessage(0x0010, 0, 0)); // WM_CLOSE is the window's
    EXPECT_FALSE(form->HandleInternalMessage(2234, 0, 0));   // unused number
    EXPECT_TRUE(form->HandleInternalMessage(WM_INTERNAL_DLL_NOTHING, 0, 0));
    EXPECT_EQ(terminated, 0);
    EXPECT_TRUE(station.posted.empty());
}

} // namespace
} // namespace ombrevane
