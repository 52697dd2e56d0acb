#include "io/BmpFile.h"

#include "model/Puzzle.h"

#include <algorithm>

namespace {

void PutLe16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutLe32(std::string& out, uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

} // namespace

std::string EncodeBmp24(int nWidth, int nHeight, const std::vector<uint8_t>& pixels) {
    const size_t nRowBytes = 3 * static_cast<size_t>(nWidth);
    const size_t nStride = (nRowBytes + 3) / 4 * 4;
    const size_t nPadding = nStride - nRowBytes;
    const size_t nDataSize = nStride * static_cast<size_t>(nHeight);

    std::string out;
    out.reserve(54 + nDataSize);
    out += "BM";
    PutLe32(out, static_cast<uint32_t>(54 + nDataSize)); // file size
    PutLe32(out, 0);                                     // two reserved fields
    PutLe32(out, 54);                                    // offset of the pixels
    PutLe32(out, 40);                                    // information header size
    PutLe32(out, static_cast<uint32_t>(nWidth));
    PutLe32(out, static_cast<uint32_t>(nHeight)); // positive: bottom row first
    PutLe16(out, 1);                              // planes
    PutLe16(out, 24);                             // bits per pixel
    PutLe32(out, 0);                              // no compression
    PutLe32(out, static_cast<uint32_t>(nDataSize));
    for (int i = 0; i < 4; ++i)
        PutLe32(out, 0); // resolutions, colours used, important colours

    for (size_t r = static_cast<size_t>(nHeight); r-- > 0;) {
        const char* pRow = reinterpret_cast<const char*>(pixels.data()) + r * nRowBytes;
        out.append(pRow, nRowBytes);
        // The padding repeats the row's first bytes (a row of at least one
        // pixel has 3 bytes, as many as the padding can need).
        out.append(pRow, nPadding);
    }
    return out;
}

SaveResult SaveBmp24(const std::string& strPath, int nWidth, int nHeight, const std::vector<uint8_t>& pixels) {
    return WriteFileAtomically(strPath, EncodeBmp24(nWidth, nHeight, pixels));
}

std::vector<uint8_t> CellPixels(const CPuzzle& puzzle) {
    const int nWidth = puzzle.GetWidth(), nHeight = puzzle.GetHeight();
    std::vector<uint8_t> pixels(3 * static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), 0xFF);
    for (int r = 0; r < nHeight; ++r)
        for (int c = 0; c < nWidth; ++c)
            if (puzzle.GetCell(r, c) == CELL_FILLED)
                std::fill_n(pixels.begin() + 3 * (static_cast<ptrdiff_t>(r) * nWidth + c), 3, uint8_t{0});
    return pixels;
}
