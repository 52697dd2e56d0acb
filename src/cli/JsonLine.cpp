#include "cli/JsonLine.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0.
size_t Utf8Length(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t nLength = 0;
    unsigned char lo = 0x80, hi = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        nLength = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        nLength = 3;
        lo = lead == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        hi = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        nLength = 4;
        lo = lead == 0xF0 ? 0x90 : 0x80;
        hi = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (i + nLength > text.size() || byte(i + 1) < lo || byte(i + 1) > hi)
        return 0;
    for (size_t k = i + 2; k < i + nLength; ++k)
        if (byte(k) < 0x80 || byte(k) > 0xBF)
            return 0;
    return nLength;
}

} // namespace

std::string JsonQuoted(std::string_view text) {
    std::string strOut = "\"";
    for (size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch >= 0x80) {
            const size_t nLength = Utf8Length(text, i);
            const std::string_view sequence = text.substr(i, nLength);
            if (nLength == 0)
                strOut += "\\ufffd";
            else if (sequence == "\xE2\x80\xA8" || sequence == "\xE2\x80\xA9")
                strOut += sequence[2] == '\xA8' ? "\\u2028" : "\\u2029";
            else
                strOut += sequence;
            i += nLength == 0 ? 1 : nLength;
            continue;
        }
        switch (ch) {
        case '"':
            strOut += "\\\"";
            break;
        case '\\':
            strOut += "\\\\";
            break;
        case '\n':
            strOut += "\\n";
            break;
        case '\r':
            strOut += "\\r";
            break;
        case '\t':
            strOut += "\\t";
            break;
        default:
            if (ch < 0x20 || ch == 0x7F) {
                char szEscape[8];
                std::snprintf(szEscape, sizeof szEscape, "\\u%04x", ch);
                strOut += szEscape;
            } else {
                strOut += static_cast<char>(ch);
            }
        }
        ++i;
    }
    return strOut + "\"";
}

void CJsonLine::Milliseconds(std::string_view key, double dValue) {
    char szValue[32];
    std::snprintf(szValue, sizeof szValue, "%.3f", dValue);
    Member(key, szValue);
}

void CJsonLine::Strings(std::string_view key, const std::vector<std::string>& values) {
    std::string strArray = "[";
    for (const std::string& strValue : values)
        strArray += (strArray.size() > 1 ? "," : "") + JsonQuoted(strValue);
    Member(key, strArray + "]");
}

void CJsonLine::Member(std::string_view key, const std::string& strValue) {
    if (!m_strMembers.empty())
        m_strMembers += ",";
    m_strMembers += JsonQuoted(key) + ":" + strValue;
}
