#include "io/PictureFormat.h"

#include <algorithm>
#include <cctype>

std::optional<PictureFormat> PictureFormatOf(const std::string& strPath) {
    const size_t nDot = strPath.find_last_of("./");
    if (nDot == std::string::npos || strPath[nDot] != '.')
        return std::nullopt;
    std::string strExtension = strPath.substr(nDot + 1);
    std::transform(strExtension.begin(), strExtension.end(), strExtension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (strExtension == "png")
        return PictureFormat::Png;
    if (strExtension == "svg")
        return PictureFormat::Svg;
    if (strExtension == "pdf")
        return PictureFormat::Pdf;
    if (strExtension == "bmp")
        return PictureFormat::Bmp;
    return std::nullopt;
}
