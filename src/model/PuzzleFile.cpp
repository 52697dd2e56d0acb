#include "model/PuzzleFile.h"

#include "model/ClueFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int CPuzzleFile::Load(const char* pszPath) {
    m_strLoadError.clear();
    std::FILE* pFile = std::fopen(pszPath, "r");
    if (!pFile) {
        m_strLoadError = std::string(pszPath) + ": cannot open the file: " + std::strerror(errno);
        return 0;
    }
    std::string strFault = ReadClueFile(pFile, *this, m_nMaxCells);
    if (!strFault.empty())
        m_strLoadError = std::string(pszPath) + ": " + strFault;
    return std::fclose(pFile);
}
