// The dialog helper: a data struct in and out, modal and modeless, from a resource template
// and from one built in memory (run under Wine).

#include "platform/DialogTestIds.h"
#include "platform/MessagePump.h"
#include "platform/win32/Dialog.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

namespace ombrevane {
namespace {

using namespace std::chrono_literals;
using win32::DialogTemplate;
using win32::DialogTemplateBuilder;

constexpr char kTitle[] = "Dialog test";
constexpr UINT kMsgThrow = WM_APP + 1;
constexpr INT_PTR kGaveUp = 77;

struct NameData {
    std::string name;
    int initialised = 0;
};

// The dialog as a coming dialog would be written: filled from the data on WM_INITDIALOG, the
// data written back only on OK.
INT_PTR NameHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM, NameData& data) {
    switch (message) {
    case WM_INITDIALOG:
        ++data.initialised;
        ::SetDlgItemTextA(dialog, DIALOG_TEST_NAME_EDIT, data.name.c_str());
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            data.name = win32::DialogItemText(dialog, DIALOG_TEST_NAME_EDIT);
            win32::CloseDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            win32::CloseDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    case kMsgThrow:
        throw std::runtime_error("Wrong password.");
    default:
        return FALSE;
    }
}

bool ShowName(HWND owner, NameData& data, const DialogTemplate& source) {
    return win32::RunModalDialog(owner, source, &NameHandler, data) == IDOK;
}

DialogTemplate FromResource() {
    return DialogTemplate::FromResource("NAME_DIALOG");
}

// The same dialog laid out in code.
DialogTemplateBuilder NameDialogInMemory() {
    using Control = DialogTemplateBuilder::Control;
    DialogTemplateBuilder builder(kTitle, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                  {0, 0, 180, 60});
    builder.Add(Control::Edit, DIALOG_TEST_NAME_EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                {7, 7, 166, 14});
    builder.Add(Control::Button, IDOK, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, {69, 39, 50, 14});
    builder.Add(Control::Button, IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, {123, 39, 50, 14});
    return builder;
}

// Drives the open dialog from inside its modal loop: `act` gets it once it is shown, and what
// it saw in the edit first. A dialog still open after 10 s is ended with kGaveUp.
struct ModalScript {
    explicit ModalScript(std::function<void(HWND dialog)> act)
        : driver([this, act] {
              const HWND dialog = testing::FindThreadWindow(kTitle);
              if (dialog == nullptr) {
                  return std::chrono::steady_clock::now() > deadline;
              }
              if (!acted) {
                  acted = true;
                  shownText = win32::DialogItemText(dialog, DIALOG_TEST_NAME_EDIT);
                  act(dialog);
                  return false;
              }
              if (std::chrono::steady_clock::now() > deadline) {
                  ::EndDialog(dialog, kGaveUp);
                  return true;
              }
              return false;
          }) {}

    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::now() + 10s;
    bool acted = false;
    std::string shownText;
    testing::TimerDriver driver;
};

void Type(HWND dialog, const char* text) {
    ::SetDlgItemTextA(dialog, DIALOG_TEST_NAME_EDIT, text);
}

void Press(HWND dialog, int button) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

TEST(Dialog, OkGivesTheTypedTextBackAndCancelLeavesTheDataAsItWas) {
    for (const bool inMemory : {false, true}) {
        SCOPED_TRACE(inMemory ? "template in memory" : "template from a resource");
        const DialogTemplateBuilder builder = NameDialogInMemory();
        const DialogTemplate source = inMemory ? builder.Template() : FromResource();

        NameData data{"Desktop 2"};
        {
            ModalScript script([](HWND dialog) {
                Type(dialog, "Work");
                Press(dialog, IDOK);
            });
            EXPECT_TRUE(ShowName(nullptr, data, source));
            EXPECT_EQ(script.shownText, "Desktop 2") << "filled from the data";
        }
        EXPECT_EQ(data.name, "Work");
        EXPECT_EQ(data.initialised, 1);

        {
            ModalScript script([](HWND dialog) {
                Type(dialog, "Games");
                Press(dialog, IDCANCEL);
            });
            EXPECT_FALSE(ShowName(nullptr, data, source));
            EXPECT_EQ(script.shownText, "Work");
        }
        EXPECT_EQ(data.name, "Work") << "cancel writes nothing back";
        EXPECT_EQ(data.initialised, 2);
        EXPECT_EQ(testing::FindThreadWindow(kTitle), nullptr);
    }
}

TEST(Dialog, ModalResultIsWhatTheDialogWasClosedWith) {
    NameData data;
    ModalScript script([](HWND dialog) { win32::CloseDialog(dialog, 42); });
    EXPECT_EQ(win32::RunModalDialog(nullptr, FromResource(), &NameHandler, data), 42);
}

TEST(Dialog, MissingTemplateIsAFailureNotAHang) {
    NameData data;
    EXPECT_EQ(win32::RunModalDialog(nullptr, DialogTemplate::FromResource("NO_SUCH_DIALOG"),
                                    &NameHandler, data),
              -1);
    EXPECT_EQ(data.initialised, 0);
}

TEST(Dialog, AnExceptionReachesTheErrorReportAndTheDialogGoesOn) {
    NameData data{"before"};
    testing::ErrorReportAnswerer report;
    ModalScript script([](HWND dialog) {
        ::SendMessageA(dialog, kMsgThrow, 0, 0);
        Type(dialog, "after");
        Press(dialog, IDOK);
    });
    EXPECT_TRUE(ShowName(nullptr, data, FromResource()));
    EXPECT_EQ(report.texts, (std::vector<std::string>{"Wrong password."}));
    EXPECT_EQ(data.name, "after");
}

// The message loop of the program, with its one addition for modeless dialogs.
bool RunLoopUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (win32::HandleDialogMessage(msg)) {
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (std::chrono::steady_clock::now() > end) {
            return done();
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

TEST(Dialog, ModelessDialogGetsEnterFromTheMessageLoopAndGivesTheDataBack) {
    for (const bool inMemory : {false, true}) {
        SCOPED_TRACE(inMemory ? "template in memory" : "template from a resource");
        const DialogTemplateBuilder builder = NameDialogInMemory();
        const DialogTemplate source = inMemory ? builder.Template() : FromResource();
        NameData data{"Desktop 3"};
        win32::ModelessDialog<NameData> dialog(&NameHandler, data);
        ASSERT_TRUE(dialog.Open(nullptr, source));
        ASSERT_TRUE(dialog.IsOpen());
        EXPECT_TRUE(::IsWindowVisible(dialog.Handle()));
        EXPECT_EQ(win32::DialogItemText(dialog.Handle(), DIALOG_TEST_NAME_EDIT), "Desktop 3");

        // Enter in the edit presses the default button only through the dialog's keyboard
        // interface, which the message loop lends it.
        const HWND edit = ::GetDlgItem(dialog.Handle(), DIALOG_TEST_NAME_EDIT);
        Type(dialog.Handle(), "Mail");
        ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
        ASSERT_TRUE(RunLoopUntil([&] { return !dialog.IsOpen(); }, 10s));
        EXPECT_EQ(dialog.Result(), IDOK);
        EXPECT_EQ(data.name, "Mail");
    }
}

TEST(Dialog, ModelessDialogClosedByItsOwnerObjectCancels) {
    NameData data{"kept"};
    HWND window = nullptr;
    {
        win32::ModelessDialog<NameData> dialog(&NameHandler, data);
        ASSERT_TRUE(dialog.Open(nullptr, FromResource()));
        window = dialog.Handle();
        Type(window, "dropped");
        EXPECT_TRUE(dialog.Open(nullptr, FromResource())) << "open already: the same one";
        EXPECT_EQ(dialog.Handle(), window);
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(data.name, "kept");
}

} // namespace
} // namespace ombrevane
