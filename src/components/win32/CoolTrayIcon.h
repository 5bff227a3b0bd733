#pragma once
// TCoolTrayIcon: one icon in the notification area for the window that owns it. Shell
// callbacks of every icon of the process arrive at one hidden window (TTrayIconHandler) and
// are routed by IconId; the click and button rules live in TrayIconCore.

#include "components/TextTrayLayout.h"
#include "components/TrayIconCore.h"
#include "platform/win32/BoundWindow.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace ombrevane::win32 {

class TCoolTrayIcon;

// The hidden window that receives the tray callback of every TCoolTrayIcon of the process.
// It is a hidden top-level window, not a message-only one, so that the shell's
// "TaskbarCreated" broadcast reaches it.
class TTrayIconHandler final : private WindowOwner {
public:
    TTrayIconHandler();
    TTrayIconHandler(const TTrayIconHandler&) = delete;
    TTrayIconHandler& operator=(const TTrayIconHandler&) = delete;

    // The process's handler, created on first use and destroyed with its last user.
    static std::shared_ptr<TTrayIconHandler> Acquire();
    // The live handler's window, or null.
    static HWND CurrentWindow();

    HWND Window() const { return window_.get(); }
    std::size_t UserCount() const { return icons_.size(); }

private:
    friend class TCoolTrayIcon;
    std::uint32_t Register(TCoolTrayIcon* icon);
    void Unregister(std::uint32_t iconId);
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    UINT taskbarCreated_ = 0;
    std::map<std::uint32_t, TCoolTrayIcon*> icons_;
    std::uint32_t nextId_ = 1;
    BoundWindow window_;
};

// Balloon icon kinds.
enum class TBalloonHintIcon { None = 0, Info = 1, Warning = 2, Error = 3 };

class TCoolTrayIcon : public TrayIconCore {
public:
    // owner: the window that receives the popup menu's WM_COMMAND and whose minimising can
    // send it to the tray. applicationWindow: the application's hidden taskbar window, if any.
    explicit TCoolTrayIcon(HWND owner, HWND applicationWindow = nullptr);
    ~TCoolTrayIcon() override;

    // Shell operations; the result is the shell's success.
    virtual bool AddToTray();
    virtual bool RemoveFromTray();
    virtual bool UpdateInTray();

    void SetIconVisible(bool visible);
    bool IconVisible() const { return iconVisible_; }
    void SetHint(std::string_view hint);
    const std::string& Hint() const { return hint_; }
    void SetShowHint(bool showHint);
    bool ShowHint() const { return showHint_; }
    // Copies the icon.
    void SetIcon(HICON icon);
    // Takes the icon over.
    void TakeIcon(UniqueIcon icon);
    HICON Icon() const { return icon_.get(); }
    // Not owned: the menu shown at the cursor, whose commands go to the owner window.
    void SetPopupMenu(HMENU menu) { popupMenu_ = menu; }
    HMENU PopupMenu() const { return popupMenu_; }
    void SetMinimizeToTray(bool minimize) { minimizeToTray_ = minimize; }
    bool MinimizeToTray() const { return minimizeToTray_; }

    // Icon cycling through an image list (not owned).
    void SetIconList(HIMAGELIST list);
    void SetIconIndex(int index);
    int IconIndex() const { return iconIndex_; }
    void SetCycleIcons(bool cycle);
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleInterval(std::uint32_t intervalMs);

    // Title up to 63 characters, text up to 255; TimeoutSeconds 0..255.
    bool ShowBalloon(std::string_view title, std::string_view text, TBalloonHintIcon iconKind,
                     int timeoutSeconds);
    bool ClearBalloon();

    // Hides the owner window and the application's taskbar button.
    void SendMainFormToTray();
    void HideAppTaskbarButton();

    // The end of setting up: start-up event, tray state, cycling, enter/exit watch and the
    // callback version sent to the shell.
    void Loaded();

    std::uint32_t IconId() const { return iconId_; }
    HWND HandlerWindow() const { return handler_->Window(); }
    HWND OwnerWindow() const { return owner_; }

    std::function<void()> OnMinimizeToTray;
    std::function<void(int nextIndex)> OnCycle;
    std::function<void(bool& showMainForm)> OnStartup;

protected:
    virtual void NotifyCycle(int nextIndex);
    virtual void NotifyMinimize();

    std::optional<TPoint> CursorPosition() override;
    int ModifierKeys() override;
    std::uint32_t DoubleClickTime() override;
    void PopupAtCursor() override;
    void RunDefaultMenuItem() override;

private:
    friend class TTrayIconHandler;
    void FillIconData();
    bool Notify(DWORD message);
    void TaskbarCreated();
    void IconStepTimerFired();
    void AddRetryTimerFired();
    static LRESULT CALLBACK OwnerSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR refData);
    static LRESULT CALLBACK ApplicationSubclassProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                    LPARAM lParam, UINT_PTR id, DWORD_PTR refData);

    std::shared_ptr<TTrayIconHandler> handler_;
    std::shared_ptr<TimerHost> timers_;
    HWND owner_;
    HWND applicationWindow_;
    std::uint32_t iconId_ = 0;
    UniqueIcon icon_;
    bool iconVisible_ = false;
    std::string hint_;
    bool showHint_ = true;
    HMENU popupMenu_ = nullptr;
    bool minimizeToTray_ = false;
    HIMAGELIST iconList_ = nullptr;
    int iconIndex_ = 0;
    bool cycleIcons_ = false;
    std::uint32_t cycleInterval_ = 0;
    TSimpleTimer iconStepTimer_;
    TSimpleTimer addRetryTimer_;
    int addRetriesLeft_ = 0;
    NOTIFYICONDATAA iconData_{};
    // Cleared by the destructor; lets a menu loop notice that the icon went away under it.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace ombrevane::win32
