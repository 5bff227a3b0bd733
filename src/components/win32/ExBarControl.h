#pragma once
// The navigation bar's window: a scrolling container whose child, the drawing surface
// TFlickerFreePaintBox, shows a 24-bit back buffer. The model (TExBar) decides what to draw,
// the canvas draws it into the buffer; this file drives the window, its scroll bar, tooltip
// and animation timers.

#include "components/ExBar.h"
#include "components/win32/ExBarCanvas.h"
#include "components/win32/ExBarImageList.h"
#include "components/win32/ExBarSurface.h"
#include "components/win32/ExDibBuffer.h"
#include "platform/win32/BoundWindow.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace ombrevane {

class ExBarControl final : private ExBarHost, private ExSurfaceEvents, private win32::WindowOwner {
    struct PassKey {
        explicit PassKey() = default;
    };

public:
    explicit ExBarControl(PassKey);
    // A child of `parent`, of the bar's initial size. Null when the window cannot be made.
    static std::unique_ptr<ExBarControl> Create(HWND parent);
    ~ExBarControl() override;

    HWND Handle() const { return window_.get(); }
    HWND SurfaceHandle() const { return surface_->Handle(); }
    TExBar& Bar() { return *bar_; }

    // Theme from a picture (a private copy is kept; the caller may delete its bitmap), or the
    // classic look when the picture is null or smaller than the theme layout needs.
    void ApplyTheme(HBITMAP picture);
    // The bar draws from these lists but does not own them. Null removes them.
    void SetItemIcons(HIMAGELIST list);
    void SetGroupIcons(HIMAGELIST list);
    void SetBounds(int x, int y, int width, int height);

    // Observers of the drawing, for tests and measurements.
    std::function<void()> OnRender;
    std::function<void(const TExGroup&)> OnGroupPainted;

    const TFlickerFreePaintBox& Surface() const { return *surface_; }
    bool VerticalScrollBarShown() const { return ScrollBarVisible(); }
    int ScrollPosition() const { return scrollPos_; }

private:
    bool CreateWindows(HWND parent);
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void UpdateScrollInfo();
    void ScrollTo(int position);

    // ExBarHost
    const ExTextMetrics& Metrics() const override;
    int BarWidth() const override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void InvalidateControl() override;
    void RenderSurface() override;
    void RepaintGroups(std::span<TExGroup* const> groups) override;
    void SetSurfaceSize(int width, int height) override;
    bool ScrollBarVisible() const override;
    void ShowScrollBar(bool show) override;
    void SetCursor(ExCursor cursor) override;
    void SetTooltip(const std::string& text, bool active) override;
    void StartAnimTimer(TExGroup& group) override;
    void StopAnimTimer(TExGroup& group) override;

    // ExSurfaceEvents
    void PaintBuffer(TFlickerFreePaintBox& surface) override;
    void SurfaceMouseMove(int x, int y, ExMouseState state) override;
    void SurfaceMouseUp(int x, int y) override;
    void SurfaceMouseLeave() override;

    win32::UniqueWindow tooltip_;
    std::unique_ptr<TFlickerFreePaintBox> surface_;
    std::unique_ptr<ExBarFonts> fonts_;
    std::unique_ptr<ExBarMeasure> metrics_;
    std::unique_ptr<ExDibBuffer> theme_;
    std::unique_ptr<ExBarImageList> itemIcons_;
    std::unique_ptr<ExBarImageList> groupIcons_;
    std::unique_ptr<TExBar> bar_;
    std::string tooltipText_;
    bool tooltipActive_ = false;
    int scrollPos_ = 0;
    bool suppressSize_ = false;
    win32::BoundWindow window_;
};

} // namespace ombrevane
