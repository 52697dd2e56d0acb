// The XML puzzle files of webpbn.com (document type "pbn"): a <puzzleset>
// holding <puzzle> elements, or a single <puzzle>. A puzzle carries its
// title and author, its colours, <clues type="rows"> and <clues
// type="columns"> made of <line>s of <count>s, and may carry its goal as a
// <solution> whose <image> draws each row between '|'s, one colour
// character per cell. The whole file must be well formed; only the first
// puzzle is read, and the number of puzzles is reported. Only black and
// white: a count or goal cell in any colour but the puzzle's default colour
// refuses the file.

#include "model/ClueText.h"
#include "model/Puzzle.h"
#include "model/PuzzleFormats.h"
#include "model/XmlTokenizer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace {

// A pbn file nests four deep; far more is no puzzle file, and each level costs.
constexpr size_t kMaxDepth = 64;
constexpr size_t kMaxLines = 32767;

const char kColourRefusal[] = "colour puzzles are not supported: Tabulon solves black-and-white puzzles";

std::string_view Trimmed(std::string_view text) {
    const size_t nFrom = text.find_first_not_of(" \t\r\n");
    if (nFrom == std::string_view::npos)
        return {};
    return text.substr(nFrom, text.find_last_not_of(" \t\r\n") - nFrom + 1);
}

class CXmlPuzzleReader {
  public:
    CXmlPuzzleReader(std::string_view text, CPuzzle& puzzle, PuzzleExtras& extras, int64_t nMaxCells)
        : m_tokens(text), m_puzzle(puzzle), m_extras(extras), m_nMaxCells(nMaxCells) {}

    std::string Read() {
        XmlToken token;
        for (;;) {
            std::string strFault = m_tokens.Next(token);
            if (strFault.empty()) {
                if (token.kind == XmlToken::Kind::End)
                    break;
                if (token.kind == XmlToken::Kind::StartTag)
                    strFault = OnStart(token);
                else if (token.kind == XmlToken::Kind::EndTag)
                    strFault = OnEnd(token.strName, token.nLine);
                else
                    strFault = OnText(token);
            }
            if (!strFault.empty())
                return strFault;
        }
        if (!m_open.empty())
            return AtLine(m_open.back().nLine, "<" + m_open.back().strName + "> is never closed");
        if (!m_bHadTop)
            return AtLine(m_tokens.GetLine(), "the file holds no <puzzle>");
        if (m_nPuzzles == 0)
            return AtLine(m_nTopLine, "the puzzle set holds no <puzzle>");
        m_extras.nPuzzlesInFile = m_nPuzzles;
        return std::string();
    }

  private:
    enum class Part { None, Title, Author, Count, Image };
    enum class Role : uint8_t { None, Filled, Empty, Colour };

    struct OpenElement {
        std::string strName;
        size_t nLine;
    };
    struct Colour {
        std::string strName;
        std::string strChar; // empty when the file gives none
    };

    std::string OnStart(const XmlToken& token) {
        const size_t nDepth = m_open.size() + 1;
        if (nDepth > kMaxDepth)
            return AtLine(token.nLine, "elements nest more than " + std::to_string(kMaxDepth) + " deep");
        if (nDepth == 1) {
            if (m_bHadTop)
                return AtLine(token.nLine, "<" + token.strName + "> follows the end of the top element");
            if (token.strName != "puzzleset" && token.strName != "puzzle")
                return AtLine(token.nLine, "expected <puzzleset> or <puzzle>, found <" + token.strName + ">");
            m_bHadTop = true;
            m_bSet = token.strName == "puzzleset";
            m_nTopLine = token.nLine;
        }
        m_open.push_back({token.strName, token.nLine});
        std::string strFault;
        if (token.strName == "puzzle" && nDepth == (m_bSet ? 2u : 1u)) {
            if (++m_nPuzzles == 1)
                strFault = StartPuzzle(token, nDepth);
        } else if (m_nPuzzleDepth != 0) {
            strFault = StartInPuzzle(token, nDepth - m_nPuzzleDepth);
        }
        if (strFault.empty() && token.bSelfClosing)
            strFault = OnEnd(token.strName, token.nLine);
        return strFault;
    }

    std::string OnEnd(const std::string& strName, size_t nLine) {
        if (m_open.empty())
            return AtLine(nLine, "</" + strName + "> closes no element");
        if (m_open.back().strName != strName)
            return AtLine(nLine, "</" + strName + "> where </" + m_open.back().strName + "> belongs (<" +
                                     m_open.back().strName + "> starts on line " + std::to_string(m_open.back().nLine) +
                                     ")");
        const size_t nDepth = m_open.size();
        std::string strFault;
        if (m_nPuzzleDepth != 0) {
            if (m_part != Part::None && nDepth == m_nPartDepth)
                strFault = FinishPart();
            else if (nDepth == m_nPuzzleDepth)
                strFault = FinishPuzzle();
            else if (nDepth == m_nPuzzleDepth + 1) {
                m_pClues = nullptr; // only <clues> and <solution> set these
                m_bInGoal = false;
            } else if (nDepth == m_nPuzzleDepth + 2) {
                m_bInLine = false;
            }
        }
        m_open.pop_back();
        return strFault;
    }

    std::string OnText(const XmlToken& token) {
        if (m_part != Part::None && m_open.size() == m_nPartDepth) {
            if (m_strPart.empty())
                m_nPartLine = token.nLine;
            m_strPart += token.strText;
        } else if (m_open.empty()) {
            const size_t nText = token.strText.find_first_not_of(" \t\r\n");
            if (nText != std::string::npos)
                return AtLine(token.nLine + CountLineEnds(token.strText, 0, nText), "text outside the top element");
        }
        return std::string();
    }

    std::string StartPuzzle(const XmlToken& token, size_t nDepth) {
        const std::string* pType = token.Attribute("type");
        if (pType && *pType != "grid")
            return AtLine(token.nLine, "puzzles of type '" + *pType + "' are not supported: Tabulon solves grids");
        if (const std::string* pDefault = token.Attribute("defaultcolor"))
            m_strDefault = *pDefault;
        if (const std::string* pBackground = token.Attribute("backgroundcolor"))
            m_strBackground = *pBackground;
        m_nPuzzleDepth = nDepth;
        m_nPuzzleLine = token.nLine;
        return std::string();
    }

    // A start tag inside the first puzzle, nLevel below it.
    std::string StartInPuzzle(const XmlToken& token, size_t nLevel) {
        const std::string& strName = token.strName;
        if (nLevel == 1) {
            if (strName == "title" || strName == "author")
                BeginPart(strName == "title" ? Part::Title : Part::Author, token.nLine);
            else if (strName == "color")
                return AddColour(token);
            else if (strName == "clues")
                return StartClues(token);
            else if (strName == "solution") {
                const std::string* pType = token.Attribute("type");
                m_bInGoal = !m_bHadGoal && (!pType || *pType == "goal");
            }
        } else if (nLevel == 2 && m_pClues && strName == "line") {
            if (m_pClues->size() == kMaxLines)
                return AtLine(token.nLine, "more than " + std::to_string(kMaxLines) + " " +
                                               (m_pClues == &m_rows ? "rows" : "columns"));
            m_pClues->emplace_back();
            m_bInLine = true;
            m_bZeroInLine = false;
            m_nCountsInLine = 0;
        } else if (nLevel == 2 && m_bInGoal && strName == "image") {
            BeginPart(Part::Image, token.nLine);
        } else if (nLevel == 3 && m_bInLine && strName == "count") {
            const std::string* pColour = token.Attribute("color");
            if (pColour && *pColour != m_strDefault)
                return AtLine(token.nLine, kColourRefusal);
            BeginPart(Part::Count, token.nLine);
        }
        return std::string();
    }

    void BeginPart(Part part, size_t nLine) {
        m_part = part;
        m_nPartDepth = m_open.size();
        m_nPartLine = nLine;
        m_strPart.clear();
    }

    std::string FinishPart() {
        const Part part = std::exchange(m_part, Part::None);
        switch (part) {
        case Part::Title:
            m_extras.strTitle = Trimmed(m_strPart);
            break;
        case Part::Author:
            m_extras.strAuthor = Trimmed(m_strPart);
            break;
        case Part::Count:
            return AddCount();
        case Part::Image:
            m_strImage = std::move(m_strPart);
            m_nImageLine = m_nPartLine;
            m_bHadGoal = true;
            break;
        case Part::None:
            break;
        }
        return std::string();
    }

    std::string AddColour(const XmlToken& token) {
        const std::string* pName = token.Attribute("name");
        const std::string* pChar = token.Attribute("char");
        if (!pName)
            return AtLine(token.nLine, "a <color> without a name");
        if (pChar && pChar->size() != 1)
            return AtLine(token.nLine, "the char of the colour " + *pName + " must be one character, found '" +
                                           pChar->substr(0, 20) + "'");
        m_colours.push_back({*pName, pChar ? *pChar : std::string()});
        return std::string();
    }

    std::string StartClues(const XmlToken& token) {
        const std::string* pType = token.Attribute("type");
        if (!pType)
            return AtLine(token.nLine, "<clues> without a type (rows or columns)");
        if (*pType != "rows" && *pType != "columns")
            return AtLine(token.nLine, "clues of type '" + *pType + "' are not supported: expected rows or columns");
        bool& bHad = *pType == "rows" ? m_bHadRows : m_bHadColumns;
        if (bHad)
            return AtLine(token.nLine, "the " + *pType + " are given twice");
        bHad = true;
        m_pClues = *pType == "rows" ? &m_rows : &m_columns;
        return std::string();
    }

    // A 0 means a line without filled cells, so it stands alone.
    std::string AddCount() {
        const std::string_view text = Trimmed(m_strPart);
        int nValue = -1;
        const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nValue);
        if (text.empty() || error != std::errc() || pEnd != text.data() + text.size() || nValue < 0 || nValue > 32767)
            return AtLine(m_nPartLine,
                          "a count must be a number in 0..32767, found '" + std::string(text.substr(0, 20)) + "'");
        ++m_nCountsInLine;
        if (nValue == 0)
            m_bZeroInLine = true;
        else
            m_pClues->back().push_back(static_cast<int16_t>(nValue));
        if (m_bZeroInLine && m_nCountsInLine > 1)
            return AtLine(m_nPartLine, "a count of 0 must stand alone in its line (it means a line without "
                                       "filled cells)");
        return std::string();
    }

    std::string FinishPuzzle() {
        m_nPuzzleDepth = 0;
        if (!m_bHadRows || !m_bHadColumns)
            return AtLine(m_nPuzzleLine,
                          std::string("the puzzle has no <clues type=\"") + (m_bHadRows ? "columns" : "rows") + "\">");
        std::string strFault = BuildPuzzle(m_puzzle, m_rows, m_columns, m_nMaxCells);
        if (!strFault.empty())
            return AtLine(m_nPuzzleLine, strFault);
        return m_bHadGoal ? ReadGoal() : std::string();
    }

    // What each character of the goal picture means: the colours' own
    // characters first, then 'X' and '#' for the default colour and '.' for
    // the background when the file gives them none.
    std::array<Role, 256> GoalRoles() const {
        std::array<Role, 256> roles{};
        bool bFilledChar = false, bEmptyChar = false;
        for (const Colour& colour : m_colours) {
            if (colour.strChar.empty())
                continue;
            Role role = Role::Colour;
            if (colour.strName == m_strDefault) {
                role = Role::Filled;
                bFilledChar = true;
            } else if (colour.strName == m_strBackground) {
                role = Role::Empty;
                bEmptyChar = true;
            }
            roles[static_cast<unsigned char>(colour.strChar[0])] = role;
        }
        auto fallback = [&](char ch, Role role) {
            if (roles[static_cast<unsigned char>(ch)] == Role::None)
                roles[static_cast<unsigned char>(ch)] = role;
        };
        if (!bFilledChar) {
            fallback('X', Role::Filled);
            fallback('#', Role::Filled);
        }
        if (!bEmptyChar)
            fallback('.', Role::Empty);
        return roles;
    }

    std::string ReadGoal() {
        const std::array<Role, 256> roles = GoalRoles();
        const size_t nWidth = static_cast<size_t>(m_puzzle.GetWidth());
        const size_t nHeight = static_cast<size_t>(m_puzzle.GetHeight());
        std::string strGoal;
        size_t nRows = 0;
        const std::vector<std::string_view> lines = SplitLines(m_strImage);
        for (size_t k = 0; k < lines.size(); ++k) {
            const size_t nLine = m_nImageLine + k;
            std::string row;
            for (char ch : lines[k])
                if (ch != ' ' && ch != '\t' && ch != '\r')
                    row += ch;
            if (row.empty())
                continue;
            if (row.front() == '|')
                row.erase(0, 1);
            if (!row.empty() && row.back() == '|')
                row.pop_back();
            for (char ch : row) {
                const Role role = roles[static_cast<unsigned char>(ch)];
                if (role == Role::Colour)
                    return AtLine(nLine, kColourRefusal);
                if (role == Role::None)
                    return AtLine(nLine, "the goal picture holds '" + std::string(1, ch) +
                                             "', which is no colour of the puzzle");
            }
            if (++nRows > nHeight)
                return AtLine(nLine, "the goal picture has more than the clues' " + std::to_string(nHeight) + " rows");
            if (row.size() != nWidth)
                return AtLine(nLine, "row " + std::to_string(nRows) + " of the goal picture has " +
                                         std::to_string(row.size()) + " cells, the clues' rows have " +
                                         std::to_string(nWidth));
            for (char ch : row)
                strGoal += roles[static_cast<unsigned char>(ch)] == Role::Filled ? '1' : '0';
        }
        if (nRows != nHeight)
            return AtLine(m_nImageLine, "the goal picture has " + std::to_string(nRows) + " rows, the clues make " +
                                            std::to_string(nHeight));
        m_extras.strGoal = std::move(strGoal);
        return std::string();
    }

    CXmlTokenizer m_tokens;
    CPuzzle& m_puzzle;
    PuzzleExtras& m_extras;
    int64_t m_nMaxCells;

    std::vector<OpenElement> m_open;
    bool m_bHadTop = false;
    bool m_bSet = false;
    size_t m_nTopLine = 0;
    int m_nPuzzles = 0;

    // The first puzzle, while it is open (its depth, else 0).
    size_t m_nPuzzleDepth = 0;
    size_t m_nPuzzleLine = 0;
    std::string m_strDefault = "black";
    std::string m_strBackground = "white";
    std::vector<Colour> m_colours;

    // The element whose text is being gathered.
    Part m_part = Part::None;
    size_t m_nPartDepth = 0;
    size_t m_nPartLine = 0;
    std::string m_strPart;

    std::vector<RunLengths> m_rows, m_columns;
    bool m_bHadRows = false, m_bHadColumns = false;
    std::vector<RunLengths>* m_pClues = nullptr; // inside <clues>
    bool m_bInLine = false;
    bool m_bZeroInLine = false;
    int m_nCountsInLine = 0;

    bool m_bInGoal = false; // inside the first goal <solution>
    bool m_bHadGoal = false;
    std::string m_strImage;
    size_t m_nImageLine = 0;
};

} // namespace

std::string ReadXmlText(std::string_view text, CPuzzle& puzzle, PuzzleExtras& extras, int64_t nMaxCells) {
    extras = PuzzleExtras();
    std::string strFault = CXmlPuzzleReader(text, puzzle, extras, nMaxCells).Read();
    if (!strFault.empty()) {
        puzzle.SetSize(0, 0);
        extras = PuzzleExtras();
    }
    return strFault;
}
