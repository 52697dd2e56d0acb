#include "io/BmpFile.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

namespace {

uint32_t Le32(const std::string& bytes, size_t nOffset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[nOffset + static_cast<size_t>(i)]);
    return value;
}

uint16_t Le16(const std::string& bytes, size_t nOffset) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[nOffset]) | static_cast<uint8_t>(bytes[nOffset + 1]) << 8);
}

// Packed pixels whose every byte tells where it comes from: row r, byte i.
std::vector<uint8_t> NumberedPixels(int nWidth, int nHeight) {
    std::vector<uint8_t> pixels;
    for (int r = 0; r < nHeight; ++r)
        for (int i = 0; i < 3 * nWidth; ++i)
            pixels.push_back(static_cast<uint8_t>(16 * r + i));
    return pixels;
}

struct SizeCase {
    int nWidth, nHeight;
    uint32_t nStride; // bytes of a stored row
};

TEST(Bmp24, HeadersAndPaddedBottomUpRowsForEveryPadding) {
    const SizeCase cases[] = {{5, 3, 16}, {1, 2, 4}, {2, 2, 8}, {3, 1, 12}, {4, 2, 12}, {0, 3, 0}, {3, 0, 12}};
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.nWidth) + " x " + std::to_string(c.nHeight));
        const std::vector<uint8_t> pixels = NumberedPixels(c.nWidth, c.nHeight);
        const std::string file = EncodeBmp24(c.nWidth, c.nHeight, pixels);
        const uint32_t nData = c.nStride * static_cast<uint32_t>(c.nHeight);
        ASSERT_EQ(file.size(), 54 + nData);
        EXPECT_EQ(file.substr(0, 2), "BM");
        EXPECT_EQ(Le32(file, 2), 54 + nData);
        EXPECT_EQ(Le32(file, 6), 0u);
        EXPECT_EQ(Le32(file, 10), 54u);
        EXPECT_EQ(Le32(file, 14), 40u);
        EXPECT_EQ(Le32(file, 18), static_cast<uint32_t>(c.nWidth));
        EXPECT_EQ(Le32(file, 22), static_cast<uint32_t>(c.nHeight));
        EXPECT_EQ(Le16(file, 26), 1);
        EXPECT_EQ(Le16(file, 28), 24);
        EXPECT_EQ(Le32(file, 30), 0u);
        EXPECT_EQ(Le32(file, 34), nData);
        for (size_t nOffset = 38; nOffset < 54; nOffset += 4)
            EXPECT_EQ(Le32(file, nOffset), 0u);
        const size_t nRowBytes = 3 * static_cast<size_t>(c.nWidth);
        for (int s = 0; s < c.nHeight; ++s) {
            // stored row s is picture row H-1-s, then the row's first bytes again
            const size_t r = static_cast<size_t>(c.nHeight - 1 - s);
            const std::string stored = file.substr(54 + static_cast<size_t>(s) * c.nStride, c.nStride);
            const std::string row(reinterpret_cast<const char*>(pixels.data()) + r * nRowBytes, nRowBytes);
            EXPECT_EQ(stored, row + row.substr(0, c.nStride - nRowBytes)) << "stored row " << s;
        }
    }
}

TEST(Bmp24, CellPixelsAreBlackForFilledCellsAndWhiteOtherwise) {
    CPuzzle puzzle;
    puzzle.SetSize(2, 2);
    puzzle.SetCell(0, 0, CELL_FILLED);
    puzzle.SetCell(0, 1, CELL_EMPTY);
    puzzle.SetCell(1, 1, CELL_FILLED); // (1, 0) stays unknown
    const std::vector<uint8_t> expected = {0, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(CellPixels(puzzle), expected);
}

} // namespace
