#pragma once
// The navigation bar's drawing surface TFlickerFreePaintBox: a child window that shows a
// 24-bit back buffer. Every screen update is one copy of that buffer, so the bar never
// flickers; what goes into the buffer is its owner's business.

#include "components/ExBar.h"
#include "components/win32/ExDibBuffer.h"
#include "platform/win32/BoundWindow.h"

#include <windows.h>

#include <memory>

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
class TFlickerFreePaintBox final : private win32::WindowOwner {
public:
    TFlickerFreePaintBox(HWND parent, ExSurfaceEvents& events, HFONT font);
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
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
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
    win32::BoundWindow window_;
};

} // namespace ombrevane
