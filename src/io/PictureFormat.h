#pragma once

#include <optional>
#include <string>

// The formats the whole picture is exported in: PNG and BMP pixel for pixel,
// SVG and PDF as shapes and text.
enum class PictureFormat { Png, Svg, Pdf, Bmp };

// The format a file name's extension asks for (".png", ".svg", ".pdf",
// ".bmp", in any case), or none.
std::optional<PictureFormat> PictureFormatOf(const std::string& strPath);
