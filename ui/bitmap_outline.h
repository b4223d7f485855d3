// Decoding of the windows' 24-bit pictures and the outline cut from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vexmora {

// A decoded picture, rows top to bottom, three bytes R, G, B per pixel.
struct Bitmap24 {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    // 0xRRGGBB of the pixel at (x, y); the caller keeps x and y in range.
    std::uint32_t pixel(int x, int y) const;
};

// An uncompressed 24-bit BMP file (bottom-up or top-down). Anything else, a
// short or inconsistent file included, gives nothing.
std::optional<Bitmap24> decodeBmp24(const std::uint8_t* data, std::size_t size);

struct OutlineRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    friend bool operator==(const OutlineRect&, const OutlineRect&) = default;
};

// Row by row from the top, every maximal run of pixels whose colour is not
// the key, as a one-row rectangle. keyColour is a Windows colour 0x00BBGGRR.
std::vector<OutlineRect> outlineRects(const Bitmap24& bitmap, std::uint32_t keyColour);

}  // namespace vexmora
