#pragma once

// A small XML tokenizer, enough for puzzle files exported as XML: start and
// end tags with attributes, text with its references decoded. The <?xml ?>
// declaration, processing instructions, comments and the <!DOCTYPE> are
// skipped; CDATA sections are text. It checks the form of each token, not
// that tags nest: the reader keeps the open elements itself.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct XmlToken {
    enum class Kind { StartTag, EndTag, Text, End };
    Kind kind = Kind::End;
    size_t nLine = 1;                                            // where the token starts
    std::string strName;                                         // of a tag
    std::vector<std::pair<std::string, std::string>> attributes; // of a start tag, values decoded
    bool bSelfClosing = false;                                   // "<name/>"
    std::string strText;                                         // text, decoded

    // The value of an attribute of a start tag, or nullptr.
    const std::string* Attribute(std::string_view name) const;
};

class CXmlTokenizer {
  public:
    // A UTF-8 byte order mark at the start is skipped.
    explicit CXmlTokenizer(std::string_view text);

    // The next token; Kind::End at the end of the text. Returns an empty
    // string, or "line N: what is wrong" for a token that breaks the form
    // (a tag or comment that never ends, a reference to no character ...).
    std::string Next(XmlToken& token);

    // The line the tokenizer has reached.
    size_t GetLine() const { return m_nLine; }

  private:
    void Advance(size_t nTo);
    bool SkipPast(std::string_view terminator);
    bool SkipDoctype();
    std::string ReadStartTag(XmlToken& token);
    std::string ReadEndTag(XmlToken& token);
    std::string_view ReadName();
    void SkipBlanks();

    std::string_view m_text;
    size_t m_nPos = 0;
    size_t m_nLine = 1;
};

// The line ends in text[nFrom, nTo): LF, CR LF and CR alone (old Mac files)
// each end one line. It takes the whole text, so that a CR LF split between
// two ranges counts once.
size_t CountLineEnds(std::string_view text, size_t nFrom, size_t nTo);

// Appends `raw` to `out` with its references decoded: &amp; &lt; &gt; &quot;
// &apos; &copy; and &#N; / &#xH;. Any other "&..." stays as written. A
// numeric reference to no character (0, a surrogate, past U+10FFFF) is
// refused: returns "line N: ..." where nLine is the line `raw` starts on.
std::string DecodeXmlText(std::string_view raw, size_t nLine, std::string& out);
