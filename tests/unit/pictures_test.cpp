// The committed pictures of the two windows and the program icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "ui/bitmap_outline.h"

namespace vexmora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Point = std::pair<int, int>;

constexpr std::uint32_t key = 0xFF00FF;
constexpr std::uint32_t white = 0xFFFFFF;

Bytes readPicture(const std::string& name) {
    std::ifstream file(std::string(VEXMORA_SOURCE_DIR) + "/ui/pictures/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

std::uint32_t u32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint32_t u16(const Bytes& b, std::size_t at) { return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8); }

struct PictureCase {
    const char* file;
    int height;
    std::size_t bytes;
};
const PictureCase pictures[] = {
    {"bar.bmp", 22, 10352},
    {"panel.bmp", 134, 62768},
    {"panel_outline.bmp", 134, 62768},
};

// A decoded picture reads its file in place: the files stay for the run.
Bitmap24 load(const PictureCase& c) {
    static std::map<std::string, Bytes> files;
    const Bytes& file = files.try_emplace(c.file, readPicture(c.file)).first->second;
    auto bitmap = decodeBmp24(file.data(), file.size());
    if (!bitmap) ADD_FAILURE() << c.file << " does not decode";
    return bitmap.value_or(Bitmap24{});
}

std::set<Point> keyPixels(const Bitmap24& b) {
    std::set<Point> points;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.pixel(x, y) == key) points.insert({x, y});
    return points;
}

// The outermost ring and the four pixels diagonally inside its corners.
std::set<Point> expectedKey(int w, int h) {
    std::set<Point> points;
    for (int x = 0; x < w; ++x) points.insert({x, 0}), points.insert({x, h - 1});
    for (int y = 0; y < h; ++y) points.insert({0, y}), points.insert({w - 1, y});
    for (Point p : {Point{1, 1}, Point{w - 2, 1}, Point{1, h - 2}, Point{w - 2, h - 2}}) points.insert(p);
    return points;
}

TEST(Pictures, AreUncompressed24BitBottomUpFilesOfTheDesignedSize) {
    for (const PictureCase& c : pictures) {
        SCOPED_TRACE(c.file);
        const Bytes file = readPicture(c.file);
        ASSERT_EQ(file.size(), c.bytes);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(u32(file, 2), c.bytes);
        EXPECT_EQ(u32(file, 10), 54u);
        EXPECT_EQ(u32(file, 14), 40u);
        EXPECT_EQ(static_cast<std::int32_t>(u32(file, 18)), 155);
        EXPECT_EQ(static_cast<std::int32_t>(u32(file, 22)), c.height);  // positive: bottom-up
        EXPECT_EQ(u16(file, 26), 1u);
        EXPECT_EQ(u16(file, 28), 24u);
        EXPECT_EQ(u32(file, 30), 0u);
        const Bitmap24 b = load(c);
        EXPECT_EQ(b.width, 155);
        EXPECT_EQ(b.height, c.height);
    }
}

TEST(Pictures, KeyColourIsExactlyTheRingAndTheFourInnerCorners) {
    for (const PictureCase& c : pictures) {
        SCOPED_TRACE(c.file);
        const Bitmap24 b = load(c);
        EXPECT_EQ(keyPixels(b), expectedKey(155, c.height));
    }
}

TEST(Pictures, OutlinePictureDiffersFromThePanelOnlyInside) {
    const Bitmap24 panel = load(pictures[1]);
    const Bitmap24 outline = load(pictures[2]);
    EXPECT_EQ(keyPixels(panel), keyPixels(outline));
    bool anyDifferent = false;
    for (int y = 0; y < panel.height; ++y)
        for (int x = 0; x < panel.width; ++x) anyDifferent |= panel.pixel(x, y) != outline.pixel(x, y);
    EXPECT_TRUE(anyDifferent);
}

// Border one pixel inside the ring, white ring inside that, corners excepted.
void expectFrame(const Bitmap24& b, std::uint32_t border) {
    const int w = b.width, h = b.height;
    const std::set<Point> keys = expectedKey(w, h);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            if (keys.count({x, y})) continue;
            const bool onBorder = x == 1 || y == 1 || x == w - 2 || y == h - 2;
            const bool onWhite = !onBorder && (x == 2 || y == 2 || x == w - 3 || y == h - 3);
            if (onBorder) {
                EXPECT_EQ(b.pixel(x, y), border) << x << "," << y;
            }
            if (onWhite) {
                EXPECT_EQ(b.pixel(x, y), white) << x << "," << y;
            }
        }
}

TEST(Pictures, BorderAndInnerRing) {
    expectFrame(load(pictures[0]), 0x5E9DD2);
    expectFrame(load(pictures[1]), 0x79ADD9);
}

// A strongly coloured pixel: an arrow's, never the pale fill's or the frame's.
bool arrowColoured(std::uint32_t c) {
    const int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, bl = c & 0xFF;
    return std::max({r, g, bl}) - std::min({r, g, bl}) > 100 && c != key;
}

struct Arrow {
    int left, top;
    std::uint32_t tailColour, headColour;
    bool down;
};

void expectArrows(const Bitmap24& b, const std::vector<Arrow>& arrows) {
    for (int y = 2; y < b.height - 2; ++y)  // inside the blue border
        for (int x = 2; x < b.width - 2; ++x) {
            if (!arrowColoured(b.pixel(x, y))) continue;
            const bool inside = std::any_of(arrows.begin(), arrows.end(), [&](const Arrow& a) {
                return x >= a.left && x < a.left + 8 && y >= a.top && y < a.top + 8;
            });
            EXPECT_TRUE(inside) << "arrow colour outside the arrows at " << x << "," << y;
        }
    for (const Arrow& a : arrows) {
        SCOPED_TRACE(std::to_string(a.left) + "," + std::to_string(a.top));
        // Two-pixel shaft in the middle columns, tail and head in the stated colours.
        const int tailRow = a.down ? a.top : a.top + 7;
        const int headRow = a.down ? a.top + 6 : a.top;
        EXPECT_EQ(b.pixel(a.left + 3, tailRow), a.tailColour);
        EXPECT_EQ(b.pixel(a.left + 4, tailRow), a.tailColour);
        EXPECT_EQ(b.pixel(a.left + 3, headRow), a.headColour);
        EXPECT_FALSE(arrowColoured(b.pixel(a.left + 2, tailRow)));
        const int shaftEnd = a.down ? a.top + 7 : a.top + 8;  // the down arrow's last row is its white edge
        for (int y = a.top; y < shaftEnd; ++y) EXPECT_TRUE(arrowColoured(b.pixel(a.left + 3, y))) << y;
        // The white edge under the head.
        if (a.down) {
            EXPECT_EQ(b.pixel(a.left + 3, a.top + 7), white);
            EXPECT_EQ(b.pixel(a.left + 4, a.top + 7), white);
        } else {
            EXPECT_EQ(b.pixel(a.left, a.top + 4), white);
            EXPECT_EQ(b.pixel(a.left + 7, a.top + 4), white);
        }
    }
}

TEST(Pictures, ArrowsStandAtTheirPlaces) {
    const std::uint32_t yellow = 0xFCE40F, orange = 0xF49E0F, lightGreen = 0x0FEA0F, darkGreen = 0x0F900F;
    expectArrows(load(pictures[0]), {{8, 7, yellow, orange, true}, {82, 7, darkGreen, lightGreen, false}});
    expectArrows(load(pictures[1]), {{8, 40, yellow, orange, true}, {8, 55, darkGreen, lightGreen, false}});
}

TEST(Pictures, BandsAndDividers) {
    const Bitmap24 bar = load(pictures[0]);
    EXPECT_EQ(bar.pixel(40, 3), 0xF9FCFDu);
    EXPECT_EQ(bar.pixel(40, 10), 0xE8F4F8u);
    EXPECT_EQ(bar.pixel(40, 12), 0xDEEFF6u);
    EXPECT_EQ(bar.pixel(76, 11), 0xBFD9EBu);  // the divider's darkest pixel
    // The divider fades away from row 11, and is darker than its neighbours.
    EXPECT_GT(bar.pixel(76, 4) & 0xFF, bar.pixel(76, 11) & 0xFF);
    EXPECT_LT(bar.pixel(76, 8) & 0xFF, bar.pixel(75, 8) & 0xFF);

    const Bitmap24 panel = load(pictures[1]);
    EXPECT_EQ(panel.pixel(77, 3), 0xFCFDFEu);
    EXPECT_EQ(panel.pixel(77, 28), 0xEBF6FAu);
    EXPECT_EQ(panel.pixel(77, 29), 0xD9EDF4u);  // etched separators, strongest in the middle
    EXPECT_EQ(panel.pixel(77, 30), white);
    EXPECT_EQ(panel.pixel(77, 73), 0xD9EDF4u);
    EXPECT_EQ(panel.pixel(77, 74), white);
    EXPECT_EQ(panel.pixel(77, 31), 0xEAF5F9u);
    EXPECT_EQ(panel.pixel(77, 44), 0xE2F1F6u);
    EXPECT_EQ(panel.pixel(77, 130), 0xE2F1F6u);
    EXPECT_NE(panel.pixel(4, 29), 0xD9EDF4u);  // faded toward the ends
}

TEST(Pictures, IconHoldsFourSizesIn32BitColour) {
    const Bytes icon = readPicture("vexmora.ico");
    ASSERT_GE(icon.size(), 6u + 4 * 16);
    EXPECT_EQ(u16(icon, 0), 0u);
    EXPECT_EQ(u16(icon, 2), 1u);
    ASSERT_EQ(u16(icon, 4), 4u);
    std::set<int> sizes;
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t entry = 6 + k * 16;
        const int size = icon[entry];
        sizes.insert(size);
        EXPECT_EQ(u16(icon, entry + 6), 32u);
        const std::size_t length = u32(icon, entry + 8), offset = u32(icon, entry + 12);
        ASSERT_LE(offset + length, icon.size());
        EXPECT_EQ(u32(icon, offset), 40u);                       // BITMAPINFOHEADER
        EXPECT_EQ(static_cast<int>(u32(icon, offset + 4)), size);
        EXPECT_EQ(static_cast<int>(u32(icon, offset + 8)), 2 * size);
        EXPECT_EQ(u16(icon, offset + 14), 32u);
        const std::size_t maskStride = static_cast<std::size_t>((size + 31) / 32 * 4);
        EXPECT_EQ(length, 40 + static_cast<std::size_t>(size * size * 4) + maskStride * static_cast<std::size_t>(size));
    }
    EXPECT_EQ(sizes, (std::set<int>{48, 32, 24, 16}));
}

}  // namespace
}  // namespace vexmora
