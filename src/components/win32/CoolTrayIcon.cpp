#include "components/win32/CoolTrayIcon.h"

#include "components/win32/SimpleTimerHandler.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace ombrevane::win32 {
namespace {

constexpr char kHandlerClass[] = "OmbrevaneTrayIconHandler";
constexpr UINT kBasicFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// While the shell is not up yet an add fails; it is retried once a second for a while.
constexpr std::uint32_t kAddRetryMs = 1000;
constexpr int kAddRetries = 30;

std::weak_ptr<TTrayIconHandler>& SharedHandler() {
    static std::weak_ptr<TTrayIconHandler> handler;
    return handler;
}

} // namespace

// ---- TTrayIconHandler ----

TTrayIconHandler::TTrayIconHandler() {
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    WindowPlacement placement;
    placement.exStyle = WS_EX_TOOLWINDOW;
    placement.style = WS_POPUP;
    if (!window_.Create(*this, {.name = kHandlerClass}, placement)) {
        throw std::runtime_error("cannot create the tray icon window");
    }
}

std::shared_ptr<TTrayIconHandler> TTrayIconHandler::Acquire() {
    std::shared_ptr<TTrayIconHandler> handler = SharedHandler().lock();
    if (!handler) {
        handler = std::make_shared<TTrayIconHandler>();
        SharedHandler() = handler;
    }
    return handler;
}

HWND TTrayIconHandler::CurrentWindow() {
    std::shared_ptr<TTrayIconHandler> handler = SharedHandler().lock();
    return handler ? handler->Window() : nullptr;
}

std::uint32_t TTrayIconHandler::Register(TCoolTrayIcon* icon) {
    while (nextId_ == 0 || icons_.contains(nextId_)) {
        ++nextId_;
    }
    std::uint32_t id = nextId_++;
    icons_[id] = icon;
    return id;
}

void TTrayIconHandler::Unregister(std::uint32_t iconId) {
    icons_.erase(iconId);
}

LRESULT TTrayIconHandler::OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == tray_message::kCallback) {
        auto found = icons_.find(static_cast<std::uint32_t>(wParam));
        if (found != icons_.end()) {
            // Classic and version 3 callbacks carry the code in lParam, version 4 in its
            // low word; codes are below 0x10000 either way.
            found->second->HandleCallback(static_cast<std::uint32_t>(lParam) & 0xFFFFu);
        }
        return 0;
    }
    if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
        // A handler may remove icons: look each one up again.
        std::vector<std::uint32_t> ids;
        for (const auto& entry : icons_) {
            ids.push_back(entry.first);
        }
        for (std::uint32_t id : ids) {
            auto found = icons_.find(id);
            if (found != icons_.end()) {
                found->second->TaskbarCreated();
            }
        }
        return 0;
    }
    switch (msg) {
    case WM_CLOSE:
        // Never closed by a close request: the window lives exactly as long as its last
        // icon, and without it every icon of the process would stop hearing from the shell.
        return 1;
    case WM_QUERYENDSESSION:
        // Nothing here stands in the way of ending the session.
        return 1;
    default:
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// ---- TCoolTrayIcon ----

TCoolTrayIcon::TCoolTrayIcon(HWND owner, HWND applicationWindow)
    : TrayIconCore(AcquireSimpleTimerHandler()), handler_(TTrayIconHandler::Acquire()),
      timers_(AcquireSimpleTimerHandler()), owner_(owner), applicationWindow_(applicationWindow),
      iconStepTimer_(timers_, 1000), addRetryTimer_(timers_, kAddRetryMs) {
    iconId_ = handler_->Register(this);
    iconData_.cbSize = sizeof(iconData_);
    iconData_.hWnd = handler_->Window();
    iconData_.uID = iconId_;
    iconData_.uFlags = kBasicFlags;
    iconData_.uCallbackMessage = tray_message::kCallback;
    iconStepTimer_.OnFire = [this](TSimpleTimer&) { IconStepTimerFired(); };
    addRetryTimer_.OnFire = [this](TSimpleTimer&) { AddRetryTimerFired(); };
    const auto ref = reinterpret_cast<DWORD_PTR>(this);
    if (owner_ != nullptr) {
        ::SetWindowSubclass(owner_, &OwnerSubclassProc, ref, ref);
    }
    if (applicationWindow_ != nullptr) {
        ::SetWindowSubclass(applicationWindow_, &ApplicationSubclassProc, ref, ref);
    }
}

TCoolTrayIcon::~TCoolTrayIcon() {
    *alive_ = false;
    RemoveFromTray();
    const auto ref = reinterpret_cast<DWORD_PTR>(this);
    if (owner_ != nullptr && ::IsWindow(owner_)) {
        ::RemoveWindowSubclass(owner_, &OwnerSubclassProc, ref);
    }
    if (applicationWindow_ != nullptr && ::IsWindow(applicationWindow_)) {
        ::RemoveWindowSubclass(applicationWindow_, &ApplicationSubclassProc, ref);
    }
    handler_->Unregister(iconId_);
}

void TCoolTrayIcon::FillIconData() {
    iconData_.hIcon = icon_.get();
    CopyToField(iconData_.szTip, showHint_ ? std::string_view(hint_) : std::string_view());
}

bool TCoolTrayIcon::Notify(DWORD message) {
    FillIconData();
    return ::Shell_NotifyIconA(message, &iconData_) != FALSE;
}

bool TCoolTrayIcon::AddToTray() {
    iconVisible_ = true;
    bool added = Notify(NIM_ADD);
    if (added) {
        addRetryTimer_.Stop();
    } else if (!addRetryTimer_.Running()) {
        addRetriesLeft_ = kAddRetries;
        addRetryTimer_.Start();
    }
    return added;
}

bool TCoolTrayIcon::RemoveFromTray() {
    iconVisible_ = false;
    addRetryTimer_.Stop();
    return Notify(NIM_DELETE);
}

bool TCoolTrayIcon::UpdateInTray() {
    // The shell knows no hidden icon; asking it anyway costs a round trip to another process
    // on every change of a hidden icon.
    if (!iconVisible_) {
        return false;
    }
    return Notify(NIM_MODIFY);
}

void TCoolTrayIcon::AddRetryTimerFired() {
    if (!iconVisible_ || --addRetriesLeft_ < 0) {
        addRetryTimer_.Stop();
        return;
    }
    if (Notify(NIM_ADD)) {
        addRetryTimer_.Stop();
    } else if (UpdateInTray()) {
        // Already there (the add raced with a shell that came up meanwhile).
        addRetryTimer_.Stop();
    }
}

void TCoolTrayIcon::TaskbarCreated() {
    if (iconVisible_) {
        AddToTray();
    }
}

void TCoolTrayIcon::SetIconVisible(bool visible) {
    if (visible) {
        AddToTray();
    } else {
        RemoveFromTray();
    }
}

void TCoolTrayIcon::SetHint(std::string_view hint) {
    hint_ = hint;
    UpdateInTray();
}

void TCoolTrayIcon::SetShowHint(bool showHint) {
    showHint_ = showHint;
    UpdateInTray();
}

void TCoolTrayIcon::SetIcon(HICON icon) {
    TakeIcon(UniqueIcon(icon != nullptr ? ::CopyIcon(icon) : nullptr));
}

void TCoolTrayIcon::TakeIcon(UniqueIcon icon) {
    // The shell gets the new handle before the old one is destroyed.
    UniqueIcon old = std::move(icon_);
    icon_ = std::move(icon);
    UpdateInTray();
}

void TCoolTrayIcon::SetIconList(HIMAGELIST list) {
    iconList_ = list;
    SetIconIndex(0);
}

void TCoolTrayIcon::SetIconIndex(int index) {
    if (iconList_ != nullptr) {
        iconIndex_ = ClampIconIndex(index, ::ImageList_GetImageCount(iconList_));
        UniqueIcon image(::ImageList_GetIcon(iconList_, iconIndex_, ILD_NORMAL));
        if (image) {
            TakeIcon(std::move(image));
            return;
        }
    } else {
        iconIndex_ = 0;
    }
    UpdateInTray();
}

void TCoolTrayIcon::SetCycleIcons(bool cycle) {
    cycleIcons_ = cycle;
    if (cycle) {
        iconIndex_ = 0;
        iconStepTimer_.SetIntervalMs(cycleInterval_);
        iconStepTimer_.Start();
    } else {
        iconStepTimer_.Stop();
    }
}

void TCoolTrayIcon::SetCycleInterval(std::uint32_t intervalMs) {
    cycleInterval_ = intervalMs;
    SetCycleIcons(cycleIcons_);
}

void TCoolTrayIcon::IconStepTimerFired() {
    if (iconList_ == nullptr) {
        return;
    }
    int count = ::ImageList_GetImageCount(iconList_);
    UniqueIcon image(::ImageList_GetIcon(iconList_, ClampIconIndex(iconIndex_, count), ILD_NORMAL));
    if (image) {
        TakeIcon(std::move(image));
    }
    int next = NextCycleIndex(iconIndex_, count);
    NotifyCycle(next);
    iconIndex_ = next;
}

void TCoolTrayIcon::NotifyCycle(int nextIndex) {
    if (OnCycle) {
        OnCycle(nextIndex);
    }
}

bool TCoolTrayIcon::ClearBalloon() {
    iconData_.uFlags = kBasicFlags | NIF_INFO;
    CopyToField(iconData_.szInfo, "");
    bool result = UpdateInTray();
    iconData_.uFlags = kBasicFlags;
    return result;
}

bool TCoolTrayIcon::ShowBalloon(std::string_view title, std::string_view text,
                                TBalloonHintIcon iconKind, int timeoutSeconds) {
    ClearBalloon();
    iconData_.uFlags = kBasicFlags | NIF_INFO;
    CopyToField(iconData_.szInfo, text);
    CopyToField(iconData_.szInfoTitle, title);
    iconData_.uTimeout = static_cast<UINT>(std::clamp(timeoutSeconds, 0, 255)) * 1000u;
    int kind = static_cast<int>(iconKind);
    iconData_.dwInfoFlags = static_cast<DWORD>(kind >= 0 && kind <= 3 ? kind : 0);
    bool result = UpdateInTray();
    iconData_.uFlags = kBasicFlags;
    return result;
}

void TCoolTrayIcon::HideAppTaskbarButton() {
    if (applicationWindow_ != nullptr && ::IsWindowVisible(applicationWindow_)) {
        ::ShowWindow(applicationWindow_, SW_HIDE);
    }
}

void TCoolTrayIcon::SendMainFormToTray() {
    if (owner_ == nullptr) {
        return;
    }
    ::ShowWindow(owner_, SW_HIDE);
    HideAppTaskbarButton();
}

void TCoolTrayIcon::NotifyMinimize() {
    SendMainFormToTray();
}

void TCoolTrayIcon::Loaded() {
    if (owner_ != nullptr && OnStartup) {
        bool showMainForm = true;
        OnStartup(showMainForm);
        if (!showMainForm) {
            SendMainFormToTray();
        }
    }
    UpdateInTray();
    if (iconVisible_) {
        AddToTray();
    }
    SetCycleIcons(cycleIcons_);
    SetWantEnterExitEvents(WantEnterExitEvents());
    iconData_.uVersion = CallbackStyle() == 1 ? NOTIFYICON_VERSION : 0;
    ::Shell_NotifyIconA(NIM_SETVERSION, &iconData_);
}

std::optional<TPoint> TCoolTrayIcon::CursorPosition() {
    POINT at{};
    if (!::GetCursorPos(&at)) {
        return std::nullopt;
    }
    return TPoint{at.x, at.y};
}

int TCoolTrayIcon::ModifierKeys() {
    auto down = [](int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; };
    int keys = 0;
    if (down(VK_SHIFT)) {
        keys |= kShiftShift;
    }
    if (down(VK_MENU)) {
        keys |= kShiftAlt;
    }
    if (down(VK_CONTROL)) {
        keys |= kShiftCtrl;
    }
    return keys;
}

std::uint32_t TCoolTrayIcon::DoubleClickTime() {
    return ::GetDoubleClickTime();
}

void TCoolTrayIcon::PopupAtCursor() {
    POINT at{};
    if (popupMenu_ == nullptr || !::GetCursorPos(&at)) {
        return;
    }
    HWND menuOwner = owner_ != nullptr ? owner_ : handler_->Window();
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(applicationWindow_ != nullptr ? applicationWindow_ : menuOwner);
    std::shared_ptr<bool> alive = alive_;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to swallow: leave it for the message loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (!*alive) {
            return;
        }
    }
    HMENU menu = popupMenu_;
    if (menu == nullptr) {
        return;
    }
    ::SetForegroundWindow(menuOwner);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, menuOwner, nullptr);
    if (*alive && owner_ != nullptr) {
        ::PostMessageA(owner_, WM_NULL, 0, 0);
    }
}

void TCoolTrayIcon::RunDefaultMenuItem() {
    if (popupMenu_ == nullptr || owner_ == nullptr) {
        return;
    }
    UINT id = ::GetMenuDefaultItem(popupMenu_, FALSE, 0);
    if (id != static_cast<UINT>(-1)) {
        ::PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
}

LRESULT CALLBACK TCoolTrayIcon::OwnerSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                                  UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<TCoolTrayIcon*>(refData);
    bool minimizing = (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) ||
                      (msg == WM_SHOWWINDOW && wParam == FALSE && lParam == SW_PARENTCLOSING);
    if (minimizing && self->minimizeToTray_ && self->OnMinimizeToTray) {
        self->OnMinimizeToTray();
        self->NotifyMinimize();
        return 1;
    }
    if (msg == WM_SHOWWINDOW && wParam == TRUE && lParam == 0) {
        if (self->applicationWindow_ != nullptr) {
            ::SetForegroundWindow(self->applicationWindow_);
        }
        ::SetForegroundWindow(hwnd);
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TCoolTrayIcon::ApplicationSubclassProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                        LPARAM lParam, UINT_PTR,
                                                        DWORD_PTR refData) {
    auto* self = reinterpret_cast<TCoolTrayIcon*>(refData);
    if (msg == WM_SIZE && wParam == SIZE_MINIMIZED && self->minimizeToTray_) {
        self->NotifyMinimize();
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

} // namespace ombrevane::win32
