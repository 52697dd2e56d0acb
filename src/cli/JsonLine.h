#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A JSON string literal of `text`: quotes, backslashes and control
// characters escaped, U+2028 and U+2029 too (JavaScript once read them as
// line ends); valid UTF-8 kept as it is; each byte that is not valid UTF-8
// (a file name may hold any bytes) becomes U+FFFD, since JSON is Unicode.
std::string JsonQuoted(std::string_view text);

// One JSON object on one line, its members in the order added.
class CJsonLine {
  public:
    void String(std::string_view key, std::string_view value) { Member(key, JsonQuoted(value)); }
    void Number(std::string_view key, uint64_t nValue) { Member(key, std::to_string(nValue)); }
    // A number with three decimals ("12.345").
    void Milliseconds(std::string_view key, double dValue);
    void Null(std::string_view key) { Member(key, "null"); }
    void Strings(std::string_view key, const std::vector<std::string>& values);
    // The object and a line feed.
    std::string Text() const { return "{" + m_strMembers + "}\n"; }

  private:
    void Member(std::string_view key, const std::string& strValue);

    std::string m_strMembers;
};
