#pragma once
// The navigation bar's window: a scrolling container whose child, the drawing surface
// TFlickerFreePaintBox, shows a 24-bit back buffer. Every screen update is one copy of that
// buffer. The model (TExBar) decides what to draw; this file only drives GDI and the window.

#include "components/ExBar.h"
#include "components/ExBarImageList.h"
#include "components/ExDibBuffer.h"
#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace ombrevane {

class TFlickerFreePaintBox;

// What the surface reports to its owner.
class ExSurfaceEvents {
public:
    virtual ~ExSurfaceEvents() = default;
    virtual void PaintBuffer(TFlickerFreePaintBox& surface) = 0;
    virtual void SurfaceMouseMove(int x, int y, ExMouseState state) = 0;
    virtual void SurfaceMouseUp(int x, int y) = 0;
    virtual void SurfaceMouseLeave() = 0;
};

// The double-buffered drawing surface.
class TFlickerFreePaintBox {
public:
    TFlickerFreePaintBox(HWND parent, ExSurfaceEvents& events, HFONT font);
    ~TFlickerFreePaintBox();
    TFlickerFreePaintBox(const TFlickerFreePaintBox&) = delete;
    TFlickerFreePaintBox& operator=(const TFlickerFreePaintBox&) = delete;

    HWND Handle() const { return window_.get(); }
    // Fills the back buffer with the surface's colour, lets the owner paint, copies it out.
    void Render();
    void CopyToScreen();
    // Copies the rows of the back buffer that `area` spans.
    void CopyToScreen(const ExRect& area);
    void SetColor(COLORREF color) { color_ = color; }
    void SetCursor(HCURSOR cursor);
    const ExDibBuffer& BackBuffer() const { return *backBuffer_; }
    ExDibBuffer& BackBuffer() { return *backBuffer_; }
    bool Dirty() const { return dirty_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Resized();
    void Fill();
    void Paint();

    ExSurfaceEvents& events_;
    HFONT font_;
    std::unique_ptr<ExDibBuffer> backBuffer_;
    COLORREF color_ = RGB(255, 255, 255);
    HCURSOR cursor_ = nullptr;
    bool painting_ = false;
    bool dirty_ = false;
    bool tracking_ = false;
    win32::UniqueWindow window_;
};

// The fonts of the bar: "MS Sans Serif" 8 pt, plain, bold, underlined, both.
class ExBarFonts {
public:
    ExBarFonts();
    HFONT Get(ExFontStyle style) const;
    // The style of one of these fonts; empty for any other object.
    std::optional<ExFontStyle> StyleOf(HGDIOBJ font) const;

private:
    std::array<win32::UniqueGdiObject, 4> fonts_;
};

class ExBarControl final : private ExBarHost, private ExSurfaceEvents {
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
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
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

    class Canvas;
    class MeasureMetrics;

    win32::UniqueWindow window_;
    win32::UniqueWindow tooltip_;
    std::unique_ptr<TFlickerFreePaintBox> surface_;
    std::unique_ptr<ExBarFonts> fonts_;
    std::unique_ptr<MeasureMetrics> metrics_;
    std::unique_ptr<ExDibBuffer> theme_;
    std::unique_ptr<ExBarImageList> itemIcons_;
    std::unique_ptr<ExBarImageList> groupIcons_;
    std::unique_ptr<TExBar> bar_;
    std::string tooltipText_;
    bool tooltipActive_ = false;
    int scrollPos_ = 0;
    bool suppressSize_ = false;
};

// Read once: the system check box size and the arrow glyphs ("AR_UP", "AR_DN" resources of
// the program, or the built-in rows when the program lacks them).
struct ExBarShared {
    int CheckWidth = 13;
    int CheckHeight = 13;
    HCURSOR Hand = nullptr;
    ExGlyphRows Up{};
    ExGlyphRows Down{};
    bool GlyphsFromResources = false;
};
const ExBarShared& GetExBarShared();

// Colour values with the system colour flag resolved.
COLORREF ResolveColor(ExColor color);

} // namespace ombrevane
