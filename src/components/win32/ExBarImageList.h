#pragma once
// An image list the navigation bar draws its icons from. The caller keeps the list alive.
//
// Drawing straight from an image list costs about a tenth of a millisecond per icon under
// Wine, which alone would use up a hot-tracking update. So every image is drawn once over
// black and once over white; the two give its premultiplied pixels, which one AlphaBlend puts
// down as the list would have: masked images exactly, alpha images within a step or two. The
// snapshot is taken again when the list's image count or image size changes; after replacing
// an image in place, hand the list to the bar again.

#include "components/ExBar.h"
#include "components/win32/ExDibBuffer.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

namespace ombrevane {

class ExBarImageList final : public ExImageList {
public:
    explicit ExBarImageList(HIMAGELIST list);
    // The list's own image size, asked afresh.
    int ImageWidth() const override;
    int ImageHeight() const override;

    // Image `index` with its top-left corner at (x, y); its transparent pixels leave `dc` as
    // it was. An index outside the list draws nothing.
    void Draw(HDC dc, int index, int x, int y) const;
    // Whether the premultiplied copy is in use (false: the list draws each image itself).
    bool HasSnapshot() const;

private:
    SIZE IconSize() const;
    // Takes the snapshot again when the list's image count or image size changed.
    void RefreshSnapshot(int count) const;
    void TakeSnapshot(int count) const;

    HIMAGELIST list_;
    // A cache of what the list draws, refreshed from Draw.
    mutable int width_ = 0;
    mutable int height_ = 0;
    mutable int snapshotCount_ = -1;
    mutable std::unique_ptr<ExDibBuffer> snapshot_;
};

} // namespace ombrevane
