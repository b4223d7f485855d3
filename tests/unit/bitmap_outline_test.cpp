#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <utility>

#include "ui/bitmap_outline.h"

namespace vexmora {
namespace {

constexpr std::uint32_t magenta = 0xFF00FF;

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A 24-bit BMP file from rows of 0xRRGGBB, top row first.
std::vector<std::uint8_t> bmpFile(const std::vector<std::vector<std::uint32_t>>& rows, bool topDown = false) {
    const std::size_t height = rows.size();
    const std::size_t width = rows.empty() ? 0 : rows[0].size();
    const std::size_t stride = (width * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> file(54 + stride * height, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<std::uint32_t>(file.size()));
    put32(file, 10, 54);
    put32(file, 14, 40);
    put32(file, 18, static_cast<std::uint32_t>(width));
    put32(file, 22, topDown ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(height))
                            : static_cast<std::uint32_t>(height));
    put16(file, 26, 1);
    put16(file, 28, 24);
    for (std::size_t y = 0; y < height; ++y) {
        const std::size_t fileRow = topDown ? y : height - 1 - y;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t c = rows[y][x];
            std::uint8_t* p = file.data() + 54 + fileRow * stride + x * 3;
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    return file;
}

// A decoded picture reads its file in place, so the files are kept for the
// whole run.
std::optional<Bitmap24> decode(std::vector<std::uint8_t> file) {
    static std::deque<std::vector<std::uint8_t>> kept;
    const std::vector<std::uint8_t>& held = kept.emplace_back(std::move(file));
    return decodeBmp24(held.data(), held.size());
}

const std::vector<std::vector<std::uint32_t>> sample = {
    {0x102030, 0xFF00FF, 0x405060},
    {0xFF00FF, 0xFF00FF, 0xFF00FF},
    {0x708090, 0xA0B0C0, 0xFF00FF},
};

TEST(DecodeBmp24, ReadsBottomUpAndTopDownRowsInPictureOrder) {
    for (bool topDown : {false, true}) {
        const auto bitmap = decode(bmpFile(sample, topDown));
        ASSERT_TRUE(bitmap) << topDown;
        EXPECT_EQ(bitmap->width, 3);
        EXPECT_EQ(bitmap->height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(bitmap->pixel(x, y), sample[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                    << x << "," << y << " topDown " << topDown;
    }
}

TEST(DecodeBmp24, RejectsEveryBrokenHeaderAndShortFile) {
    const std::vector<std::uint8_t> good = bmpFile(sample);
    ASSERT_TRUE(decode(good));
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        int bytes;
    };
    const Case cases[] = {
        {"magic", 0, 'X', 1},
        {"info size below 40", 14, 12, 4},
        {"info size past the end", 14, 100000, 4},
        {"zero width", 18, 0, 4},
        {"negative width", 18, 0xFFFFFFFD, 4},
        {"zero height", 22, 0, 4},
        {"huge width", 18, 0x7FFFFFFF, 4},
        {"huge top-down height", 22, 0x80000000, 4},
        {"planes", 26, 2, 2},
        {"32 bits", 28, 32, 2},
        {"8 bits", 28, 8, 2},
        {"compressed", 30, 1, 4},
        {"pixels past the end", 10, 60, 4},
        {"pixels inside the header", 10, 20, 4},
        {"offset overflowing", 10, 0xFFFFFFF0, 4},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> file = good;
        if (c.bytes == 1) file[c.at] = static_cast<std::uint8_t>(c.value);
        else if (c.bytes == 2) put16(file, c.at, c.value);
        else put32(file, c.at, c.value);
        EXPECT_FALSE(decode(file)) << c.what;
    }
    // Every truncation, down to nothing, is refused without reading past the end.
    for (std::size_t size = 0; size < good.size(); ++size) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(decodeBmp24(cut.empty() ? nullptr : cut.data(), cut.size())) << size;
    }
    EXPECT_FALSE(decodeBmp24(nullptr, 100));
}

TEST(DecodeBmp24, IgnoresTheFileSizeFieldAndTrailingBytes) {
    std::vector<std::uint8_t> file = bmpFile(sample);
    put32(file, 2, 7);  // a wrong total size in the file header
    file.push_back(0);
    file.push_back(0);
    EXPECT_TRUE(decode(file));
}

TEST(OutlineRects, OneRectanglePerMaximalNonKeyRun) {
    const auto bitmap = decode(bmpFile({
        {0xFF00FF, 0x000001, 0x000002, 0xFF00FF, 0x000003},
        {0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF},
        {0x000004, 0x000005, 0x000006, 0x000007, 0x000008},
        {0xFF00FE, 0xFE00FF, 0xFF01FF, 0xFF00FF, 0x000000},  // near-key colours are not the key
    }));
    ASSERT_TRUE(bitmap);
    const std::vector<OutlineRect> expected = {
        {1, 0, 3, 1}, {4, 0, 5, 1}, {0, 2, 5, 3}, {0, 3, 3, 4}, {4, 3, 5, 4},
    };
    EXPECT_EQ(outlineRects(*bitmap, magenta), expected);
}

TEST(OutlineRects, KeyIsAWindowsColourValue) {
    // 0x0000FF is red as a Windows colour value (0x00BBGGRR).
    const auto bitmap = decode(bmpFile({{0xFF0000, 0x0000FF, 0xFF0000}}));
    ASSERT_TRUE(bitmap);
    const std::vector<OutlineRect> redKept = {{0, 0, 1, 1}, {2, 0, 3, 1}};
    const std::vector<OutlineRect> redCut = {{1, 0, 2, 1}};
    EXPECT_EQ(outlineRects(*bitmap, 0x0000FF), redCut);
    EXPECT_EQ(outlineRects(*bitmap, 0xFF0000), redKept);
}

TEST(OutlineRects, AllKeyGivesNothingAndABitmapWithoutPixelsIsSafe) {
    const auto bitmap = decode(bmpFile({{magenta, magenta}, {magenta, magenta}}));
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(outlineRects(*bitmap, magenta).empty());
    Bitmap24 inconsistent;
    inconsistent.width = 10;
    inconsistent.height = 10;  // and no pixel data
    EXPECT_TRUE(outlineRects(inconsistent, magenta).empty());
    const std::uint8_t row[3] = {};
    inconsistent.pixels = row;
    inconsistent.stride = 3;  // rows narrower than the width
    EXPECT_TRUE(outlineRects(inconsistent, magenta).empty());
}

}  // namespace
}  // namespace vexmora
