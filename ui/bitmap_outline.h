// Decoding of the windows' 24-bit pictures and the outline cut from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vexmora {

// A 24-bit picture read in place from the bytes of its BMP file, which must
// outlive it: the program's pictures are never copied.
struct Bitmap24 {
    int width = 0;
    int height = 0;
    const std::uint8_t* pixels = nullptr;  // the file's pixel array
    std::size_t stride = 0;                // bytes per row in the file
    bool topDown = false;                  // rows stored top to bottom

    // 0xRRGGBB of the pixel at (x, y), y counted from the top; the caller
    // keeps x and y in range.
    std::uint32_t pixel(int x, int y) const;
};

// An uncompressed 24-bit BMP file (bottom-up or top-down), checked to hold
// every pixel row. Anything else, a short or inconsistent file included,
// gives nothing.
std::optional<Bitmap24> decodeBmp24(const std::uint8_t* data, std::size_t size);

struct OutlineRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    friend bool operator==(const OutlineRect&, const OutlineRect&) = default;
};

// Row by row from the top, every maximal run of pixels whose colour is not
// the key, as a one-row rectangle. keyColour is a Windows colour 0x00BBGGRR.
std::vector<OutlineRect> outlineRects(const Bitmap24& bitmap, std::uint32_t keyColour);

}  // namespace vexmora
