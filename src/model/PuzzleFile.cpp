#include "model/PuzzleFile.h"

#include "model/ClueFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// No file of a puzzle within the cell limit comes near this size (XML, the
// longest format, spends about 20 bytes a cell); reading stops here, so an
// endless stream ends in a message rather than in exhausted memory.
int64_t MaxFileBytes(int64_t nMaxCells) {
    return std::max<int64_t>(nMaxCells, int64_t{1} << 15) * 32;
}

// The whole file, read once: a pipe cannot be read twice, and the format is
// told from all of it. Empty when it is read completely, else the fault.
std::string ReadWhole(std::FILE* pFile, int64_t nMaxBytes, std::string& text) {
    char buffer[65536];
    size_t nRead;
    while ((nRead = std::fread(buffer, 1, sizeof buffer, pFile)) > 0) {
        if (static_cast<int64_t>(text.size() + nRead) > nMaxBytes)
            return "the file is larger than " + std::to_string(nMaxBytes >> 20) +
                   " MiB, more than any puzzle within the limit needs";
        text.append(buffer, nRead);
    }
    if (std::ferror(pFile))
        return std::string("cannot read the file: ") + std::strerror(errno ? errno : EIO);
    return std::string();
}

// The ".tb" reader reads from a stream; it gets the text already read.
std::string ReadClueText(std::string& text, CPuzzle& puzzle, int64_t nMaxCells) {
    std::FILE* pText = fmemopen(text.data(), text.size(), "r");
    if (!pText)
        return std::string("cannot read the file: ") + std::strerror(errno);
    std::string strFault = ReadClueFile(pText, puzzle, nMaxCells);
    std::fclose(pText);
    return strFault;
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
    std::string strFault;
    try {
        strFault = ReadAndParse(pFile, pszPath);
    } catch (const std::bad_alloc&) {
        strFault = "not enough memory to read the file";
    }
    if (!strFault.empty()) {
        SetSize(0, 0);
        m_strLoadError = std::string(pszPath) + ": " + strFault;
    }
    return std::fclose(pFile);
}

std::string CPuzzleFile::ReadAndParse(std::FILE* pFile, const char* pszPath) {
    std::string text;
    errno = 0;
    std::string strFault = ReadWhole(pFile, MaxFileBytes(m_nMaxCells), text);
    if (!strFault.empty())
        return strFault;
    switch (DetectFormat(pszPath, text)) {
    case PuzzleFormat::Tabulon:
        return ReadClueText(text, *this, m_nMaxCells);
    case PuzzleFormat::Non:
        return ReadNonText(text, *this, m_extras, m_nMaxCells);
    case PuzzleFormat::Xml:
        return ReadXmlText(text, *this, m_extras, m_nMaxCells);
    case PuzzleFormat::Plain:
        return ReadPlainText(text, *this, m_nMaxCells);
    }
    return std::string();
}
