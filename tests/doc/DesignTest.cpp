#include "doc/Design.h"
#include "doc/DesignCheck.h"
#include "doc/TabulonDoc.h"
#include "model/PuzzleFormats.h"
#include "support/TestPuzzles.h"

#include <gtest/gtest.h>

namespace {

CDesign DesignOf(const std::vector<std::string>& picture) {
    CDesign design(static_cast<int>(picture.size()), static_cast<int>(picture[0].size()));
    for (size_t r = 0; r < picture.size(); ++r)
        for (size_t c = 0; c < picture[r].size(); ++c)
            design.Set(static_cast<int>(r), static_cast<int>(c), picture[r][c] == 'X');
    return design;
}

TEST(Design, ItsCluesAreThoseOfThePictureAndItsFilledCellsAreKnown) {
    const std::vector<std::string> picture = {"XX-X", "----", "-XXX"};
    const CPuzzle puzzle = DesignOf(picture).ToPuzzle();
    EXPECT_EQ(CluesText(puzzle), CluesText(PuzzleFromPicture(picture)));
    EXPECT_EQ(GridRows(puzzle), (std::vector<std::string>{"XX.X", "....", ".XXX"}));
    // The clue file written from it reads back to the same clues.
    TempDir dir;
    CPuzzleFile again;
    again.Load(dir.Write("d.tb", FormatClueFile(puzzle)).c_str());
    EXPECT_EQ(CluesText(again), CluesText(puzzle));
}

struct EditCase {
    const char* name;
    void (*edit)(CDesign&);
    std::vector<std::string> after;
};

TEST(Design, WholePictureEditsMoveClearInvertAndResize) {
    const std::vector<std::string> before = {"X--", "-X-", "--X"};
    const EditCase cases[] = {
        {"Clear", [](CDesign& d) { d.Clear(); }, {"---", "---", "---"}},
        {"Invert", [](CDesign& d) { d.Invert(); }, {"-XX", "X-X", "XX-"}},
        {"ShiftRight", [](CDesign& d) { d.Shift(0, 1); }, {"-X-", "--X", "---"}},
        {"ShiftUpLeft", [](CDesign& d) { d.Shift(-1, -1); }, {"X--", "-X-", "---"}},
        {"GrowTopAndRight",
         [](CDesign& d) { EXPECT_TRUE(d.Resize(1, 0, 0, 2)); },
         {"-----", "X----", "-X---", "--X--"}},
        {"ShrinkLeftAndBottom", [](CDesign& d) { EXPECT_TRUE(d.Resize(0, -1, -1, 0)); }, {"--", "X-"}},
        {"NoSideLeft", [](CDesign& d) { EXPECT_FALSE(d.Resize(0, 0, -2, -1)); }, {"X--", "-X-", "--X"}},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        CDesign design = DesignOf(before);
        c.edit(design);
        EXPECT_EQ(DesignRows(design), c.after);
    }
    CDesign tall(CDesign::kMaxSide, 1);
    EXPECT_FALSE(tall.Resize(1, 0, 0, 0)) << "past the clue file's limit";
    EXPECT_EQ(CDesign(0, 40000).GetRows(), 1);
    EXPECT_EQ(CDesign(0, 40000).GetCols(), CDesign::kMaxSide);
}

TEST(Design, ALineIsUnbrokenFromEndToEnd) {
    const std::pair<int, int> ends[][2] = {
        {{0, 0}, {0, 5}}, {{0, 0}, {4, 4}}, {{5, 1}, {0, 3}}, {{2, 7}, {3, 0}}, {{1, 1}, {1, 1}}};
    for (const auto& e : ends) {
        const auto cells = CDesign::LineCells(e[0].first, e[0].second, e[1].first, e[1].second);
        ASSERT_FALSE(cells.empty());
        EXPECT_EQ(cells.front(), e[0]);
        EXPECT_EQ(cells.back(), e[1]);
        const size_t nSteps =
            static_cast<size_t>(std::max(std::abs(e[1].first - e[0].first), std::abs(e[1].second - e[0].second)));
        EXPECT_EQ(cells.size(), nSteps + 1) << "one cell per step along the longer side";
        for (size_t i = 1; i < cells.size(); ++i) {
            EXPECT_LE(std::abs(cells[i].first - cells[i - 1].first), 1);
            EXPECT_LE(std::abs(cells[i].second - cells[i - 1].second), 1);
        }
    }
}

struct CheckCase {
    const char* name;
    std::vector<std::string> picture;
    DesignVerdict::Kind kind;
    size_t nDiffer;
};

TEST(DesignCheck, TellsLineLogicUniqueAndNotUniqueDesignsApart) {
    const CheckCase cases[] = {
        {"LineLogic", {"XX-X", "-XXX", "X---"}, DesignVerdict::Kind::LineLogic, 0},
        {"Blank", {"---", "---"}, DesignVerdict::Kind::LineLogic, 0},
        // Two diagonals: the swapped picture has the same clues.
        {"NotUnique", {"X-", "-X"}, DesignVerdict::Kind::NotUnique, 4},
        // Line logic decides nothing, but only one picture fits.
        {"UniqueBeyondLines", {"-----", "-X--X", "--XXX", "X----", "XX---"}, DesignVerdict::Kind::Unique, 0},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CDesign design = DesignOf(c.picture);
        std::atomic<bool> stop{false};
        int nEarly = 0;
        DesignVerdict early;
        const DesignVerdict verdict = CDesignCheck(design.ToPuzzle()).Run(stop, [&](const DesignVerdict& v) {
            ++nEarly;
            early = v;
        });
        EXPECT_EQ(verdict.kind, c.kind) << VerdictText(verdict.kind);
        // The verdict carries the rating the command line gives the same clues.
        EXPECT_EQ(FormatRating(verdict.rating), FormatRating(RatePuzzle(design.ToPuzzle())));
        EXPECT_EQ(verdict.differ.size(), c.nDiffer);
        EXPECT_EQ(nEarly, 1) << "line logic's verdict comes first";
        EXPECT_EQ(early.lineCells.size(), c.picture.size() * c.picture[0].size());
        if (c.kind == DesignVerdict::Kind::LineLogic)
            EXPECT_EQ(early.lineCells, design.Cells()) << "line logic decides the whole picture";
        else
            EXPECT_NE(std::count(early.lineCells.begin(), early.lineCells.end(), CELL_UNKNOWN), 0);
    }
    std::atomic<bool> stop{true};
    EXPECT_EQ(CDesignCheck(DesignOf({"X-", "-X"}).ToPuzzle()).Run(stop, nullptr).kind, DesignVerdict::Kind::Stopped);
}

TEST(DesignCheck, NamesItsVerdictsInTheWindowsWords) {
    EXPECT_STREQ(VerdictText(DesignVerdict::Kind::LineLogic), "Solvable by line logic");
    EXPECT_STREQ(VerdictText(DesignVerdict::Kind::Unique), "Unique, needs more than line logic");
    EXPECT_STREQ(VerdictText(DesignVerdict::Kind::NotUnique), "Not unique");
    EXPECT_STREQ(VerdictText(DesignVerdict::Kind::NotChecked), "Not checked yet");
    EXPECT_STREQ(VerdictText(DesignVerdict::Kind::Stopped), "Check stopped");
}

TEST(DesignDocument, ADesignIsEditedSavedAndOpenedAgainWithTheSameClues) {
    TempDir dir;
    CTabulonDoc doc;
    doc.NewDesign(3, 4);
    ASSERT_TRUE(doc.IsDesigning());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(CluesText(*doc.GetPuzzle()), CluesText(PuzzleFromPicture({"----", "----", "----"})));

    CDesign design = *doc.GetDesign();
    for (const auto& [r, c] : {std::pair{0, 0}, {0, 1}, {2, 1}, {2, 2}, {2, 3}})
        design.Set(r, c, true);
    doc.SetDesign(design);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(CluesText(*doc.GetPuzzle()), CluesText(PuzzleFromPicture({"XX--", "----", "-XXX"})));

    const std::string strPath = (dir.Path() / "drawn.tb").string();
    ASSERT_TRUE(doc.SaveDesign(strPath).bOk);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), strPath);
    EXPECT_EQ(doc.GetTitle(), "drawn.tb");
    const std::string strClues = CluesText(*doc.GetPuzzle());

    EXPECT_FALSE(doc.SaveDesign((dir.Path() / "no" / "such.tb").string()).bOk);
    EXPECT_EQ(doc.GetPathName(), strPath) << "a failed save changes nothing";

    ASSERT_TRUE(doc.FileOpen(strPath));
    EXPECT_FALSE(doc.IsDesigning());
    EXPECT_EQ(CluesText(*doc.GetPuzzle()), strClues);
    doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    doc.OnSolve();
    EXPECT_EQ(GridRows(*doc.GetPuzzle()), (std::vector<std::string>{"XX--", "----", "-XXX"}));
}

TEST(DesignDocument, SavedAsNonOrXmlTheDesignKeepsItsPictureAsTheGoal) {
    TempDir dir;
    CTabulonDoc doc;
    doc.NewDesign(3, 4);
    CDesign design = *doc.GetDesign();
    for (const auto& [r, c] : {std::pair{0, 0}, {1, 2}, {2, 3}})
        design.Set(r, c, true);
    doc.SetDesign(design);
    const std::string strClues = CluesText(*doc.GetPuzzle());
    for (const char* pszName : {"p.non", "p.xml", "p.tb"}) {
        SCOPED_TRACE(pszName);
        const std::string strPath = (dir.Path() / pszName).string();
        ASSERT_TRUE(doc.SaveDesign(strPath).bOk);
        CPuzzleFile again;
        again.Load(strPath.c_str());
        ASSERT_TRUE(again.GetLoadError().empty()) << again.GetLoadError();
        EXPECT_EQ(CluesText(again), strClues);
        EXPECT_EQ(again.GetExtras().strGoal, std::string(pszName) == "p.tb" ? "" : "100000100001");
    }
}

// The views draw a design afresh after each change: its clues, then its cells.
TEST(DesignDocument, EveryChangeRebuildsThePictureAndPaintsItsCells) {
    struct HintLog : IDocView {
        std::vector<int> hints;
        void OnUpdate(int nHint) override { hints.push_back(nHint); }
    } view;
    CTabulonDoc doc;
    doc.AddView(&view);
    doc.NewDesign(2, 2);
    view.hints.clear();
    CDesign design = *doc.GetDesign();
    design.Set(0, 0, true);
    doc.SetDesign(design);
    EXPECT_EQ(view.hints, (std::vector<int>{1, 2}));
    doc.RemoveView(&view);
}

TEST(DesignDocument, TheCheckersDifferingCellsAreTheOnesFramed) {
    CTabulonDoc doc;
    doc.NewDesign(2, 2);
    DesignVerdict verdict;
    verdict.kind = DesignVerdict::Kind::NotUnique;
    verdict.differ = {0, 1, 2, 3};
    doc.SetDesignVerdict(verdict);
    EXPECT_EQ(doc.GetCellsThatDiffer(), verdict.differ);
    doc.SetDesign(*doc.GetDesign());
    EXPECT_TRUE(doc.GetCellsThatDiffer().empty()) << "an edit makes the verdict old";
    doc.EndDesign();
    EXPECT_FALSE(doc.IsDesigning());
    EXPECT_EQ(GridRows(*doc.GetPuzzle()), (std::vector<std::string>{"..", ".."})) << "the clues, to solve";
}

} // namespace
