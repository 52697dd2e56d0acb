#pragma once

#include "model/ClueFile.h"
#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"

#include <cstdio>
#include <string>

// A puzzle that can load itself from a clue file.
class CPuzzleFile : public CPuzzle {
  public:
    virtual ~CPuzzleFile() = default;

    // Reads the clue file at `pszPath` (".tb", or the ".non", plain or XML
    // formats, told apart by extension and content). Returns 0 when the file cannot be
    // opened, otherwise the status of closing it (0 when it closed normally).
    // A file that cannot be opened or read, or that breaks the format, leaves
    // the puzzle empty and GetLoadError() says why, naming the file and line.
    virtual int Load(const char* pszPath);

    const std::string& GetLoadError() const { return m_strLoadError; }
    // What the file carried besides the clues (".non", XML: title, author,
    // goal; XML: how many puzzles it holds).
    const PuzzleExtras& GetExtras() const { return m_extras; }
    // The largest grid Load accepts, in cells (see kDefaultMaxCells).
    void SetMaxCells(int64_t nMaxCells) { m_nMaxCells = nMaxCells; }

  private:
    // The file's text read and handed to the reader of its format; the
    // fault, or empty.
    std::string ReadAndParse(std::FILE* pFile, const char* pszPath);

    std::string m_strLoadError;
    int64_t m_nMaxCells = kDefaultMaxCells;
    PuzzleExtras m_extras;
};
