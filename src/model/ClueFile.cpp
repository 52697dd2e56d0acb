#include "model/ClueFile.h"

#include "model/Puzzle.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace {

// Failure of one step of the reader; carries the message without the line.
struct ReadFailure {
    std::string strMessage;
};

// Reads the file a line at a time. A line ends at a line feed, or at a
// carriage return that another character follows on the same line (old
// Mac files end their lines with CR alone); neither is kept. A carriage
// return before the line feed stays in the line, where both the header and
// the clue lines read it as white space. A UTF-8 byte order mark at the
// start of the file (Notepad writes one) is dropped. Everything else, a NUL
// byte included, is kept. At the end of the file every further line reads
// as empty, so a short file shows up as empty clue lines, which are refused
// by name.
class CLineReader {
  public:
    explicit CLineReader(std::FILE* pFile) : m_pFile(pFile) {}
    ~CLineReader() { std::free(m_pBuffer); }
    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;

    // The next line, or nothing at the end of the file. A read error throws
    // ReadFailure: it must never pass for the end of the file.
    std::optional<std::string_view> Next() {
        if (!m_bRest && !ReadChunk())
            return std::nullopt;
        ++m_nLine;
        // getline splits at line feeds only: a chunk may hold several lines
        // ended by CR alone.
        const size_t nCr = m_rest.find('\r');
        if (nCr != std::string_view::npos && nCr + 1 < m_rest.size()) {
            const std::string_view line = m_rest.substr(0, nCr);
            m_rest.remove_prefix(nCr + 1);
            return line;
        }
        m_bRest = false;
        return m_rest;
    }

    int LineNumber() const { return m_nLine; }
    bool AtEnd() const { return m_bAtEnd; }

  private:
    // Reads up to the next line feed into m_rest, without it. False at the
    // end of the file.
    bool ReadChunk() {
        errno = 0;
        ssize_t nRead = getline(&m_pBuffer, &m_nCapacity, m_pFile);
        if (nRead < 0) {
            if (std::ferror(m_pFile))
                throw ReadFailure{std::string("cannot read the file: ") + std::strerror(errno ? errno : EIO)};
            m_bAtEnd = true;
            ++m_nLine; // the line asked for, which the file does not have
            return false;
        }
        size_t nLength = static_cast<size_t>(nRead);
        if (nLength > 0 && m_pBuffer[nLength - 1] == '\n')
            --nLength;
        m_rest = std::string_view(m_pBuffer, nLength);
        if (m_bFirst && m_rest.starts_with("\xEF\xBB\xBF"))
            m_rest.remove_prefix(3);
        m_bFirst = false;
        m_bRest = true;
        return true;
    }

    std::FILE* m_pFile;
    char* m_pBuffer = nullptr;
    size_t m_nCapacity = 0;
    std::string_view m_rest; // what is left of the chunk read last
    bool m_bRest = false;    // m_rest holds at least one more line
    bool m_bFirst = true;
    int m_nLine = 0;
    bool m_bAtEnd = false;
};

// The text of a token for a message: control characters escaped, long text cut.
std::string Quote(std::string_view text) {
    constexpr size_t kShown = 20;
    std::string strOut = "'";
    for (size_t i = 0; i < text.size() && i < kShown; ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\t')
            strOut += "\\t";
        else if (ch == '\r')
            strOut += "\\r";
        else if (ch < 0x20 || ch == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", ch);
            strOut += hex;
        } else
            strOut += static_cast<char>(ch);
    }
    if (text.size() > kShown)
        strOut += "...";
    return strOut + "'";
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// Scanf-style white space, which the header may use anywhere, line ends included.
bool IsBlank(char ch) {
    return ch == ' ' || (ch >= '\t' && ch <= '\r');
}

// The header is read the way "%d %d" reads it: white space, line ends
// included, may precede either number. What follows the second number on its
// line is ignored.
class CHeaderReader {
  public:
    explicit CHeaderReader(CLineReader& lines) : m_lines(lines) {}

    int32_t ReadDimension(const char* pszWhat) {
        SkipBlanks();
        if (!m_text)
            throw ReadFailure{std::string("the file ends before the number of ") + pszWhat};
        std::string_view text = m_text->substr(m_nCursor);
        size_t nEnd = 0;
        if (nEnd < text.size() && (text[nEnd] == '+' || text[nEnd] == '-'))
            ++nEnd;
        const size_t nDigitsFrom = nEnd;
        while (nEnd < text.size() && IsDigit(text[nEnd]))
            ++nEnd;
        if (nEnd == nDigitsFrom)
            throw Located(std::string("expected the number of ") + pszWhat + ", found " + Quote(TokenAt(text)));
        std::string_view number = text.substr(0, nEnd);
        if (number[0] == '-' || !FitsDimension(number.substr(nDigitsFrom)))
            throw Located(std::string("the number of ") + pszWhat + " must lie in 0..32767, found " + Quote(number));
        m_nCursor += nEnd;
        return std::atoi(std::string(number.substr(nDigitsFrom)).c_str());
    }

    int HeaderLine() const { return m_lines.LineNumber(); }

  private:
    void SkipBlanks() {
        for (;;) {
            if (!m_text) {
                m_text = m_lines.Next();
                m_nCursor = 0;
                if (!m_text)
                    return;
            }
            while (m_nCursor < m_text->size() && IsBlank((*m_text)[m_nCursor]))
                ++m_nCursor;
            if (m_nCursor < m_text->size())
                return;
            m_text.reset();
        }
    }

    static bool FitsDimension(std::string_view digits) {
        size_t i = 0;
        while (i + 1 < digits.size() && digits[i] == '0')
            ++i;
        digits.remove_prefix(i);
        return digits.size() < 5 || (digits.size() == 5 && digits <= "32767");
    }

    static std::string_view TokenAt(std::string_view text) {
        size_t nEnd = 0;
        while (nEnd < text.size() && !IsBlank(text[nEnd]))
            ++nEnd;
        return text.substr(0, nEnd);
    }

    ReadFailure Located(const std::string& strMessage) const {
        return ReadFailure{"line " + std::to_string(m_lines.LineNumber()) + ": " + strMessage};
    }

    CLineReader& m_lines;
    std::optional<std::string_view> m_text;
    size_t m_nCursor = 0;
};

// Parses one clue line into run lengths. Returns the message of the first
// fault, or an empty string.
std::string ParseClueLine(std::string_view text, std::vector<int16_t>& values) {
    values.clear();
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    size_t i = 0;
    while (i < text.size()) {
        const size_t nStart = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        std::string_view number = text.substr(nStart, i - nStart);
        if (number.empty()) {
            size_t nEnd = nStart;
            while (nEnd < text.size() && text[nEnd] != ' ')
                ++nEnd;
            if (nStart == 0 && text.find_first_not_of(' ') == std::string_view::npos)
                break; // a line of spaces holds no clue; the caller names the line
            if (nStart == 0 && text[0] == ' ')
                return "a clue line must begin with its first number, found " + Quote(text);
            return "expected run lengths, found " + Quote(text.substr(nStart, std::max(nEnd, nStart + 1) - nStart));
        }
        if (number.size() > 1 && number[0] == '0')
            return "a run length has a leading zero: " + Quote(number);
        if (number.size() > 5 || (number.size() == 5 && number > "32767"))
            return "a run length must lie in 0..32767, found " + Quote(number);
        values.push_back(static_cast<int16_t>(std::atoi(std::string(number).c_str())));
        if (i < text.size() && text[i] != ' ') {
            size_t nEnd = i;
            while (nEnd < text.size() && text[nEnd] != ' ')
                ++nEnd;
            return "expected run lengths, found " + Quote(text.substr(nStart, nEnd - nStart));
        }
        while (i < text.size() && text[i] == ' ')
            ++i;
    }
    if (values.size() > 1)
        for (int16_t value : values)
            if (value == 0)
                return "a 0 must stand alone on its line (it means a line without filled cells)";
    return std::string();
}

std::string NoCluesMessage(bool bAtEnd, const char* pszKind, int nIndex) {
    std::string strWhat = std::string(pszKind) + " " + std::to_string(nIndex + 1) + " has no clues";
    if (bAtEnd)
        strWhat += " (the file ends before it)";
    return strWhat + "; a line without filled cells is written \"0\"";
}

void ReadClueLines(CLineReader& lines, CPuzzle& puzzle, bool bRows, int nCount) {
    const char* pszKind = bRows ? "row" : "column";
    std::vector<int16_t> values;
    for (int nIndex = 0; nIndex < nCount; ++nIndex) {
        std::optional<std::string_view> text = lines.Next();
        const std::string strLine = "line " + std::to_string(lines.LineNumber()) + ": ";
        if (text) {
            std::string strFault = ParseClueLine(*text, values);
            if (!strFault.empty())
                throw ReadFailure{strLine + strFault};
        } else {
            values.clear();
        }
        if (values.empty())
            throw ReadFailure{strLine + NoCluesMessage(!text, pszKind, nIndex)};
        for (int16_t value : values) {
            if (bRows)
                puzzle.AddRowClue(static_cast<int16_t>(nIndex), value);
            else
                puzzle.AddColumnClue(static_cast<int16_t>(nIndex), value);
        }
    }
}

} // namespace

std::string ReadClueFile(std::FILE* pFile, CPuzzle& puzzle, int64_t nMaxCells) {
    CLineReader lines(pFile);
    try {
        CHeaderReader header(lines);
        const int32_t nRows = header.ReadDimension("rows");
        const int32_t nCols = header.ReadDimension("columns");
        const int64_t nCells = int64_t{nRows} * nCols;
        if (nCells > nMaxCells) {
            const int64_t nMiB = nCells * int64_t{sizeof(CellState)} >> 20;
            throw ReadFailure{"line " + std::to_string(header.HeaderLine()) + ": a grid of " + std::to_string(nRows) +
                              " x " + std::to_string(nCols) + " cells" +
                              (nMiB > 0 ? " needs " + std::to_string(nMiB) + " MiB," : " is") +
                              " more than the limit of " + std::to_string(nMaxCells) + " cells"};
        }
        try {
            puzzle.SetSize(static_cast<int16_t>(nRows), static_cast<int16_t>(nCols));
        } catch (const std::bad_alloc&) {
            throw ReadFailure{"line " + std::to_string(header.HeaderLine()) + ": not enough memory for a grid of " +
                              std::to_string(nRows) + " x " + std::to_string(nCols) + " cells"};
        }
        ReadClueLines(lines, puzzle, true, nRows);
        lines.Next(); // the separator line, whatever it holds
        ReadClueLines(lines, puzzle, false, nCols);
    } catch (const ReadFailure& failure) {
        puzzle.SetSize(0, 0);
        return failure.strMessage;
    } catch (const std::bad_alloc&) {
        puzzle.SetSize(0, 0);
        return "not enough memory to hold the clues";
    }
    return std::string();
}
