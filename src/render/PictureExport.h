#pragma once

#include "io/AtomicFile.h"
#include "io/PictureFormat.h"

#include <string>

class CGridRenderer;

// The picture in the formats people pass on: PNG and BMP pixel for pixel,
// SVG and PDF as shapes and text (a picture pixel is 1/96 inch), so that
// they stay sharp at any size. The GUI's Export Picture and the command
// line's --export both come here.

// The whole picture in `format`. False, with the reason, when the picture
// could not be drawn or encoded.
bool EncodePicture(const CGridRenderer& renderer, PictureFormat format, std::string& strBytes, std::string& strError);

// EncodePicture written to `strPath`, all or nothing.
SaveResult ExportPicture(const CGridRenderer& renderer, const std::string& strPath, PictureFormat format);
