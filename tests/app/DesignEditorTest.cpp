#include "app/DesignEditor.h"
#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "doc/TabulonDoc.h"
#include "render/PictureImport.h"
#include "render/TabulonView2.h"
#include "support/TestPuzzles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::string> Picture(const CTabulonDoc& doc) {
    return DesignRows(*doc.GetDesign());
}

class DesignEditorTest : public ::testing::Test {
  protected:
    DesignEditorTest()
        : m_settings(m_dir.Path().string().append("/settings.ini").c_str(), QSettings::IniFormat), m_recent(m_settings),
          m_frame(m_doc, m_recent, m_settings) {
        m_frame.NewFile();
        m_frame.resize(700, 600);
        m_frame.show();
    }
    QWidget* Grid() { return m_frame.GridView()->viewport(); }
    // The middle of a cell, in the grid view's window.
    QPoint At(int nRow, int nCol) {
        CTabulonView2* pView = m_frame.GridView();
        const QPointF centre = QRectF(pView->GetRenderer()->CellRect(nRow, nCol)).center() * pView->GetZoom();
        return (centre - QPointF(pView->horizontalScrollBar()->value(), pView->verticalScrollBar()->value())).toPoint();
    }
    // A drag from one cell through others, pressed with `button`.
    void Drag(Qt::MouseButton button, const std::vector<std::pair<int, int>>& cells,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(Grid(), button, modifiers, At(cells.front().first, cells.front().second));
        for (size_t i = 1; i < cells.size(); ++i) {
            const QPoint at = At(cells[i].first, cells[i].second);
            QMouseEvent move(QEvent::MouseMove, at, Grid()->mapToGlobal(at), Qt::NoButton, button, modifiers);
            QApplication::sendEvent(Grid(), &move);
        }
        QTest::mouseRelease(Grid(), button, modifiers, At(cells.back().first, cells.back().second));
    }
    // Waits for the live check's final verdict.
    DesignVerdict::Kind Verdict() {
        QElapsedTimer timer;
        timer.start();
        while ((m_frame.Editor()->IsChecking() || m_doc.GetDesignVerdict().kind == DesignVerdict::Kind::NotChecked) &&
               timer.elapsed() < 10000)
            QTest::qWait(2);
        return m_doc.GetDesignVerdict().kind;
    }

    TempDir m_dir;
    QSettings m_settings;
    CRecentFileList m_recent;
    CTabulonDoc m_doc;
    CMainFrame m_frame;
};

TEST_F(DesignEditorTest, DrawingFillsAndEmptiesCellsTheCluesFollowAndEachStrokeIsOneUndo) {
    ASSERT_TRUE(m_frame.NewDesign(4, 5));
    EXPECT_EQ(m_frame.windowTitle(), "Untitled[*] - Tabulon5") << "with the modified mark's place";
    QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(0, 0));
    const auto shownBlack = [&](int nRow, int nCol) {
        return qGray(Grid()->grab().toImage().pixel(At(nRow, nCol))) < 64;
    };
    EXPECT_TRUE(shownBlack(0, 0)) << "the cell drawn shows at once";
    EXPECT_FALSE(shownBlack(0, 1));
    Drag(Qt::LeftButton, {{2, 0}, {2, 2}, {2, 4}}); // a fast drag leaves no gap
    Drag(Qt::RightButton, {{2, 2}});
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"X----", "-----", "XX-XX", "-----"}));
    EXPECT_EQ(CluesText(*m_doc.GetPuzzle()), CluesText(PuzzleFromPicture({"X----", "-----", "XX-XX", "-----"})));
    EXPECT_TRUE(m_frame.isWindowModified());

    QAction* pUndo = m_frame.ActionFor(Command::Undo);
    QAction* pRedo = m_frame.ActionFor(Command::Redo);
    pUndo->trigger();
    EXPECT_EQ(Picture(m_doc)[2], "XXXXX");
    pUndo->trigger();
    EXPECT_EQ(Picture(m_doc)[2], "-----");
    pUndo->trigger();
    EXPECT_EQ(Picture(m_doc)[0], "-----");
    EXPECT_FALSE(pUndo->isEnabled());
    EXPECT_FALSE(m_frame.isWindowModified()) << "back to the blank design it began as";
    pRedo->trigger();
    pRedo->trigger();
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"X----", "-----", "XXXXX", "-----"}));
    EXPECT_EQ(CluesText(*m_doc.GetPuzzle()), CluesText(PuzzleFromPicture(Picture(m_doc))));
}

TEST_F(DesignEditorTest, ShiftAndADragDrawAStraightLine) {
    ASSERT_TRUE(m_frame.NewDesign(5, 5));
    Drag(Qt::LeftButton, {{0, 0}, {0, 3}, {3, 4}, {4, 4}}, Qt::ShiftModifier);
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"X----", "-X---", "--X--", "---X-", "----X"}));
    m_frame.ActionFor(Command::Undo)->trigger();
    EXPECT_EQ(Picture(m_doc), std::vector<std::string>(5, "-----"));
}

TEST_F(DesignEditorTest, TheLiveVerdictAgreesWithTheCompleteSolverAndFramesTheCellsThatDiffer) {
    ASSERT_TRUE(m_frame.NewDesign(3, 3));
    EXPECT_EQ(Verdict(), DesignVerdict::Kind::LineLogic) << "a blank design";
    EXPECT_TRUE(m_frame.StatusPane()->text().startsWith("Solvable by line logic (rating: line "))
        << m_frame.StatusPane()->text().toStdString();
    QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(0, 0));
    QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(1, 1));
    ASSERT_EQ(Verdict(), DesignVerdict::Kind::NotUnique);
    EXPECT_TRUE(m_frame.StatusPane()->text().startsWith("Not unique")) << m_frame.StatusPane()->text().toStdString();
    CCompleteSolver::Options options;
    options.nMaxSolutions = 2;
    const CCompleteSolver::Result result = CCompleteSolver(*m_doc.GetPuzzle()).Solve(options);
    std::vector<int> differ;
    for (size_t i = 0; i < result.first.size(); ++i)
        if (result.first[i] != result.second[i])
            differ.push_back(static_cast<int>(i));
    EXPECT_EQ(m_doc.GetCellsThatDiffer(), differ);
    EXPECT_EQ(differ, (std::vector<int>{0, 1, 3, 4}));
    const QImage shown = Grid()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint framed =
        At(0, 0) + QPoint(0, -static_cast<int>(m_frame.GridView()->GetRenderer()->CellRect(0, 0).height() / 2) - 2);
    EXPECT_EQ(shown.pixel(framed), CTabulonView2::kDifferFrame);
    // One more cell makes it plain: row 0 "2" and row 1 "1" pin everything.
    QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(0, 1));
    EXPECT_EQ(Verdict(), DesignVerdict::Kind::LineLogic);
    EXPECT_TRUE(m_doc.GetCellsThatDiffer().empty());

    // Random designs: the live check says what the solvers say.
    m_frame.Editor()->UndoStack().setClean(); // nothing to ask about before the next design
    std::mt19937 random(7);
    for (int i = 0; i < 12; ++i) {
        const std::vector<std::string> picture = RandomPicture(random, 6, 6, 50);
        ASSERT_TRUE(m_frame.NewDesign(6, 6));
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 6; ++c)
                if (picture[r][c] == 'X')
                    QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(r, c));
        ASSERT_EQ(Picture(m_doc), picture);
        const DesignVerdict::Kind kind = Verdict();
        CPuzzle lines = PuzzleFromPicture(picture);
        lines.SetTrace(nullptr, nullptr);
        const bool bLines = lines.Solve(nullptr, nullptr) == SOLVE_SOLVED;
        const CCompleteSolver::Result both = CCompleteSolver(PuzzleFromPicture(picture)).Solve(options);
        const DesignVerdict::Kind expected = bLines ? DesignVerdict::Kind::LineLogic
                                             : both.outcome == CCompleteSolver::Outcome::Multiple
                                                 ? DesignVerdict::Kind::NotUnique
                                                 : DesignVerdict::Kind::Unique;
        EXPECT_EQ(kind, expected) << i;
        m_frame.Editor()->UndoStack().setClean();
    }
}

TEST_F(DesignEditorTest, ACheckThatRunsOutOfTimeSaysSo) {
    m_frame.SetCheckSeconds(1);
    m_frame.Editor()->SetCheckLimit(1); // milliseconds, for the test: line logic on 300 x 300 takes longer
    std::mt19937 random(3);
    const std::vector<std::string> picture = RandomPicture(random, 300, 300, 50);
    std::vector<CellState> cells;
    for (const std::string& row : picture)
        for (char cell : row)
            cells.push_back(cell == 'X' ? CELL_FILLED : CELL_EMPTY);
    ASSERT_TRUE(m_frame.NewDesign(300, 300));
    m_doc.SetDesign(CDesign::FromCells(300, 300, cells));
    m_frame.Editor()->Clear(); // an edit starts the check
    m_frame.Editor()->UndoStack().undo();
    EXPECT_EQ(Verdict(), DesignVerdict::Kind::Stopped);
    EXPECT_TRUE(m_frame.StatusPane()->text().startsWith("Check stopped")) << m_frame.StatusPane()->text().toStdString();
    m_doc.SetModified(false);
}

TEST_F(DesignEditorTest, ASavedDesignOpensAsAPuzzleThatSolvesToThePicture) {
    ASSERT_TRUE(m_frame.NewDesign(3, 4));
    for (const auto& [r, c] : {std::pair{0, 0}, {0, 1}, {2, 1}, {2, 2}, {2, 3}})
        QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(r, c));
    const QString strPath = QString::fromStdString((m_dir.Path() / "drawn.tb").string());
    ASSERT_TRUE(m_frame.SaveDesignTo(strPath));
    EXPECT_EQ(m_frame.windowTitle(), "drawn.tb[*] - Tabulon5");
    EXPECT_FALSE(m_frame.isWindowModified());
    EXPECT_EQ(m_recent.Files().value(0), strPath);

    ASSERT_TRUE(m_frame.OpenFile(strPath));
    EXPECT_FALSE(m_doc.IsDesigning());
    EXPECT_TRUE(m_frame.ActionFor(Command::Solve)->isEnabled());
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    m_frame.ActionFor(Command::Solve)->trigger();
    EXPECT_EQ(GridRows(*m_doc.GetPuzzle()), (std::vector<std::string>{"XX--", "----", "-XXX"}));

    // Edit Picture on the solved puzzle: its solution is the picture again.
    m_frame.ActionFor(Command::EditPicture)->trigger();
    ASSERT_TRUE(m_doc.IsDesigning());
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"XX--", "----", "-XXX"}));
    EXPECT_FALSE(m_frame.ActionFor(Command::Solve)->isEnabled()) << "the grid is the picture while it is drawn";
    m_frame.ActionFor(Command::EditPicture)->trigger();
    EXPECT_FALSE(m_doc.IsDesigning());
}

TEST_F(DesignEditorTest, EditPictureSolvesAnUnsolvedPuzzleFirst) {
    ASSERT_TRUE(m_frame.OpenFile(
        QString::fromStdString(m_dir.Write("probe.tb", ClueFileText({"-----", "-X--X", "--XXX", "X----", "XX---"})))));
    m_frame.ActionFor(Command::EditPicture)->trigger();
    QElapsedTimer timer;
    timer.start();
    while (!m_doc.IsDesigning() && timer.elapsed() < 10000)
        QTest::qWait(2);
    ASSERT_TRUE(m_doc.IsDesigning());
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"-----", "-X--X", "--XXX", "X----", "XX---"}));
    EXPECT_EQ(Verdict(), DesignVerdict::Kind::Unique);
}

TEST_F(DesignEditorTest, UnsavedChangesAreAskedAboutBeforeTheyGo) {
    ASSERT_TRUE(m_frame.NewDesign(2, 2));
    QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(0, 0));
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            questions.append(pBox->text());
            pBox->button(answer)->click();
        }
    });
    answerer.start(5);
    EXPECT_FALSE(m_frame.NewFile());
    EXPECT_TRUE(m_doc.IsDesigning()) << "Cancel keeps the design";
    m_frame.close();
    EXPECT_TRUE(m_frame.isVisible());
    EXPECT_EQ(questions, (QStringList{"Save the changes to the new puzzle?", "Save the changes to the new puzzle?"}));
    answer = QMessageBox::Discard;
    EXPECT_TRUE(m_frame.OpenFile(QString::fromStdString(m_dir.Write("cat.tb", "1 1\n1\n\n1\n"))));
    EXPECT_FALSE(m_doc.IsDesigning());
    EXPECT_EQ(questions.size(), 3);
}

TEST_F(DesignEditorTest, WholePictureCommandsAreOneUndoEach) {
    ASSERT_TRUE(m_frame.NewDesign(2, 3));
    QTest::mouseClick(Grid(), Qt::LeftButton, Qt::NoModifier, At(0, 0));
    m_frame.ActionFor(Command::InvertPicture)->trigger();
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"-XX", "XXX"}));
    m_frame.ActionFor(Command::ShiftDown)->trigger();
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"---", "-XX"}));
    m_frame.ActionFor(Command::ClearPicture)->trigger();
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"---", "---"}));
    EXPECT_TRUE(m_frame.Editor()->Resize(1, 0, 0, 1));
    EXPECT_EQ(m_doc.GetPuzzle()->GetHeight(), 3);
    EXPECT_EQ(m_doc.GetPuzzle()->GetWidth(), 4);
    for (int i = 0; i < 3; ++i)
        m_frame.ActionFor(Command::Undo)->trigger();
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"-XX", "XXX"}));
    m_doc.SetModified(false);
}

TEST_F(DesignEditorTest, ASizeTheFileCannotHoldIsRefusedWithAMessage) {
    QStringList texts;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts.append(pBox->text());
            pBox->accept();
        }
    });
    closer.start(5);
    EXPECT_FALSE(m_frame.NewDesign(32767, 32767));
    EXPECT_FALSE(m_frame.NewDesign(0, 5));
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith("A puzzle of 32767 x 32767 cells cannot be made")) << texts[0].toStdString();
    EXPECT_FALSE(m_doc.IsDesigning());
}

TEST_F(DesignEditorTest, AnImportedPictureOpensAsAnUnsavedDesign) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 10; ++y)
            image.setPixel(x, y, qRgb(0, 0, 0));
    const QString strImage = QString::fromStdString((m_dir.Path() / "photo.png").string());
    ASSERT_TRUE(image.save(strImage));
    ASSERT_TRUE(m_frame.ImportPictureFrom(strImage, {2, 4, -1, false}));
    EXPECT_EQ(Picture(m_doc), (std::vector<std::string>{"XX--", "----"}));
    EXPECT_TRUE(m_frame.isWindowModified());
    m_doc.SetModified(false);
}

} // namespace
