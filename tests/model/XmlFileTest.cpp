#include "model/PuzzleFile.h"
#include "model/PuzzleFormats.h"
#include "model/XmlTokenizer.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <utility>

namespace {

// ---------------------------------------------------------------------------
// The tokenizer

// The tokens of a text, each as "<line>:" and the token, or the fault.
std::string Tokens(std::string_view text) {
    CXmlTokenizer tokenizer(text);
    std::string out;
    for (;;) {
        XmlToken token;
        const std::string strFault = tokenizer.Next(token);
        if (!strFault.empty())
            return out + strFault;
        if (token.kind == XmlToken::Kind::End)
            return out;
        out += std::to_string(token.nLine) + ":";
        if (token.kind == XmlToken::Kind::StartTag) {
            out += "<" + token.strName;
            for (const auto& [name, value] : token.attributes)
                out += " " + name + "=[" + value + "]";
            out += token.bSelfClosing ? "/> " : "> ";
        } else if (token.kind == XmlToken::Kind::EndTag) {
            out += "</" + token.strName + "> ";
        } else {
            out += "[" + token.strText + "] ";
        }
    }
}

struct TokenCase {
    const char* name;
    std::string text;
    std::string expected;
};

void PrintTo(const TokenCase& c, std::ostream* pOut) {
    *pOut << c.name;
}

class XmlTokenizerTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(XmlTokenizerTest, SplitsTheTextIntoTagsAndTextOrSaysWhereItBreaks) {
    EXPECT_EQ(Tokens(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, XmlTokenizerTest,
    ::testing::Values(
        TokenCase{"DeclarationDoctypeAndCommentsAreSkipped",
                  "<?xml version=\"1.0\"?>\n<!DOCTYPE pbn SYSTEM \"http://webpbn.com/pbn-0.3.dtd\">\n"
                  "<!-- a <b>comment</b>\n over two lines -->\n<a/>",
                  "1:[\n] 2:[\n] 4:[\n] 5:<a/> "},
        TokenCase{"AttributesInEitherQuotesWithBlanksAroundTheEqualsSign", "<a x = \"1\"\n y='two \"words\"'>t</a >",
                  "1:<a x=[1] y=[two \"words\"]> 2:[t] 2:</a> "},
        TokenCase{"AttributeValuesAreDecoded", "<c name='a&amp;b&#33;' char=\"&lt;\"/>",
                  "1:<c name=[a&b!] char=[<]/> "},
        TokenCase{"TheFiveEntitiesCopyAndNumericReferences",
                  "<t>&amp;&lt;&gt;&quot;&apos;&copy;&#65;&#x42;&#X43;&#x20AC;&#128512;</t>",
                  "1:<t> 1:[&<>\"'\xC2\xA9"
                  "ABC\xE2\x82\xAC\xF0\x9F\x98\x80] 1:</t> "},
        TokenCase{"UnknownOrMalformedReferencesStayAsWritten", "<t>&nbsp; AT&T &#xZZ; &#; &; a & b</t>",
                  "1:<t> 1:[&nbsp; AT&T &#xZZ; &#; &; a & b] 1:</t> "},
        TokenCase{"CdataIsTextAsWritten", "<t><![CDATA[<x>&amp;\n]]>y</t>", "1:<t> 1:[<x>&amp;\n] 2:[y] 2:</t> "},
        TokenCase{"ADoctypeSubsetMayHoldQuotedAngleBracketsAndComments",
                  "<!DOCTYPE a [\n<!ENTITY e \"x>y\">\n<!-- ] > -->\n]><a/>", "4:<a/> "},
        TokenCase{"AByteOrderMarkIsSkipped", "\xEF\xBB\xBF<a></a>", "1:<a> 1:</a> "},
        TokenCase{"LinesAreCountedInsideTagsAndText", "<a\n\nx='1'\n>\r\n\r\n</a>", "1:<a x=[1]> 4:[\r\n\r\n] 6:</a> "},
        TokenCase{"LoneCarriageReturnsEndLines", "<a\r\rx='1'\r>\r\r</a>\r<b\r\n/>",
                  "1:<a x=[1]> 4:[\r\r] 6:</a> 6:[\r] 7:<b/> "},
        TokenCase{"NamesMayHoldDigitsDotsDashesAndColons", "<a-1.b:c/>", "1:<a-1.b:c/> "},
        TokenCase{"ACommentThatNeverEnds", "<a>\n<!-- x\n</a>",
                  "1:<a> 1:[\n] line 2: the comment that starts here never ends"},
        TokenCase{"ATagThatNeverEnds", "<a>\n<b x='1'", "1:<a> 1:[\n] line 2: the tag <b that starts here never ends"},
        TokenCase{"AQuoteThatNeverEnds", "<a x='1>\n\n</a>\n", "line 1: the tag <a that starts here never ends"},
        TokenCase{"AnEndTagThatNeverEnds", "<a></a", "1:<a> line 1: the tag </a that starts here never ends"},
        TokenCase{"AnEndTagWithMore", "<a></a x>", "1:<a> line 1: unexpected 'x' in the tag </a>"},
        TokenCase{"ADeclarationThatNeverEnds", "\n<?xml version='1.0'",
                  "1:[\n] line 2: the <? that starts here never ends"},
        TokenCase{"ADoctypeThatNeverEnds", "<!DOCTYPE a [ <!ENTITY e 'x'> ",
                  "line 1: the <!DOCTYPE that starts here never ends"},
        TokenCase{"ACdataThatNeverEnds", "<a><![CDATA[x]]",
                  "1:<a> line 1: the CDATA section that starts here never ends"},
        TokenCase{"AnUnknownDeclaration", "<!ELEMENT a>", "line 1: expected a comment, CDATA or <!DOCTYPE after '<!'"},
        TokenCase{"ANameMustNotStartWithADigit", "<1a>", "line 1: expected a tag name after '<', found '1'"},
        TokenCase{"AControlByteIsShownAsHex", "<\x01>", "line 1: expected a tag name after '<', found '\\x01'"},
        TokenCase{"ALoneAngleBracketAtTheEnd", "<a>x<", "1:<a> 1:[x] line 1: the file ends after '<'"},
        TokenCase{"AttributesNeedBlanksBetweenThem", "<a x='1'y='2'>", "line 1: unexpected 'y' in the tag <a>"},
        TokenCase{"AnotherTagInsideATag", "<a\n<b>", "line 2: unexpected '<' in the tag <a>"},
        TokenCase{"AnAttributeWithoutValue", "<a x>", "line 1: the attribute x of <a> has no value"},
        TokenCase{"AnUnquotedValue", "<a x=1>", "line 1: the value of the attribute x of <a> must be quoted"},
        TokenCase{"AnAttributeGivenTwice", "<a x='1'\nx='2'>", "line 2: the attribute x of <a> is given twice"},
        TokenCase{"AReferenceToNul", "<a>\n&#0;</a>", "1:<a> line 2: '&#0;' is not a character"},
        TokenCase{"AReferenceToASurrogate", "<a>&#xD800;</a>", "1:<a> line 1: '&#xD800;' is not a character"},
        TokenCase{"AReferencePastUnicode", "<a>&#1114112;</a>", "1:<a> line 1: '&#1114112;' is not a character"},
        TokenCase{"AReferenceThatWouldOverflow", "<a>&#99999999999999999999999;</a>",
                  "1:<a> line 1: '&#99999999999999999999999;' is not a character"},
        TokenCase{"AReferenceToNoCharacterInAnAttribute", "<a\nx='&#x0;'>", "line 2: '&#x0;' is not a character"}),
    [](const ::testing::TestParamInfo<TokenCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// The puzzle reader

// The example picture XX-X / -XXX / X--- as pbn clues.
const char kExampleClues[] = "2 1 |3 |1 |/1 1 |2 |1 |2 |";
const char kExampleGoal[] = "110101111000";
const std::string kExampleColumns = "<clues type=\"columns\">\n"
                                    "<line><count>1</count><count>1</count></line>\n"
                                    "<line><count>2</count></line>\n"
                                    "<line><count>1</count></line>\n"
                                    "<line><count>2</count></line>\n"
                                    "</clues>\n";
const std::string kExampleRows = "<clues type=\"rows\">\n"
                                 "<line><count>2</count><count>1</count></line>\n"
                                 "<line><count>3</count></line>\n"
                                 "<line><count>1</count></line>\n"
                                 "</clues>\n";
const std::string kExampleImage = "<solution type=\"goal\">\n<image>\n|XX.X|\n|.XXX|\n|X...|\n</image>\n</solution>\n";

// One puzzle of one row and one column: line 1 "<puzzle>", `body` from line 2.
std::string OneCell(const std::string& body) {
    return "<puzzle>\n" + body +
           "<clues type=\"columns\"><line><count>1</count></line></clues>\n"
           "<clues type=\"rows\"><line><count>1</count></line></clues>\n"
           "</puzzle>\n";
}

std::string ReadAll(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

struct ValidCase {
    const char* name;
    const char* fileName;
    std::string content;
    std::string clues;
    std::string title;
    std::string author;
    std::string goal;
    int nPuzzles;
};

void PrintTo(const ValidCase& c, std::ostream* pOut) {
    *pOut << c.name;
}

class XmlValidFileTest : public ::testing::TestWithParam<ValidCase> {};

TEST_P(XmlValidFileTest, ReadsTheFirstPuzzleWithItsTitleAuthorAndGoal) {
    const ValidCase& c = GetParam();
    TempDir dir;
    CPuzzleFile puzzle;
    puzzle.Load(dir.Write(c.fileName, c.content).c_str());
    ASSERT_EQ(puzzle.GetLoadError(), "");
    EXPECT_EQ(CluesText(puzzle), c.clues);
    EXPECT_EQ(puzzle.GetExtras().strTitle, c.title);
    EXPECT_EQ(puzzle.GetExtras().strAuthor, c.author);
    EXPECT_EQ(puzzle.GetExtras().strGoal, c.goal);
    EXPECT_EQ(puzzle.GetExtras().nPuzzlesInFile, c.nPuzzles);
}

INSTANTIATE_TEST_SUITE_P(
    Table, XmlValidFileTest,
    ::testing::Values(
        ValidCase{"SinglePuzzleWithoutDeclaration", "a.xml",
                  "<puzzle>\n<title>Example</title>\n<author>Someone</author>\n" + kExampleColumns + kExampleRows +
                      kExampleImage + "</puzzle>\n",
                  kExampleClues, "Example", "Someone", kExampleGoal, 1},
        ValidCase{"PuzzleSetOfThreeOpensTheFirst", "set.xml",
                  "<?xml version=\"1.0\"?>\n<!DOCTYPE pbn SYSTEM \"http://webpbn.com/pbn-0.3.dtd\">\n<puzzleset>\n"
                  "<title>The set's own title</title>\n<puzzle type=\"grid\" defaultcolor=\"black\">\n"
                  "<title>First</title>\n" +
                      kExampleColumns + kExampleRows + "</puzzle>\n" + OneCell("<title>Second</title>\n") +
                      OneCell("<title>Third</title>\n") + "</puzzleset>\n",
                  kExampleClues, "First", "", "", 3},
        ValidCase{"EmptyLinesInEveryForm", "a.xml",
                  "<puzzle>\n<clues type=\"rows\">\n<line><count>1</count></line>\n<line></line>\n<line/>\n"
                  "<line> </line>\n<line><count>0</count></line>\n</clues>\n<clues type=\"columns\">\n"
                  "<line/>\n<line><count> 1 </count></line>\n</clues>\n</puzzle>",
                  "1 |0 |0 |0 |0 |/0 |1 |", "", "", "", 1},
        ValidCase{"EntitiesInTheTitleAndAuthor", "a.xml",
                  OneCell("<title> Fish &amp; Chips &copy; &#233;t&#xE9; &nbsp;</title>\n<author>&lt;A&gt; "
                          "&quot;B&apos;</author>\n"),
                  "1 |/1 |", "Fish & Chips \xC2\xA9 \xC3\xA9t\xC3\xA9 &nbsp;", "<A> \"B'", "", 1},
        ValidCase{"GoalInTheDefaultCharactersWithoutTypeOrPipes", "a.xml",
                  "<puzzle>" + kExampleColumns + kExampleRows +
                      "<solution><image>\n  |X X . #|\n.XXX\n\n|X...|  \n</image></solution></puzzle>",
                  kExampleClues, "", "", kExampleGoal, 1},
        ValidCase{"GoalInTheColoursOwnCharacters", "a.xml",
                  "<puzzle>\n<color name=\"white\" char=\"-\">fff</color>\n<color name=\"black\" char=\"*\">000"
                  "</color>\n" +
                      kExampleColumns + kExampleRows + "<solution><image>|**-*|\n|-***|\n|*---|</image></solution>" +
                      "</puzzle>",
                  kExampleClues, "", "", kExampleGoal, 1},
        ValidCase{"ColoursDeclaredButUnusedAndCountsInTheDefaultColour", "a.xml",
                  "<puzzle defaultcolor=\"black\">\n<color name=\"white\" char=\".\">fff</color>\n"
                  "<color name=\"black\" char=\"X\">000</color>\n<color name=\"red\" char=\"r\">f00</color>\n"
                  "<clues type=\"rows\"><line><count color=\"black\">1</count></line></clues>\n"
                  "<clues type=\"columns\"><line><count>1</count></line></clues>\n"
                  "<solution><image>|X|</image></solution>\n</puzzle>",
                  "1 |/1 |", "", "", "1", 1},
        ValidCase{"ARedDefaultColourIsStillBlackAndWhite", "a.xml",
                  "<puzzle defaultcolor=\"red\">\n<color name=\"white\" char=\".\">fff</color>\n"
                  "<color name=\"red\" char=\"r\">f00</color>\n"
                  "<clues type=\"rows\"><line><count color=\"red\">1</count></line><line/></clues>\n"
                  "<clues type=\"columns\"><line><count>1</count></line></clues>\n"
                  "<solution><image>|r|\n|.|</image></solution>\n</puzzle>",
                  "1 |0 |/1 |", "", "", "10", 1},
        ValidCase{"OnlyTheFirstGoalCountsAndSavedStatesAreIgnored", "a.xml",
                  "<puzzle>" + kExampleColumns + kExampleRows +
                      "<solution type=\"saved\"><image>|????|</image></solution>\n" + kExampleImage +
                      "<solution type=\"goal\"><image>|?|</image></solution>\n</puzzle>",
                  kExampleClues, "", "", kExampleGoal, 1},
        ValidCase{"CommentsCdataAndUnknownElementsInBetween", "a.xml",
                  "<puzzle><!-- rows first -->\n<note>anything <b>at all</b></note>\n<clues type=\"rows\">"
                  "<line><!-- 1 --><count><![CDATA[2]]></count></line></clues>\n<clues type=\"columns\">"
                  "<line><count>1</count></line><line><count>1</count></line></clues></puzzle>",
                  "2 |/1 |1 |", "", "", "", 1},
        ValidCase{"CrLfLineEnds", "a.xml",
                  "<?xml version=\"1.0\"?>\r\n<puzzle>\r\n<clues type=\"rows\">\r\n<line><count>1</count></line>"
                  "\r\n</clues>\r\n<clues type=\"columns\">\r\n<line><count>1</count></line>\r\n</clues>\r\n"
                  "<solution><image>\r\n|X|\r\n</image></solution>\r\n</puzzle>\r\n",
                  "1 |/1 |", "", "", "1", 1},
        ValidCase{"OldMacLineEnds", "a.xml",
                  "<?xml version=\"1.0\"?>\r<puzzle>\r<clues type=\"rows\">\r<line><count>1</count></line>"
                  "\r<line/>\r</clues>\r<clues type=\"columns\">\r<line><count>1</count></line>\r</clues>\r"
                  "<solution><image>\r|X|\r|.|\r</image></solution>\r</puzzle>\r",
                  "1 |0 |/1 |", "", "", "10", 1},
        ValidCase{"PbnExtension", "a.pbn", OneCell(""), "1 |/1 |", "", "", "", 1},
        ValidCase{"ByContentAfterAByteOrderMark", "a.puzzle", "\xEF\xBB\xBF  \n<?xml version=\"1.0\"?>" + OneCell(""),
                  "1 |/1 |", "", "", "", 1},
        ValidCase{"ByContentFromThePuzzleSet", "a", "<puzzleset>" + OneCell("") + OneCell("") + "</puzzleset>",
                  "1 |/1 |", "", "", "", 2}),
    [](const ::testing::TestParamInfo<ValidCase>& info) { return info.param.name; });

struct MalformedCase {
    const char* name;
    std::string content;
    std::string message; // after "<path>: "
    int64_t nMaxCells = kDefaultMaxCells;
};

void PrintTo(const MalformedCase& c, std::ostream* pOut) {
    *pOut << c.name;
}

class XmlMalformedFileTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(XmlMalformedFileTest, IsRefusedWithTheLineAndLeavesThePuzzleEmpty) {
    const MalformedCase& c = GetParam();
    TempDir dir;
    const std::string strPath = dir.Write("a.xml", c.content);
    CPuzzleFile puzzle;
    puzzle.SetMaxCells(c.nMaxCells);
    puzzle.Load(strPath.c_str());
    EXPECT_EQ(puzzle.GetLoadError(), strPath + ": " + c.message);
    EXPECT_EQ(puzzle.GetHeight(), 0);
    EXPECT_EQ(puzzle.GetWidth(), 0);
    EXPECT_EQ(puzzle.GetExtras().strTitle, "");
    EXPECT_EQ(puzzle.GetExtras().nPuzzlesInFile, 1);
}

std::string Nested(int nDepth) {
    std::string text;
    for (int k = 0; k < nDepth; ++k)
        text += "<n>";
    for (int k = 0; k < nDepth; ++k)
        text += "</n>";
    return text;
}

std::string ManyRows(int nRows) {
    std::string text = "<puzzle>\n<clues type=\"rows\">\n";
    for (int k = 0; k < nRows; ++k)
        text += "<line/>\n";
    return text + "</clues>\n</puzzle>\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, XmlMalformedFileTest,
    ::testing::Values(
        MalformedCase{"EndTagOfAnotherElement", "<puzzle>\n<clues type=\"rows\">\n<line>\n</clues>",
                      "line 4: </clues> where </line> belongs (<line> starts on line 3)"},
        MalformedCase{"OldMacLineEndsNameTheLine", "<puzzle>\r<clues type=\"rows\">\r\r<line>\r</clues>",
                      "line 5: </clues> where </line> belongs (<line> starts on line 4)"},
        MalformedCase{"TruncatedFile", "<puzzleset>\n<puzzle>\n<clues type=\"rows\">\n<line><count>1</count>",
                      "line 4: <line> is never closed"},
        MalformedCase{"UnterminatedComment", "<puzzleset>\n\n<!-- <puzzle>\n</puzzleset>\n",
                      "line 3: the comment that starts here never ends"},
        MalformedCase{"UnterminatedTag", "<puzzle>\n<title>x</title>\n<clues type=\"rows\"\n",
                      "line 3: the tag <clues that starts here never ends"},
        MalformedCase{"AnotherTopElement", "<?xml version=\"1.0\"?>\n<html></html>",
                      "line 2: expected <puzzleset> or <puzzle>, found <html>"},
        MalformedCase{"NoElementAtAll", "<?xml version=\"1.0\"?>\n<!-- nothing -->\n",
                      "line 3: the file holds no <puzzle>"},
        MalformedCase{"AnEmptyPuzzleSet", "<puzzleset>\n<title>x</title>\n</puzzleset>",
                      "line 1: the puzzle set holds no <puzzle>"},
        MalformedCase{"TextAfterTheTopElement", OneCell("") + "\nstray", "line 6: text outside the top element"},
        MalformedCase{"ASecondTopElement", OneCell("") + OneCell(""),
                      "line 5: <puzzle> follows the end of the top element"},
        MalformedCase{"AnEndTagClosingNothing", OneCell("") + "</puzzleset>", "line 5: </puzzleset> closes no element"},
        MalformedCase{"ABrokenLaterPuzzle",
                      "<puzzleset>" + OneCell("") +
                          "<puzzle>\n<title>&#0;</title>\n</puzzle>"
                          "</puzzleset>",
                      "line 6: '&#0;' is not a character"},
        MalformedCase{"NoRows", "<puzzle>\n" + kExampleColumns + "</puzzle>",
                      "line 1: the puzzle has no <clues type=\"rows\">"},
        MalformedCase{"NoColumns", "<puzzleset>\n<puzzle>\n" + kExampleRows + "</puzzle>\n</puzzleset>",
                      "line 2: the puzzle has no <clues type=\"columns\">"},
        MalformedCase{"RowsWithoutLines", "<puzzle>\n<clues type=\"rows\"/>\n" + kExampleColumns + "</puzzle>",
                      "line 1: the puzzle needs 1..32767 rows and columns, it has 0 x 4"},
        MalformedCase{"RowsTwice", "<puzzle>\n" + kExampleRows + kExampleRows + "</puzzle>",
                      "line 7: the rows are given twice"},
        MalformedCase{"CluesWithoutType", "<puzzle>\n<clues>\n</clues></puzzle>",
                      "line 2: <clues> without a type (rows or columns)"},
        MalformedCase{"CluesOfAnotherType", "<puzzle>\n<clues type=\"diagonal\">\n</clues></puzzle>",
                      "line 2: clues of type 'diagonal' are not supported: expected rows or columns"},
        MalformedCase{"ATriddler", "<puzzleset>\n<puzzle type=\"triddler\">\n</puzzle></puzzleset>",
                      "line 2: puzzles of type 'triddler' are not supported: Tabulon solves grids"},
        MalformedCase{"ACountThatIsNoNumber", OneCell("<clues type=\"rows\"><line>\n<count>x</count></line></clues>\n"),
                      "line 3: a count must be a number in 0..32767, found 'x'"},
        MalformedCase{"AnEmptyCount", "<puzzle>\n<clues type=\"rows\"><line><count/></line></clues>\n</puzzle>",
                      "line 2: a count must be a number in 0..32767, found ''"},
        MalformedCase{"ANegativeCount", "<puzzle>\n<clues type=\"rows\"><line><count>-1</count></line></clues>",
                      "line 2: a count must be a number in 0..32767, found '-1'"},
        MalformedCase{"ACountPastTheLargestRun",
                      "<puzzle>\n<clues type=\"rows\"><line><count>32768</count></line></clues>",
                      "line 2: a count must be a number in 0..32767, found '32768'"},
        MalformedCase{"ACountThatWouldOverflow",
                      "<puzzle>\n<clues type=\"rows\"><line><count>99999999999999999999999999</count></line>",
                      "line 2: a count must be a number in 0..32767, found '99999999999999999999'"},
        MalformedCase{"AZeroAmongRuns",
                      "<puzzle>\n<clues type=\"rows\"><line><count>1</count>\n<count>0</count></line></clues>",
                      "line 3: a count of 0 must stand alone in its line (it means a line without filled cells)"},
        MalformedCase{"ARunAfterAZero",
                      "<puzzle>\n<clues type=\"rows\"><line><count>0</count><count>2</count></line></clues>",
                      "line 2: a count of 0 must stand alone in its line (it means a line without filled cells)"},
        MalformedCase{"ACountInAnotherColour",
                      "<puzzle>\n<color name=\"red\" char=\"r\">f00</color>\n<clues type=\"columns\">\n"
                      "<line><count>1</count></line>\n<line><count color=\"red\">1</count></line></clues>",
                      "line 5: colour puzzles are not supported: Tabulon solves black-and-white puzzles"},
        MalformedCase{"AGoalInAnotherColour",
                      "<puzzle>\n<color name=\"red\" char=\"r\">f00</color>\n" + kExampleColumns + kExampleRows +
                          "<solution><image>\n|XX.X|\n|.XrX|\n|X...|\n</image></solution></puzzle>",
                      "line 16: colour puzzles are not supported: Tabulon solves black-and-white puzzles"},
        MalformedCase{"AGoalCharacterOfNoColour",
                      "<puzzle>\n" + kExampleColumns + kExampleRows +
                          "<solution><image>\n|XX.X|\n|.XXX|\n|X..Q|\n</image></solution></puzzle>",
                      "line 16: the goal picture holds 'Q', which is no colour of the puzzle"},
        MalformedCase{"ADeclaredCharacterReplacesTheDefaultOne",
                      "<puzzle>\n<color name=\"black\" char=\"*\">000</color>\n" + kExampleColumns + kExampleRows +
                          "<solution><image>\n|XX.X|\n</image></solution></puzzle>",
                      "line 15: the goal picture holds 'X', which is no colour of the puzzle"},
        MalformedCase{"AGoalRowTooShort",
                      "<puzzle>\n" + kExampleColumns + kExampleRows +
                          "<solution><image>\n|XX.X|\n|.XX|\n|X...|\n</image></solution></puzzle>",
                      "line 15: row 2 of the goal picture has 3 cells, the clues' rows have 4"},
        MalformedCase{"AGoalWithTooFewRows",
                      "<puzzle>\n" + kExampleColumns + kExampleRows +
                          "<solution><image>\n|XX.X|\n|.XXX|\n</image></solution></puzzle>",
                      "line 13: the goal picture has 2 rows, the clues make 3"},
        MalformedCase{"AGoalWithTooManyRows",
                      "<puzzle>\n" + kExampleColumns + kExampleRows +
                          "<solution><image>|XX.X|\n|.XXX|\n|X...|\n|X...|</image></solution></puzzle>",
                      "line 16: the goal picture has more than the clues' 3 rows"},
        MalformedCase{"AColourWithoutName", "<puzzle>\n<color char=\"x\">000</color>",
                      "line 2: a <color> without a name"},
        MalformedCase{"AColourCharacterOfTwo", "<puzzle>\n<color name=\"black\" char=\"XX\">000</color>",
                      "line 2: the char of the colour black must be one character, found 'XX'"},
        MalformedCase{"MoreCellsThanTheLimit", "<puzzle>\n" + kExampleColumns + kExampleRows + "</puzzle>",
                      "line 1: a grid of 3 x 4 cells is more than the limit of 11 cells", 11},
        MalformedCase{"MoreRowsThanAPuzzleHas", ManyRows(32768), "line 32770: more than 32767 rows"},
        MalformedCase{"NestingTooDeep", "<puzzle>" + Nested(64) + "</puzzle>",
                      "line 1: elements nest more than 64 deep"}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST(XmlFile, NestingUpToTheLimitIsAccepted) {
    CPuzzle puzzle;
    PuzzleExtras extras;
    EXPECT_EQ(ReadXmlText(OneCell(Nested(63)), puzzle, extras, kDefaultMaxCells), "");
    EXPECT_EQ(puzzle.GetHeight(), 1);
}

// A file cut short anywhere is refused with a line number, never read in
// part: the top element is still open.
TEST(XmlFile, EveryCutOfTheSampleIsRefusedAndLeavesThePuzzleEmpty) {
    const std::string text = ReadAll(std::string(TABULON_TEST_DATA) + "/example-3x4.xml");
    ASSERT_GT(text.size(), 100u);
    std::string_view whole = text;
    while (!whole.empty() && (whole.back() == '\n' || whole.back() == '\r'))
        whole.remove_suffix(1);
    for (size_t nCut = 0; nCut < whole.size(); ++nCut) {
        CPuzzle puzzle;
        PuzzleExtras extras;
        const std::string strFault = ReadXmlText(whole.substr(0, nCut), puzzle, extras, kDefaultMaxCells);
        ASSERT_TRUE(strFault.starts_with("line ")) << nCut << ": " << strFault;
        ASSERT_EQ(puzzle.GetHeight(), 0) << nCut;
        ASSERT_EQ(extras.strGoal, "") << nCut;
    }
}

TEST(XmlFile, TheSampleSetOpensItsFirstPuzzle) {
    CPuzzleFile puzzle;
    puzzle.Load((std::string(TABULON_TEST_DATA) + "/example-3x4.xml").c_str());
    ASSERT_EQ(puzzle.GetLoadError(), "");
    EXPECT_EQ(CluesText(puzzle), kExampleClues);
    EXPECT_EQ(puzzle.GetExtras().strTitle, "Example & friend");
    EXPECT_EQ(puzzle.GetExtras().strGoal, kExampleGoal);
    EXPECT_EQ(puzzle.GetExtras().nPuzzlesInFile, 2);
}

// XML written as ".tb" and read back gives the same clues.
TEST(XmlFile, RoundTripThroughTheClueFile) {
    TempDir dir;
    const std::pair<const char*, std::string> files[] = {
        {"sample.xml", ReadAll(std::string(TABULON_TEST_DATA) + "/example-3x4.xml")},
        {"empty-lines.xml", "<puzzle><clues type=\"rows\"><line/><line><count>2</count></line></clues>"
                            "<clues type=\"columns\"><line><count>1</count></line><line><count>1</count></line>"
                            "<line></line></clues></puzzle>"},
        {"zero.pbn", "<puzzle><clues type=\"rows\"><line><count>0</count></line></clues>"
                     "<clues type=\"columns\"><line><count>0</count></line></clues></puzzle>"}};
    for (const auto& [name, content] : files) {
        const TbRoundTrip trip = RoundTripThroughTb(dir, name, content);
        ASSERT_EQ(trip.strError, "") << name;
        EXPECT_EQ(trip.strAgain, trip.strOriginal) << name;
    }
}

TEST(XmlFile, DetectedByExtensionThenByItsFirstBytes) {
    const std::pair<std::string_view, PuzzleFormat> byContent[] = {
        {"<?xml version=\"1.0\"?>", PuzzleFormat::Xml},
        {"\xEF\xBB\xBF<puzzleset>", PuzzleFormat::Xml},
        {" \r\n\t<puzzle type=\"grid\">", PuzzleFormat::Xml},
        {"<html>", PuzzleFormat::Tabulon},
        {"width 3\n<puzzle>", PuzzleFormat::Non},
        {"1 1\n1\n#\n1\n", PuzzleFormat::Plain},
    };
    for (const auto& [head, format] : byContent)
        EXPECT_EQ(DetectFormat("dir.xml.d/a", head), format) << head;
    EXPECT_EQ(DetectFormat("a.XML", "3 4"), PuzzleFormat::Xml);
    EXPECT_EQ(DetectFormat("a.pbn", "width 3"), PuzzleFormat::Xml);
    EXPECT_EQ(DetectFormat("a.tb", "<?xml"), PuzzleFormat::Tabulon);
}

} // namespace
