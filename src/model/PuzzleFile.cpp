#include "model/PuzzleFile.h"

#include "model/ClueFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The rest of an open file; false on a read error.
bool ReadRest(std::FILE* pFile, std::string& text) {
    char buffer[65536];
    size_t nRead;
    while ((nRead = std::fread(buffer, 1, sizeof buffer, pFile)) > 0)
        text.append(buffer, nRead);
    return !std::ferror(pFile);
}

} // namespace

int CPuzzleFile::Load(const char* pszPath) {
    m_strLoadError.clear();
    m_extras = PuzzleExtras();
    std::FILE* pFile = std::fopen(pszPath, "r");
    if (!pFile) {
        m_strLoadError = std::string(pszPath) + ": cannot open the file: " + std::strerror(errno);
        return 0;
    }
    // The first bytes tell the format when the extension does not.
    char head[512];
    const size_t nHead = std::fread(head, 1, sizeof head, pFile);
    const PuzzleFormat format = DetectFormat(pszPath, std::string_view(head, nHead));
    std::string strFault;
    if (format == PuzzleFormat::Tabulon) {
        std::rewind(pFile);
        strFault = ReadClueFile(pFile, *this, m_nMaxCells);
    } else {
        std::string text(head, nHead);
        if (std::ferror(pFile) || !ReadRest(pFile, text)) {
            strFault = std::string("cannot read the file: ") + std::strerror(errno ? errno : EIO);
            SetSize(0, 0);
        } else if (format == PuzzleFormat::Non) {
            strFault = ReadNonText(text, *this, m_extras, m_nMaxCells);
        } else if (format == PuzzleFormat::Xml) {
            strFault = ReadXmlText(text, *this, m_extras, m_nMaxCells);
        } else {
            strFault = ReadPlainText(text, *this, m_nMaxCells);
        }
    }
    if (!strFault.empty())
        m_strLoadError = std::string(pszPath) + ": " + strFault;
    return std::fclose(pFile);
}
