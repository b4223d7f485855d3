// The windows' pictures as embedded BMP resources: tiled backgrounds and
// outline regions.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "app/win32_handles.h"
#include "ui/bitmap_outline.h"

namespace vexmora::win32 {

// The picture of an RCDATA resource, read in place (resources live as long
// as the exe); nothing when it is missing or not a 24-bit BMP.
std::optional<Bitmap24> loadPictureResource(HINSTANCE instance, int resourceId);

// The union of the rectangles, built in batches.
UniqueRegion regionFromRects(const std::vector<OutlineRect>& rects);

// A window's background picture, tiled from the window's top-left corner.
// It paints straight from the picture's bytes, which must outlive it.
class TiledPicture {
public:
    TiledPicture() = default;
    explicit TiledPicture(const Bitmap24& bitmap);
    // Paints area of dc, where dc pixel (x, y) is window pixel
    // (x + origin.x, y + origin.y). Without a picture the area is left alone.
    void paint(HDC dc, const RECT& area, POINT origin) const;

private:
    BITMAPINFOHEADER header_{};
    const void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vexmora::win32
