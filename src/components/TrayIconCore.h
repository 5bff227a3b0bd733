#pragma once
// The platform-free half of the tray icon: turning the shell's callbacks into click, double
// click, button, move, enter/exit and balloon events. The Win32 component supplies the cursor,
// the key state, the double-click time and the popup menu.

#include "components/SimpleTimer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace ombrevane {

// The tray callback message and the codes it carries in lParam.
namespace tray_message {
constexpr std::uint32_t kCallback = 2048; // WM_USER + 1024
constexpr std::uint32_t kContextMenu = 123;
constexpr std::uint32_t kMouseMove = 512;
constexpr std::uint32_t kLButtonDown = 513;
constexpr std::uint32_t kLButtonUp = 514;
constexpr std::uint32_t kLButtonDblClk = 515;
constexpr std::uint32_t kRButtonDown = 516;
constexpr std::uint32_t kRButtonUp = 517;
constexpr std::uint32_t kMButtonDown = 519;
constexpr std::uint32_t kMButtonUp = 520;
constexpr std::uint32_t kSelect = 1024;
constexpr std::uint32_t kKeySelect = 1025;
constexpr std::uint32_t kBalloonShow = 1026;
constexpr std::uint32_t kBalloonHide = 1027;
constexpr std::uint32_t kBalloonTimeout = 1028;
constexpr std::uint32_t kBalloonUserClick = 1029;
} // namespace tray_message

enum class TMouseButton { Left = 0, Right = 1, Middle = 2 };

// Bits of the Shift argument of the mouse events.
constexpr int kShiftShift = 1;
constexpr int kShiftAlt = 2;
constexpr int kShiftCtrl = 4;
constexpr int kShiftLeft = 8;
constexpr int kShiftRight = 16;
constexpr int kShiftMiddle = 32;

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const TPoint&) const = default;
};

// Longest texts the shell's fixed fields hold (without the terminating zero).
constexpr std::size_t kTipMaxChars = 127;
constexpr std::size_t kBalloonTextMaxChars = 255;
constexpr std::size_t kBalloonTitleMaxChars = 63;

// Copies text into a fixed character field: cut to field.size() - 1 characters, the rest of
// the field zero-filled, always terminated.
void CopyToField(std::span<char> field, std::string_view text);

// Index shown after `index` when stepping through `count` images (0 without images).
int NextCycleIndex(int index, int count);
// An index stored with `count` images: beyond the end becomes the last, none becomes 0.
int ClampIconIndex(int index, int count);

class TrayIconCore {
public:
    using NotifyEvent = std::function<void()>;
    using MouseEvent = std::function<void(TMouseButton button, int shift, int x, int y)>;
    using MouseMoveEvent = std::function<void(int shift, int x, int y)>;

    explicit TrayIconCore(const std::shared_ptr<TimerHost>& timers);
    virtual ~TrayIconCore() = default;
    TrayIconCore(const TrayIconCore&) = delete;
    TrayIconCore& operator=(const TrayIconCore&) = delete;

    // One callback from the shell: the mouse or notification code carried in lParam.
    void HandleCallback(std::uint32_t code);

    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }
    void SetLeftPopup(bool leftPopup) { leftPopup_ = leftPopup; }
    bool LeftPopup() const { return leftPopup_; }
    // Enter/exit tracking polls the cursor while it is on.
    void SetWantEnterExitEvents(bool want);
    bool WantEnterExitEvents() const { return wantEnterExitEvents_; }
    // 0 classic callbacks, 1 version 3 (selection codes instead of right button up).
    void SetCallbackStyle(int style) { callbackStyle_ = style; }
    int CallbackStyle() const { return callbackStyle_; }

    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;
    MouseMoveEvent OnMouseMove;
    NotifyEvent OnMouseEnter;
    NotifyEvent OnMouseExit;
    NotifyEvent OnBalloonHintShow;
    NotifyEvent OnBalloonHintHide;
    NotifyEvent OnBalloonHintTimeout;
    NotifyEvent OnBalloonHintClick;

protected:
    virtual void NotifyClick();
    virtual void NotifyDblClick();
    virtual void NotifyMouseDown(TMouseButton button, int shift, TPoint at);
    virtual void NotifyMouseUp(TMouseButton button, int shift, TPoint at);
    virtual void NotifyMouseMove(int shift, TPoint at);
    virtual void NotifyMouseEnter();
    virtual void NotifyMouseExit();

    // What the platform supplies.
    virtual std::optional<TPoint> CursorPosition() = 0;
    virtual int ModifierKeys() = 0; // kShiftShift, kShiftAlt, kShiftCtrl
    virtual std::uint32_t DoubleClickTime() = 0;
    virtual void PopupAtCursor() = 0;
    // A double click with a popup menu (and LeftPopup off) runs the menu's default item.
    virtual void RunDefaultMenuItem() = 0;

private:
    TPoint Cursor();
    void ClickWaitTimerFired();
    void LeaveWatchTimerFired();

    bool enabled_ = true;
    bool leftPopup_ = false;
    bool wantEnterExitEvents_ = false;
    int callbackStyle_ = 0;
    bool clickPending_ = false;
    bool clickReady_ = false;
    bool doubleClickSeen_ = false;
    bool cursorGone_ = true;
    TPoint lastCursorPos_;
    TSimpleTimer clickWaitTimer_;
    TSimpleTimer leaveWatchTimer_;
};

} // namespace ombrevane
