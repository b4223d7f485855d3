#include "ui/bitmap_outline.h"

namespace vexmora {

namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::uint32_t minInfoHeaderSize = 40;
// Far beyond any picture of the program; keeps a forged header from asking
// for gigabytes.
constexpr std::int64_t maxSide = 16384;

std::uint32_t u16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t s32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

}  // namespace

std::uint32_t Bitmap24::pixel(int x, int y) const {
    const std::size_t row = static_cast<std::size_t>(topDown ? y : height - 1 - y);
    const std::uint8_t* p = pixels + row * stride + static_cast<std::size_t>(x) * 3;
    return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];  // B, G, R
}

std::optional<Bitmap24> decodeBmp24(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < fileHeaderSize + minInfoHeaderSize) return std::nullopt;
    if (data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const std::uint32_t pixelOffset = u32(data + 10);
    const std::uint8_t* info = data + fileHeaderSize;
    const std::uint32_t infoSize = u32(info);
    if (infoSize < minInfoHeaderSize || infoSize > size - fileHeaderSize) return std::nullopt;
    const std::int64_t width = s32(info + 4);
    const std::int64_t rawHeight = s32(info + 8);
    const std::uint32_t planes = u16(info + 12);
    const std::uint32_t bitCount = u16(info + 14);
    const std::uint32_t compression = u32(info + 16);
    if (planes != 1 || bitCount != 24 || compression != 0) return std::nullopt;
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) return std::nullopt;

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t needed = static_cast<std::uint64_t>(pixelOffset) + stride * static_cast<std::uint64_t>(height);
    if (pixelOffset < fileHeaderSize + infoSize || needed > size) return std::nullopt;

    Bitmap24 bitmap;
    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.pixels = data + pixelOffset;
    bitmap.stride = static_cast<std::size_t>(stride);
    bitmap.topDown = topDown;
    return bitmap;
}

std::vector<OutlineRect> outlineRects(const Bitmap24& bitmap, std::uint32_t keyColour) {
    // 0x00BBGGRR -> 0xRRGGBB
    const std::uint32_t key = (keyColour & 0xFF) << 16 | (keyColour & 0xFF00) | (keyColour >> 16 & 0xFF);
    std::vector<OutlineRect> rects;
    if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels == nullptr ||
        bitmap.stride < static_cast<std::size_t>(bitmap.width) * 3)
        return rects;
    for (int y = 0; y < bitmap.height; ++y) {
        int x = 0;
        while (x < bitmap.width) {
            while (x < bitmap.width && bitmap.pixel(x, y) == key) ++x;
            if (x == bitmap.width) break;
            const int start = x;
            while (x < bitmap.width && bitmap.pixel(x, y) != key) ++x;
            rects.push_back({start, y, x, y + 1});
        }
    }
    return rects;
}

}  // namespace vexmora
