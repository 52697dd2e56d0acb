#pragma once

#include "io/AtomicFile.h"

#include <cstdint>
#include <string>
#include <vector>

class CPuzzle;

// An uncompressed 24-bit BMP of nWidth x nHeight pixels from packed rows (top
// row first, blue-green-red, 3 x nWidth bytes each). The file stores the
// bottom row first; each stored row is padded to a multiple of 4 bytes with a
// copy of the row's first bytes.
std::string EncodeBmp24(int nWidth, int nHeight, const std::vector<uint8_t>& pixels);

// EncodeBmp24 written to `strPath`, all or nothing.
SaveResult SaveBmp24(const std::string& strPath, int nWidth, int nHeight, const std::vector<uint8_t>& pixels);

// One pixel per cell, packed rows top first: filled cells black, every other
// cell white.
std::vector<uint8_t> CellPixels(const CPuzzle& puzzle);
