// Drawing of the navigation bar into its back buffer. The rectangles used for hit testing
// (HeaderRect, BodyRect, HitRect) are set here, where the geometry is worked out.

#include "components/ExBar.h"

#include <algorithm>

namespace ombrevane {

namespace {

using M = ExBarMetrics;
using L = ExThemeLayout;

} // namespace

void TExBar::PaintGroups(ExCanvas& canvas) {
    if (Updating) {
        return;
    }
    canvas.FillRect(ExRect{0, 0, LastWidth, surfaceHeight_}, BackgroundColor);
    int y = M::FirstGroupTop;
    for (const auto& group : Groups) {
        group->PaintGroup(canvas, M::GroupLeft, y);
    }
}

ExRect TExBar::PaintGroupInPlace(ExCanvas& canvas, TExGroup& group) {
    const int top = group.HeaderRect.Top - M::HeaderGap;
    int y = top;
    group.PaintGroup(canvas, group.HeaderRect.Left, y);
    // The header block, then the body as far as it is open: PaintGroup clips to these.
    int bottom = top + M::HeaderBlock;
    if (group.GroupState != ExGroupState::Collapsed) {
        bottom += std::max(group.CurrentHeight, 0);
    }
    return ExRect{group.HeaderRect.Left, top, group.HeaderRect.Left + group.Width, bottom};
}

void TExGroup::PaintGroup(ExCanvas& canvas, int x, int& y) {
    if (bar_.Updating) {
        return;
    }
    const int w = Width;
    const bool hot = bar_.HotObject() == this;
    canvas.SetClip(ExRect{x, y, x + w, y + M::HeaderBlock});

    const int barTop = y + M::HeaderGap;
    if (bar_.HasThemePicture()) {
        const int row = special_ ? L::SpecialRow : L::NormalRow;
        canvas.DrawThemePart(ExRect{L::LeftX, row, L::LeftX + L::LeftWidth, row + L::RowHeight},
                             ExRect{x, barTop, x + L::LeftWidth, barTop + L::RowHeight});
        const int middleWidth = w - L::LeftWidth - L::ButtonWidth;
        if (middleWidth > 0) {
            canvas.DrawThemePart(
                ExRect{L::MiddleX, row, L::MiddleX + L::MiddleWidth, row + L::RowHeight},
                ExRect{x + L::LeftWidth, barTop, x + L::LeftWidth + middleWidth,
                       barTop + L::RowHeight});
        }
        const int buttonX = ThemeButtonX(Collapsed(), hot);
        canvas.DrawThemePart(ExRect{buttonX, row, buttonX + L::ButtonWidth, row + L::RowHeight},
                             ExRect{x + w - L::ButtonWidth, barTop, x + w, barTop + L::RowHeight});
    } else {
        canvas.FillRect(ExRect{x, barTop, x + w, barTop + M::HeaderBar},
                        special_ ? SystemColor(TSystemColor::ActiveCaption)
                                 : SystemColor(TSystemColor::ButtonFace));
    }

    TColor textColor = 0;
    if (special_) {
        textColor = hot ? bar_.SpecialHotTextColor : bar_.SpecialTextColor;
    } else {
        textColor = hot ? bar_.HotTextColor : bar_.TextColor;
    }
    if (!bar_.HasThemePicture()) {
        // The glyph starts 24 pixels left of the header's right end.
        canvas.DrawGlyph(Collapsed() ? ExGlyph::Down : ExGlyph::Up, x + w - 24, y + 16, textColor);
    }
    canvas.SetFont(ExFontStyle{.Bold = true, .Underline = false});
    canvas.SetTextColor(textColor);

    int captionX = x + 8;
    if (imageIndex_ != -1 && bar_.GroupIcons != nullptr) {
        canvas.DrawImage(*bar_.GroupIcons, imageIndex_, x, y);
        captionX = x + 40;
    }
    canvas.SetClip(ExRect{x, y, x + w - L::ButtonWidth, y + M::HeaderBlock});
    canvas.DrawString(captionX, y + 8 + (24 - canvas.TextHeight("A")) / 2, caption_);

    HeaderRect = ExRect{x, barTop, x + w, y + M::HeaderBlock};
    y += M::HeaderBlock;
    BodyRect.Left = x;
    BodyRect.Top = y;
    BodyRect.Right = x + w;

    if (GroupState != ExGroupState::Collapsed) {
        const int bodyTop = y;
        const int height = CurrentHeight;
        const ExRect body{x, bodyTop, x + w, bodyTop + height};
        canvas.SetClip(body);
        canvas.FillRect(body, bar_.BodyColor);
        // Left, bottom and right edges; the top stays open under the header.
        canvas.DrawLine(x, bodyTop, x, bodyTop + height - 1, bar_.BodyFrameColor);
        canvas.DrawLine(x, bodyTop + height - 1, x + w - 1, bodyTop + height - 1,
                        bar_.BodyFrameColor);
        canvas.DrawLine(x + w - 1, bodyTop + height - 1, x + w - 1, bodyTop, bar_.BodyFrameColor);
        if (Animating()) {
            // The items slide out from under the header.
            y -= FullHeight - CurrentHeight;
        }
        y += M::BodyMargin;
        for (const auto& item : Items) {
            if (item->Visible) {
                item->PaintItem(canvas, x, w, y);
            }
        }
        y += M::BodyMargin;
        if (Animating()) {
            canvas.BlendToward(body, bar_.BackgroundColor, CurrentHeight, FullHeight);
        }
    }
    BodyRect.Bottom = y;
    y += M::GroupGap;
}

void TExCustomItem::PaintItem(ExCanvas& canvas, int x, int groupWidth, int& y) {
    canvas.DrawDottedFrame(ExRect{x + 12, y + 2, x + groupWidth - 12, y + 18},
                           SystemColor(TSystemColor::ButtonText));
    y += M::BaseItemHeight;
}

int TExMenuItem::PaintLines(ExCanvas& canvas, int x, int textStart, int lineWidth, int& y) const {
    const int textHeight = canvas.TextHeight("A");
    int right = x + textStart;
    std::string rest = Caption;
    do {
        const std::string line = FitLine(rest, lineWidth, canvas);
        canvas.DrawString(x + textStart, y, line);
        right = std::max(right, x + textStart + canvas.TextWidth(line));
        y += textHeight + 1;
    } while (!rest.empty());
    return right;
}

void TExMenuItem::PaintItem(ExCanvas& canvas, int x, int groupWidth, int& y) {
    TExBar& bar = Bar();
    const bool hot = bar.HotObject() == this;
    canvas.SetFont(ExFontStyle{.Bold = false, .Underline = hot});
    canvas.SetTextColor(hot ? bar.HotTextColor : bar.TextColor);
    int textStart = M::LinkTextStart;
    int iconHeight = 0;
    if (HasIcon()) {
        canvas.DrawImage(*bar.ItemIcons, ImageIndex, x + 12, y);
        textStart = bar.ItemIcons->ImageWidth() + M::IconTextGap;
        iconHeight = bar.ItemIcons->ImageHeight();
    }
    HitRect.Left = x + 12;
    HitRect.Top = y;
    const int y0 = y;
    const int textHeight = canvas.TextHeight("A");
    if (textHeight < iconHeight) {
        y += (iconHeight - textHeight) / 2;
    }
    HitRect.Right = PaintLines(canvas, x, textStart, groupWidth + x - textStart - 24, y);
    y = std::max(y, y0 + iconHeight);
    HitRect.Bottom = y;
    y += M::ItemSpace;
}

void TExCheckBox::PaintItem(ExCanvas& canvas, int x, int groupWidth, int& y) {
    TExBar& bar = Bar();
    const bool hot = Enabled && bar.HotObject() == this;
    canvas.SetFont(ExFontStyle{.Bold = checked_ && Enabled, .Underline = hot});
    canvas.SetTextColor(hot ? bar.HotTextColor : bar.TextColor);
    canvas.DrawCheck(ExRect{x + 12, y, x + 28, y + 16}, checked_ ? 1 : 0, Enabled, Flat);
    const int textStart = M::CheckTextStart;
    const int iconHeight = 16;
    HitRect.Left = x + 12;
    HitRect.Top = y;
    const int y0 = y;
    const int textHeight = canvas.TextHeight("A");
    if (textHeight < iconHeight) {
        y += (iconHeight - textHeight) / 2;
    }
    HitRect.Right = PaintLines(canvas, x, textStart, groupWidth + x - 58, y);
    y = std::max(y, y0 + iconHeight);
    HitRect.Bottom = y;
    y += M::ItemSpace;
}

} // namespace ombrevane
