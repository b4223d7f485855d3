#include "ui/picture_win32.h"

#include <algorithm>
#include <cstring>

namespace vexmora::win32 {

namespace {

// Rectangles per ExtCreateRegion call.
constexpr std::size_t regionBatch = 2000;

int floorDiv(int value, int divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

}  // namespace

std::optional<Bitmap24> loadPictureResource(HINSTANCE instance, int resourceId) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = LoadResource(instance, found);
    const DWORD size = SizeofResource(instance, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return std::nullopt;
    return decodeBmp24(static_cast<const std::uint8_t*>(data), size);
}

UniqueRegion regionFromRects(const std::vector<OutlineRect>& rects) {
    UniqueRegion result(CreateRectRgn(0, 0, 0, 0));
    if (!result) return result;
    for (std::size_t first = 0; first < rects.size(); first += regionBatch) {
        const std::size_t count = std::min(regionBatch, rects.size() - first);
        std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
        RGNDATAHEADER header{};
        header.dwSize = sizeof(RGNDATAHEADER);
        header.iType = RDH_RECTANGLES;
        header.nCount = static_cast<DWORD>(count);
        header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
        header.rcBound = {rects[first].left, rects[first].top, rects[first].right, rects[first].bottom};
        for (std::size_t k = 0; k < count; ++k) {
            const OutlineRect& r = rects[first + k];
            const RECT rect{r.left, r.top, r.right, r.bottom};
            header.rcBound.left = std::min(header.rcBound.left, rect.left);
            header.rcBound.top = std::min(header.rcBound.top, rect.top);
            header.rcBound.right = std::max(header.rcBound.right, rect.right);
            header.rcBound.bottom = std::max(header.rcBound.bottom, rect.bottom);
            std::memcpy(buffer.data() + sizeof(RGNDATAHEADER) + k * sizeof(RECT), &rect, sizeof(RECT));
        }
        std::memcpy(buffer.data(), &header, sizeof(header));
        UniqueRegion batch(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()),
                                           reinterpret_cast<const RGNDATA*>(buffer.data())));
        if (batch) CombineRgn(result.get(), result.get(), batch.get(), RGN_OR);
    }
    return result;
}

TiledPicture::TiledPicture(const Bitmap24& bitmap) {
    // A BMP file's pixel array is already a DIB's: rows padded to four bytes,
    // B, G, R, bottom-up unless the height is negative.
    if (bitmap.pixels == nullptr || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.stride != ((static_cast<std::size_t>(bitmap.width) * 3 + 3) & ~std::size_t{3}))
        return;
    header_.biSize = sizeof(BITMAPINFOHEADER);
    header_.biWidth = bitmap.width;
    header_.biHeight = bitmap.topDown ? -bitmap.height : bitmap.height;
    header_.biPlanes = 1;
    header_.biBitCount = 24;
    header_.biCompression = BI_RGB;
    bits_ = bitmap.pixels;
    width_ = bitmap.width;
    height_ = bitmap.height;
}

void TiledPicture::paint(HDC dc, const RECT& area, POINT origin) const {
    if (bits_ == nullptr) return;
    BITMAPINFO info{};
    info.bmiHeader = header_;
    const int firstColumn = floorDiv(area.left + origin.x, width_);
    const int lastColumn = floorDiv(area.right - 1 + origin.x, width_);
    const int firstRow = floorDiv(area.top + origin.y, height_);
    const int lastRow = floorDiv(area.bottom - 1 + origin.y, height_);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            StretchDIBits(dc, column * width_ - origin.x, row * height_ - origin.y, width_, height_, 0, 0, width_,
                          height_, bits_, &info, DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace vexmora::win32
