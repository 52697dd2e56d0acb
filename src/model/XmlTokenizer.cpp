#include "model/XmlTokenizer.h"

#include "model/ClueText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

bool IsBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

bool IsNameStart(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_' || ch == ':' ||
           static_cast<unsigned char>(ch) >= 0x80;
}

bool IsNameChar(char ch) {
    return IsNameStart(ch) || (ch >= '0' && ch <= '9') || ch == '-' || ch == '.';
}

// A byte as a message shows it: printable as itself, others as \xNN.
std::string Shown(char ch) {
    if (ch >= 0x20 && ch < 0x7F)
        return std::string(1, ch);
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(ch));
    return hex;
}

void AppendUtf8(uint32_t nCode, std::string& out) {
    if (nCode < 0x80) {
        out += static_cast<char>(nCode);
    } else if (nCode < 0x800) {
        out += static_cast<char>(0xC0 | (nCode >> 6));
        out += static_cast<char>(0x80 | (nCode & 0x3F));
    } else if (nCode < 0x10000) {
        out += static_cast<char>(0xE0 | (nCode >> 12));
        out += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (nCode & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (nCode >> 18));
        out += static_cast<char>(0x80 | ((nCode >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (nCode & 0x3F));
    }
}

// The digits of "#123" or "#x7B" as a code point; false when they are not
// all digits of their base. A value past U+10FFFF stops growing there, so
// no number of digits overflows.
bool ParseCharacterNumber(std::string_view body, uint32_t& nCode) {
    const bool bHex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(bHex ? 2 : 1);
    if (digits.empty())
        return false;
    nCode = 0;
    for (char ch : digits) {
        uint32_t nDigit;
        if (ch >= '0' && ch <= '9')
            nDigit = static_cast<uint32_t>(ch - '0');
        else if (bHex && ch >= 'a' && ch <= 'f')
            nDigit = static_cast<uint32_t>(ch - 'a' + 10);
        else if (bHex && ch >= 'A' && ch <= 'F')
            nDigit = static_cast<uint32_t>(ch - 'A' + 10);
        else
            return false;
        nCode = std::min<uint32_t>(nCode * (bHex ? 16 : 10) + nDigit, 0x110000);
    }
    return true;
}

// A reference longer than this is no reference: "&" alone in a title, say.
constexpr size_t kMaxReference = 32;

} // namespace

const std::string* XmlToken::Attribute(std::string_view name) const {
    for (const auto& [strName, strValue] : attributes)
        if (strName == name)
            return &strValue;
    return nullptr;
}

std::string DecodeXmlText(std::string_view raw, size_t nLine, std::string& out) {
    out.reserve(out.size() + raw.size());
    size_t nFrom = 0;
    while (nFrom < raw.size()) {
        const size_t nAmp = raw.find('&', nFrom);
        if (nAmp == std::string_view::npos) {
            out.append(raw.substr(nFrom));
            break;
        }
        out.append(raw.substr(nFrom, nAmp - nFrom));
        nLine += CountLineEnds(raw, nFrom, nAmp);
        const size_t nSemicolon = raw.substr(nAmp, kMaxReference).find(';');
        const std::string_view body =
            nSemicolon == std::string_view::npos ? std::string_view() : raw.substr(nAmp + 1, nSemicolon - 1);
        std::string_view replacement;
        uint32_t nCode = 0;
        if (body == "amp")
            replacement = "&";
        else if (body == "lt")
            replacement = "<";
        else if (body == "gt")
            replacement = ">";
        else if (body == "quot")
            replacement = "\"";
        else if (body == "apos")
            replacement = "'";
        else if (body == "copy")
            replacement = "\xC2\xA9";
        if (!replacement.empty()) {
            out.append(replacement);
        } else if (body.starts_with('#') && ParseCharacterNumber(body, nCode)) {
            if (nCode == 0 || (nCode >= 0xD800 && nCode <= 0xDFFF) || nCode > 0x10FFFF)
                return AtLine(nLine, "'&" + std::string(body) + ";' is not a character");
            AppendUtf8(nCode, out);
        } else {
            out += '&'; // not a reference this reader knows: kept as written
            nFrom = nAmp + 1;
            continue;
        }
        nFrom = nAmp + nSemicolon + 1;
    }
    return std::string();
}

size_t CountLineEnds(std::string_view text, size_t nFrom, size_t nTo) {
    size_t nEnds = 0;
    for (size_t i = nFrom; i < nTo; ++i)
        nEnds += text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
    return nEnds;
}

CXmlTokenizer::CXmlTokenizer(std::string_view text) : m_text(text) {
    if (m_text.starts_with("\xEF\xBB\xBF"))
        m_nPos = 3;
}

void CXmlTokenizer::Advance(size_t nTo) {
    nTo = std::min(nTo, m_text.size());
    m_nLine += CountLineEnds(m_text, m_nPos, nTo);
    m_nPos = nTo;
}

bool CXmlTokenizer::SkipPast(std::string_view terminator) {
    const size_t nEnd = m_text.find(terminator, m_nPos);
    if (nEnd == std::string_view::npos)
        return false;
    Advance(nEnd + terminator.size());
    return true;
}

// "<!DOCTYPE name SYSTEM "..." [ internal subset ]>": quotes and the subset
// may hold '>', and a comment in the subset may hold anything.
bool CXmlTokenizer::SkipDoctype() {
    bool bInSubset = false;
    size_t nAt = m_nPos + 2;
    while (nAt < m_text.size()) {
        const char ch = m_text[nAt];
        if (ch == '"' || ch == '\'') {
            nAt = m_text.find(ch, nAt + 1);
            if (nAt == std::string_view::npos)
                return false;
        } else if (bInSubset && m_text.substr(nAt).starts_with("<!--")) {
            nAt = m_text.find("-->", nAt + 4);
            if (nAt == std::string_view::npos)
                return false;
            nAt += 2;
        } else if (ch == '[') {
            bInSubset = true;
        } else if (ch == ']') {
            bInSubset = false;
        } else if (ch == '>' && !bInSubset) {
            Advance(nAt + 1);
            return true;
        }
        ++nAt;
    }
    return false;
}

void CXmlTokenizer::SkipBlanks() {
    size_t nAt = m_nPos;
    while (nAt < m_text.size() && IsBlank(m_text[nAt]))
        ++nAt;
    Advance(nAt);
}

std::string_view CXmlTokenizer::ReadName() {
    const size_t nFrom = m_nPos;
    if (nFrom >= m_text.size() || !IsNameStart(m_text[nFrom]))
        return {};
    size_t nAt = nFrom + 1;
    while (nAt < m_text.size() && IsNameChar(m_text[nAt]))
        ++nAt;
    m_nPos = nAt; // a name holds no line end
    return m_text.substr(nFrom, nAt - nFrom);
}

std::string CXmlTokenizer::ReadStartTag(XmlToken& token) {
    token.kind = XmlToken::Kind::StartTag;
    ++m_nPos; // '<'
    token.strName = ReadName();
    if (token.strName.empty())
        return AtLine(token.nLine, m_nPos < m_text.size()
                                       ? "expected a tag name after '<', found '" + Shown(m_text[m_nPos]) + "'"
                                       : std::string("the file ends after '<'"));
    const std::string strNeverEnds = "the tag <" + token.strName + " that starts here never ends";
    for (;;) {
        const size_t nBefore = m_nPos;
        SkipBlanks();
        if (m_nPos >= m_text.size())
            return AtLine(token.nLine, strNeverEnds);
        if (m_text[m_nPos] == '>') {
            Advance(m_nPos + 1);
            return std::string();
        }
        if (m_text.substr(m_nPos).starts_with("/>")) {
            Advance(m_nPos + 2);
            token.bSelfClosing = true;
            return std::string();
        }
        const size_t nAttributeLine = m_nLine;
        if (m_nPos == nBefore) // an attribute must follow the name or the last value after a blank
            return AtLine(nAttributeLine,
                          "unexpected '" + Shown(m_text[m_nPos]) + "' in the tag <" + token.strName + ">");
        const std::string name(ReadName());
        if (name.empty())
            return AtLine(nAttributeLine,
                          "unexpected '" + Shown(m_text[m_nPos]) + "' in the tag <" + token.strName + ">");
        SkipBlanks();
        if (m_nPos >= m_text.size())
            return AtLine(token.nLine, strNeverEnds);
        if (m_text[m_nPos] != '=')
            return AtLine(m_nLine, "the attribute " + name + " of <" + token.strName + "> has no value");
        Advance(m_nPos + 1);
        SkipBlanks();
        if (m_nPos >= m_text.size())
            return AtLine(token.nLine, strNeverEnds);
        const char quote = m_text[m_nPos];
        if (quote != '"' && quote != '\'')
            return AtLine(m_nLine, "the value of the attribute " + name + " of <" + token.strName + "> must be quoted");
        const size_t nClose = m_text.find(quote, m_nPos + 1);
        if (nClose == std::string_view::npos)
            return AtLine(token.nLine, strNeverEnds);
        if (token.Attribute(name))
            return AtLine(m_nLine, "the attribute " + name + " of <" + token.strName + "> is given twice");
        std::string value;
        std::string strFault = DecodeXmlText(m_text.substr(m_nPos + 1, nClose - m_nPos - 1), m_nLine, value);
        if (!strFault.empty())
            return strFault;
        token.attributes.emplace_back(name, std::move(value));
        Advance(nClose + 1);
    }
}

std::string CXmlTokenizer::ReadEndTag(XmlToken& token) {
    token.kind = XmlToken::Kind::EndTag;
    m_nPos += 2; // "</"
    token.strName = ReadName();
    if (token.strName.empty())
        return AtLine(token.nLine, "expected a tag name after '</'");
    SkipBlanks();
    if (m_nPos >= m_text.size())
        return AtLine(token.nLine, "the tag </" + token.strName + " that starts here never ends");
    if (m_text[m_nPos] != '>')
        return AtLine(m_nLine, "unexpected '" + Shown(m_text[m_nPos]) + "' in the tag </" + token.strName + ">");
    Advance(m_nPos + 1);
    return std::string();
}

std::string CXmlTokenizer::Next(XmlToken& token) {
    for (;;) {
        token = XmlToken();
        token.nLine = m_nLine;
        if (m_nPos >= m_text.size())
            return std::string();
        const std::string_view rest = m_text.substr(m_nPos);
        if (rest.front() != '<') {
            token.kind = XmlToken::Kind::Text;
            const size_t nEnd = std::min(m_text.find('<', m_nPos), m_text.size());
            std::string strFault = DecodeXmlText(m_text.substr(m_nPos, nEnd - m_nPos), m_nLine, token.strText);
            Advance(nEnd);
            return strFault;
        }
        if (rest.starts_with("<!--")) {
            if (!SkipPast("-->"))
                return AtLine(token.nLine, "the comment that starts here never ends");
        } else if (rest.starts_with("<![CDATA[")) {
            const size_t nEnd = m_text.find("]]>", m_nPos + 9);
            if (nEnd == std::string_view::npos)
                return AtLine(token.nLine, "the CDATA section that starts here never ends");
            token.kind = XmlToken::Kind::Text;
            token.strText = m_text.substr(m_nPos + 9, nEnd - m_nPos - 9);
            Advance(nEnd + 3);
            return std::string();
        } else if (rest.starts_with("<!DOCTYPE")) {
            if (!SkipDoctype())
                return AtLine(token.nLine, "the <!DOCTYPE that starts here never ends");
        } else if (rest.starts_with("<?")) {
            if (!SkipPast("?>"))
                return AtLine(token.nLine, "the <? that starts here never ends");
        } else if (rest.starts_with("<!")) {
            return AtLine(token.nLine, "expected a comment, CDATA or <!DOCTYPE after '<!'");
        } else if (rest.starts_with("</")) {
            return ReadEndTag(token);
        } else {
            return ReadStartTag(token);
        }
    }
}
