#include "app/MainFrame.h"
#include "app/DesktopIntegration.h"
#include "app/InstanceChannel.h"
#include "app/RecentFileList.h"
#include "app/TabulonApp.h"
#include "doc/TabulonDoc.h"
#include "render/TabulonView.h"
#include "render/TabulonView2.h"
#include "support/Programs.h"
#include "support/TestPuzzles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <fstream>
#include <sstream>
#include <thread>

// Readable failures: a QString as its text.
void PrintTo(const QString& strText, std::ostream* pOut) {
    *pOut << '"' << strText.toStdString() << '"';
}

namespace {

const char kExample[] = "3 4\n2 1\n3\n1\n\n1 1\n2\n1\n2\n";

// Where the recent files begin in the File menu.
constexpr int kFirstRecent = 15;

std::string ReadAll(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// The pixels of the frames the grid view draws around cells where two
// solutions differ.
int FramedPixels(CTabulonView2* pView) {
    const QImage image = pView->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int nCount = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            nCount += image.pixel(x, y) == CTabulonView2::kDifferFrame;
    return nCount;
}

// Closes every message box that comes up and remembers its text: the
// application's boxes are modal and would wait for a click.
class MessageBoxCloser {
  public:
    MessageBoxCloser() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.append(pBox->text());
                pBox->accept();
            }
        });
        m_timer.start(5);
    }
    QStringList texts;

  private:
    QTimer m_timer;
};

class MainFrameTest : public ::testing::Test {
  protected:
    MainFrameTest()
        : m_settings(m_dir.Path().string().append("/settings.ini").c_str(), QSettings::IniFormat), m_recent(m_settings),
          m_frame(m_doc, m_recent, m_settings) {
        m_frame.NewFile();
    }

    std::string Example() { return m_dir.Write("cat.tb", kExample); }
    // A clock that moves 5 ms at every reading and no throttle: every end of
    // a pass is a progress update, with the window's wait after it.
    void UpdateAfterEveryPass() {
        m_doc.SetPorts(DocPorts{&m_steppingClock, &m_frame, &m_wait, &m_frame});
        m_doc.SetUpTime(0);
    }
    // Read by the window and by a search's worker thread. A delay on the
    // worker's readings (one at each progress check of the search) makes a
    // short search last as long as a hard one.
    struct SteppingClock : ITickSource {
        std::atomic<uint32_t> dwNow{0};
        std::atomic<int> nWorkerDelayMs{0};
        uint32_t GetTickCount() override {
            if (nWorkerDelayMs > 0 && QThread::currentThread() != QCoreApplication::instance()->thread())
                std::this_thread::sleep_for(std::chrono::milliseconds(nWorkerDelayMs));
            return dwNow += 5;
        }
    };
    // Solve Completely and Check Uniqueness run on a worker: their end
    // reaches the window through its event loop.
    bool WaitForSolve(int nMilliseconds = 20000) {
        QElapsedTimer timer;
        timer.start();
        while (m_frame.IsSolving() && timer.elapsed() < nMilliseconds)
            QTest::qWait(2);
        return !m_frame.IsSolving();
    }
    QStringList MenuTexts(QMenu* pMenu) {
        QStringList texts;
        for (QAction* pAction : pMenu->actions())
            texts.append(pAction->isSeparator()
                             ? QStringLiteral("-")
                             : pAction->text() +
                                   (pAction->shortcut().isEmpty() ? QString() : "\t" + pAction->shortcut().toString()));
        return texts;
    }

    TempDir m_dir;
    QSettings m_settings;
    CRecentFileList m_recent;
    CTabulonDoc m_doc;
    CMainFrame m_frame;
    SteppingClock m_steppingClock;
    CQtEventWait m_wait;
};

TEST_F(MainFrameTest, MenusHoldExactlyTheItemsAndShortcuts) {
    QStringList titles;
    for (QAction* pAction : m_frame.menuBar()->actions())
        titles.append(pAction->text());
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}));
    EXPECT_EQ(MenuTexts(m_frame.FileMenu()),
              (QStringList{"New &Puzzle...\tCtrl+Shift+N", "&Open...\tCtrl+O", "&Import Picture...", "&Save\tCtrl+S",
                           "Save Puzzle As...", "Save Solution &As...", "Save as BMP", "Save ALL as BMP",
                           "&Export Picture...\tCtrl+E", "Solve\tF5", "-", "&Print...\tCtrl+P", "Print Pre&view",
                           "P&rint Setup...", "-", "Recent File", "-", "E&xit"}));
    const QList<QAction*> menus = m_frame.menuBar()->actions();
    EXPECT_EQ(MenuTexts(menus[1]->menu()),
              (QStringList{"&Undo\tCtrl+Z", "&Redo\tCtrl+Shift+Z", "-", "&Copy\tCtrl+C", "-", "Re&size Picture...",
                           "C&lear Picture", "&Invert Picture", "S&hift Picture"}));
    EXPECT_EQ(MenuTexts(menus[2]->menu()),
              (QStringList{"&Toolbar", "&Status Bar", "-", "Zoom &In\tCtrl++", "Zoom &Out\tCtrl+-",
                           "&Actual Size\tCtrl+0", "&Fit to Window\tCtrl+9"}));
    EXPECT_TRUE(menus[2]->menu()->actions()[0]->isChecked());
    EXPECT_EQ(MenuTexts(menus[3]->menu()),
              (QStringList{"Solve Completely\tCtrl+F5", "Check Uniqueness\tCtrl+U", "Stop\tEsc", "-",
                           "Show Other Solution", "-", "&Edit Picture", "&Rate Puzzle", "-", "&Options..."}));
    EXPECT_EQ(MenuTexts(menus[4]->menu()), (QStringList{"&About Tabulon..."}));
    EXPECT_FALSE(m_frame.FileMenu()->actions()[kFirstRecent]->isEnabled()) << "the Recent File placeholder is greyed";
    // The framework's keys, and the second keys of Zoom In and Copy.
    EXPECT_EQ(m_frame.ActionFor(Command::New)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(m_frame.ActionFor(Command::ZoomIn)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))}));
    EXPECT_EQ(m_frame.ActionFor(Command::Copy)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+C")), QKeySequence(QStringLiteral("Ctrl+Ins"))}));
    EXPECT_FALSE(m_frame.ActionFor(Command::Stop)->isEnabled()) << "nothing to stop";
}

TEST_F(MainFrameTest, ToolbarHasSixButtonsAndTwoSeparatorsInOrder) {
    QToolBar* pToolBar = m_frame.findChild<QToolBar*>(QStringLiteral("toolbar"));
    ASSERT_NE(pToolBar, nullptr);
    QStringList items;
    for (QAction* pAction : pToolBar->actions())
        items.append(pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    EXPECT_EQ(items, (QStringList{"&Open...", "&Save", "Solve", "-", "Print Pre&view", "&Print...", "-",
                                  "&About Tabulon..."}));
    EXPECT_EQ(pToolBar->iconSize(), QSize(16, 15));
    EXPECT_TRUE(pToolBar->isMovable());
    EXPECT_TRUE(pToolBar->isFloatable());
    for (QAction* pAction : pToolBar->actions())
        EXPECT_TRUE(pAction->isSeparator() || !pAction->icon().pixmap(QSize(16, 15)).isNull())
            << pAction->text().toStdString();
}

TEST_F(MainFrameTest, PromptsAndTooltipsComeFromTheStringTableAndSolveHasNone) {
    EXPECT_EQ(m_frame.ActionFor(Command::Open)->statusTip(), "Open an existing TB document");
    EXPECT_EQ(m_frame.ActionFor(Command::Open)->toolTip(), "Open");
    EXPECT_EQ(m_frame.ActionFor(Command::About)->statusTip(),
              "Display program information, version number and copyright");
    for (Command command : {Command::Solve, Command::SaveAsBmp, Command::SaveAllAsBmp})
        EXPECT_EQ(m_frame.ActionFor(command)->statusTip(), "");

    m_frame.show();
    QToolBar* pToolBar = m_frame.findChild<QToolBar*>(QStringLiteral("toolbar"));
    QWidget* pSolve = pToolBar->widgetForAction(m_frame.ActionFor(Command::Solve));
    QWidget* pOpen = pToolBar->widgetForAction(m_frame.ActionFor(Command::Open));
    QHelpEvent solveHelp(QEvent::ToolTip, QPoint(4, 4), pSolve->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(pSolve, &solveHelp);
    EXPECT_FALSE(QToolTip::isVisible());
    QHelpEvent openHelp(QEvent::ToolTip, QPoint(4, 4), pOpen->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(pOpen, &openHelp);
    EXPECT_EQ(QToolTip::text(), "Open");
    QToolTip::hideText();
}

TEST_F(MainFrameTest, StatusBarShowsReadyAndGreyedLockIndicators) {
    EXPECT_EQ(m_frame.StatusPane()->text(), "Ready");
    for (const char* pszName : {"CAP", "NUM", "SCRL"}) {
        auto* pIndicator = m_frame.findChild<QLabel*>(QString::fromLatin1(pszName));
        ASSERT_NE(pIndicator, nullptr) << pszName;
        EXPECT_EQ(pIndicator->text(), pszName);
        EXPECT_FALSE(pIndicator->isEnabled());
    }
}

TEST_F(MainFrameTest, WindowSplitsIntoTheFormAndTheGridView) {
    m_frame.show();
    EXPECT_EQ(m_frame.size(), QSize(600, 510));
    EXPECT_EQ(m_frame.Splitter()->widget(0), m_frame.FormView());
    EXPECT_EQ(m_frame.Splitter()->widget(1), m_frame.GridView());
    EXPECT_EQ(m_frame.Splitter()->sizes().value(0), 150);
    EXPECT_EQ(m_frame.windowTitle(), "Untitled - Tabulon5");
    EXPECT_EQ(m_frame.GridView()->GetScrollRange(), QSize(100, 100));
    EXPECT_EQ(m_frame.FormView()->CellXEdit()->text(), "8");
    EXPECT_EQ(m_frame.FormView()->CellYEdit()->text(), "8");
    EXPECT_EQ(m_frame.FormView()->UpTimeEdit()->text(), "1000");
}

TEST_F(MainFrameTest, OpenSolveAndSaveThroughTheWindow) {
    MessageBoxCloser closer;
    const std::string strPath = Example();
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(strPath)));
    EXPECT_EQ(m_frame.windowTitle(), "cat.tb - Tabulon5");
    EXPECT_EQ(m_frame.GridView()->GetScrollRange(), QSize(76, 65)); // 2 row and 2 column clue slots

    m_frame.ActionFor(Command::Solve)->trigger();
    EXPECT_TRUE(m_frame.windowTitle().startsWith(QString::fromStdString(strPath) + " Solved. "));
    EXPECT_TRUE(m_frame.windowTitle().endsWith(" ms - VO5 - Tabulon5"));
    EXPECT_EQ(m_frame.StatusPane()->text(), "Solved.");

    m_frame.ActionFor(Command::Save)->trigger();
    EXPECT_EQ(ReadAll(strPath + "r"), "XX-X\n-XXX\nX---\n");
    m_frame.ActionFor(Command::SaveAllAsBmp)->trigger();
    EXPECT_GT(ReadAll(strPath + "_all.bmp").size(), 54u);
    EXPECT_EQ(closer.texts, (QStringList{QString::fromStdString("File saved as " + strPath + "r"),
                                         QString::fromStdString(strPath + "_all.bmp")}));
}

TEST_F(MainFrameTest, TheToolsMenuSolvesBeyondLineLogicAndChecksUniqueness) {
    QAction* pOther = m_frame.ActionFor(Command::ShowOtherSolution);
    const std::string strTwo = m_dir.Write("two.tb", "2 2\n1\n1\n\n1\n1\n");
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(strTwo)));
    EXPECT_FALSE(pOther->isEnabled());
    m_frame.ActionFor(Command::CheckUniqueness)->trigger();
    ASSERT_TRUE(WaitForSolve());
    EXPECT_TRUE(m_frame.windowTitle().contains(" Multiple solutions. ")) << m_frame.windowTitle().toStdString();
    EXPECT_EQ(m_frame.StatusPane()->text(), "Multiple solutions: 2 found; the grid shows the first.");
    EXPECT_EQ(RowText(*m_doc.GetPuzzle(), 0), "X-") << "the first solution is shown";
    EXPECT_EQ(m_doc.GetCellsThatDiffer().size(), 4u);
    EXPECT_GT(FramedPixels(m_frame.GridView()), 0) << "the cells that differ are framed";

    // Show Other Solution switches between the two, and says which is shown.
    ASSERT_TRUE(pOther->isEnabled());
    pOther->trigger();
    EXPECT_EQ(RowText(*m_doc.GetPuzzle(), 0), "-X");
    EXPECT_EQ(m_frame.StatusPane()->text(), "Multiple solutions: 2 found; the grid shows the second.");
    pOther->trigger();
    EXPECT_EQ(RowText(*m_doc.GetPuzzle(), 0), "X-");
    // Solve replaces the grid, so the solutions found no longer apply.
    m_frame.ActionFor(Command::Solve)->trigger();
    EXPECT_FALSE(pOther->isEnabled());
    EXPECT_EQ(FramedPixels(m_frame.GridView()), 0);
    m_doc.OnShowOtherSolution(); // the document refuses it as well
    EXPECT_EQ(RowText(*m_doc.GetPuzzle(), 0), "..") << "Solve's grid stays";

    m_frame.ActionFor(Command::CheckUniqueness)->trigger();
    ASSERT_TRUE(WaitForSolve());
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    EXPECT_FALSE(pOther->isEnabled()) << "another puzzle opened";
    m_frame.ActionFor(Command::SolveCompletely)->trigger();
    ASSERT_TRUE(WaitForSolve());
    EXPECT_TRUE(m_frame.windowTitle().contains(" Solved. ")) << m_frame.windowTitle().toStdString();
    EXPECT_FALSE(pOther->isEnabled()) << "one solution found";
}

TEST_F(MainFrameTest, AnIncompleteSolveSaysWhyInTheStatusBar) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(m_dir.Write("two.tb", "2 2\n1\n1\n\n1\n1\n"))));
    m_frame.ActionFor(Command::Solve)->trigger();
    EXPECT_TRUE(m_frame.windowTitle().contains(" Incomplete. "));
    EXPECT_EQ(m_frame.StatusPane()->text(), "Incomplete: line logic decided 0 of 4 cells.");
}

TEST_F(MainFrameTest, OpeningAPuzzleSetSaysHowManyItHolds) {
    const std::string strOne = "<puzzle><clues type='rows'><line><count>1</count></line></clues>"
                               "<clues type='columns'><line><count>1</count></line></clues></puzzle>";
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(m_dir.Write("one.xml", strOne))));
    EXPECT_EQ(m_frame.StatusPane()->text(), "Ready");
    ASSERT_TRUE(m_frame.OpenFile(
        QString::fromStdString(m_dir.Write("set.xml", "<puzzleset>" + strOne + strOne + strOne + "</puzzleset>"))));
    EXPECT_EQ(m_frame.StatusPane()->text(), "set.xml holds 3 puzzles; opened the first.");
    EXPECT_EQ(m_doc.GetPuzzle()->GetHeight(), 1);
}

TEST_F(MainFrameTest, AFileThatCannotBeOpenedIsReportedAndLeavesTheDocument) {
    MessageBoxCloser closer;
    EXPECT_FALSE(m_frame.OpenFile(QString::fromStdString((m_dir.Path() / "missing.tb").string())));
    EXPECT_EQ(m_frame.windowTitle(), "Untitled - Tabulon5");
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_TRUE(closer.texts[0].contains("No such file or directory"));
}

TEST_F(MainFrameTest, CtrlNClearsTheDocumentAndF6SwitchesPanes) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    m_frame.show();
    QApplication::setActiveWindow(&m_frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    m_frame.GridView()->setFocus();
    QTest::keyClick(m_frame.GridView(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(m_doc.GetPuzzle(), nullptr);
    EXPECT_EQ(m_frame.windowTitle(), "Untitled - Tabulon5");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), m_frame.FormView()->CellXEdit());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), m_frame.GridView());
}

TEST_F(MainFrameTest, UpdateAppliesTheSettingsAndRebuildsThePicture) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    CTabulonView* pForm = m_frame.FormView();
    pForm->CellXEdit()->setText("12");
    pForm->CellYEdit()->setText("12");
    pForm->UpTimeEdit()->setText("0");
    QTest::mouseClick(pForm->UpdateButton(), Qt::LeftButton);
    EXPECT_EQ(m_doc.GetCellX(), 12);
    EXPECT_EQ(m_doc.GetUpTime(), 0);
    // pitch 15, thick lines 2 wide: (2 + 4) * 15 + 8 + 2 by (2 + 3) * 15 + 8 + 2
    EXPECT_EQ(m_frame.GridView()->GetScrollRange(), QSize(100, 85));

    pForm->CellXEdit()->setText("-3");  // sizes below 1 become 0
    pForm->UpTimeEdit()->setText("-1"); // and so does the interval: progress and Esc keep working
    QTest::mouseClick(pForm->UpdateButton(), Qt::LeftButton);
    EXPECT_EQ(m_doc.GetCellX(), 0);
    EXPECT_EQ(m_doc.GetUpTime(), 0);
    EXPECT_EQ(pForm->CellXEdit()->text(), "-3") << "the edit keeps what was typed";
}

TEST_F(MainFrameTest, AnEditWithoutAnIntegerIsPromptedAndKeepsTheOldValues) {
    MessageBoxCloser closer;
    CTabulonView* pForm = m_frame.FormView();
    m_frame.show();
    QApplication::setActiveWindow(&m_frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    pForm->UpTimeEdit()->setText("soon");
    pForm->CellXEdit()->setText("20");
    pForm->CellYEdit()->setText("20");
    pForm->OnUpdateButton();
    EXPECT_EQ(closer.texts, QStringList{"Please enter an integer."});
    EXPECT_EQ(m_frame.focusWidget(), pForm->UpTimeEdit());
    // the interval is read first: it and the two after it keep their values
    EXPECT_EQ(m_doc.GetUpTime(), 1000);
    EXPECT_EQ(m_doc.GetCellX(), 8);
    EXPECT_EQ(m_doc.GetCellY(), 8);
}

TEST_F(MainFrameTest, RecentFilesAreListedAndSurviveARestart) {
    const std::string strPath = Example();
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(strPath)));
    EXPECT_EQ(m_frame.FileMenu()->actions()[kFirstRecent]->text(), QString::fromStdString("&1 " + strPath));
    EXPECT_EQ(m_frame.FileMenu()->actions()[kFirstRecent]->statusTip(), "Open this document");

    QSettings again(m_dir.Path().string().append("/settings.ini").c_str(), QSettings::IniFormat);
    CRecentFileList restarted(again);
    CTabulonDoc doc;
    CMainFrame frame(doc, restarted, again);
    EXPECT_EQ(frame.FileMenu()->actions()[kFirstRecent]->text(), QString::fromStdString("&1 " + strPath));
    frame.FileMenu()->actions()[kFirstRecent]->trigger();
    ASSERT_NE(doc.GetPuzzle(), nullptr);
    EXPECT_EQ(doc.GetPathName(), strPath);
}

TEST_F(MainFrameTest, TheRecentListKeepsFiveFilesNewestFirst) {
    for (int i = 0; i < 7; ++i)
        m_recent.Add(QStringLiteral("/p/%1.tb").arg(i));
    EXPECT_EQ(m_recent.Files(), (QStringList{"/p/6.tb", "/p/5.tb", "/p/4.tb", "/p/3.tb", "/p/2.tb"}));
    m_recent.Add(QStringLiteral("/p/4.tb"));
    EXPECT_EQ(m_recent.Files().first(), "/p/4.tb");
    EXPECT_EQ(m_recent.Files().size(), 5);
}

TEST_F(MainFrameTest, PrintsTheGridViewToAPdfFile) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    m_frame.ActionFor(Command::Solve)->trigger();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string strPdf = (m_dir.Path() / "grid.pdf").string();
    printer.setOutputFileName(QString::fromStdString(strPdf));
    m_frame.FormView()->CellXEdit()->setFocus(); // whichever pane has the focus
    m_frame.GridView()->Print(printer);
    EXPECT_EQ(ReadAll(strPdf).substr(0, 5), "%PDF-");
}

TEST(PrintOrigin, HalfAnInchFromThePaperOrThePrintableCorner) {
    EXPECT_EQ(CTabulonView2::PrintOrigin(600, 600, 0, 0), QPoint(300, 300));
    EXPECT_EQ(CTabulonView2::PrintOrigin(600, 300, 400, 10), QPoint(400, 150));
    EXPECT_EQ(CTabulonView2::PrintOrigin(1201, 1200, 0, 0), QPoint(600, 600)); // truncated toward zero
}

TEST_F(MainFrameTest, AFileDroppedOnTheWindowIsOpened) {
    const std::string strPath = Example();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(strPath))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_frame, &drop);
    ASSERT_NE(m_doc.GetPuzzle(), nullptr);
    EXPECT_EQ(m_doc.GetPathName(), strPath);
}

// A second instance hands over a file while the window shows why the
// first could not be read: that open waits until the first one is done.
TEST_F(MainFrameTest, AnOpenRequestedWhileAMessageIsShownWaitsForIt) {
    const std::string strBad = m_dir.Write("bad.tb", "2 2\nx3\n");
    const std::string strGood = Example();
    QStringList texts;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (texts.isEmpty())
                m_frame.RequestOpen(QString::fromStdString(strGood));
            texts.append(pBox->text());
            pBox->accept();
        }
    });
    answerer.start(5);
    m_frame.OpenFile(QString::fromStdString(strBad));
    EXPECT_EQ(m_doc.GetPathName(), strBad) << "the handed-over file is not opened inside the box";
    QTRY_COMPARE(m_doc.GetPathName(), strGood);
    EXPECT_EQ(m_frame.windowTitle(), "cat.tb - Tabulon5");
    EXPECT_EQ(m_recent.Files().value(0), QString::fromStdString(strGood)) << "the newest file comes first";
    EXPECT_EQ(texts.size(), 1);
}

TEST_F(MainFrameTest, ClosingDuringASolveStopsItAndThenCloses) {
    // A solve with progress updates: the close request arrives in the wait
    // after one and is carried out when the solve is over.
    std::vector<std::string> picture;
    for (int r = 0; r < 25; ++r) {
        std::string row;
        for (int c = 0; c < 25; ++c)
            row += ((r * 7 + c * 3) % 5 < 2 || r == c) ? 'X' : '-';
        picture.push_back(row);
    }
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(m_dir.Write("big.tb", ClueFileText(picture)))));
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    UpdateAfterEveryPass();
    m_frame.show();
    bool bClosedDuringSolve = false;
    QTimer::singleShot(0, &m_frame, [&] {
        bClosedDuringSolve = m_frame.IsSolving();
        m_frame.close();
    });
    m_frame.ActionFor(Command::Solve)->trigger();
    EXPECT_TRUE(bClosedDuringSolve) << "the close request came in the middle of the solve";
    EXPECT_TRUE(m_frame.windowTitle().contains(" Stopped. ")) << m_frame.windowTitle().toStdString();
    EXPECT_FALSE(m_frame.isVisible());
}

TEST_F(MainFrameTest, EscapeStopsARunningSolve) {
    // A progress update after every pass, and the key press handled in the
    // wait after the first one.
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(m_dir.Write("big.tb", "2 2\n1\n1\n\n1\n1\n"))));
    UpdateAfterEveryPass();
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    m_frame.show();
    QTimer::singleShot(0, &m_frame, [&] { QTest::keyClick(m_frame.GridView(), Qt::Key_Escape); });
    QTimer::singleShot(0, &m_frame, [&] { QTest::keyClick(m_frame.GridView(), Qt::Key_N, Qt::ControlModifier); });
    m_frame.ActionFor(Command::Solve)->trigger();
    EXPECT_TRUE(m_frame.windowTitle().contains(" Stopped. ")) << m_frame.windowTitle().toStdString();
    EXPECT_TRUE(m_frame.StatusPane()->text().startsWith("Stopped: ")) << m_frame.StatusPane()->text().toStdString();
    EXPECT_NE(m_doc.GetPuzzle(), nullptr) << "Ctrl+N during the solve did nothing";
}

// Clues that a half turn carries onto themselves: Check Uniqueness needs
// over a thousand search nodes for the second solution.
const std::vector<std::string> kHalfTurn = {
    "-X-XX----XX----X-X", "X-----X---X----X--", "X-XX--XX------XXX-", "-------X--------X-", "--X--X---X----XX--",
    "--XXX------XX----X", "--X---X--X-XXX--X-", "X--X-XX--X-X-XX---", "-X-X--X---X-X--X-X", "X-X--X-X---X--X-X-",
    "---XX-X-X--XX-X--X", "-X--XXX-X--X---X--", "X----XX------XXX--", "--XX----X---X--X--", "-X--------X-------",
    "-XXX------XX--XX-X", "--X----X---X-----X", "X-X----XX----XX-X-"};

TEST_F(MainFrameTest, CheckingUniquenessSaysInTheStatusBarThatEscStopsIt) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(m_dir.Write("turn.tb", ClueFileText(kHalfTurn)))));
    UpdateAfterEveryPass();
    m_steppingClock.nWorkerDelayMs = 50; // the search lasts seconds: the key comes while it runs
    m_frame.show();
    QString strDuringSolve;
    QTimer::singleShot(0, &m_frame, [&] {
        strDuringSolve = m_frame.StatusPane()->text();
        QTest::keyClick(m_frame.GridView(), Qt::Key_Escape);
    });
    m_frame.ActionFor(Command::CheckUniqueness)->trigger();
    ASSERT_TRUE(WaitForSolve());
    EXPECT_EQ(strDuringSolve.toStdString(), "Checking uniqueness. Press Esc to stop.");
    EXPECT_TRUE(m_frame.windowTitle().contains(" Stopped. ")) << m_frame.windowTitle().toStdString();
    EXPECT_TRUE(m_frame.StatusPane()->text().startsWith("Stopped: ")) << m_frame.StatusPane()->text().toStdString();
}

// How long `done` takes to come true, handling events meanwhile; -1 after nLimitMs.
template <class Done> qint64 MillisecondsUntil(Done done, qint64 nLimitMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > nLimitMs)
            return -1;
        QTest::qWait(1);
    }
    return timer.elapsed();
}

// Only the first of the searches on a puzzle reports progress, so only it
// waits on the clock: the others run at full speed. A random picture that
// no search here answers within a minute keeps them all busy.
TEST_F(MainFrameTest, EscAndClosingStopASearchAtOnceWhateverTheRedrawInterval) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromLatin1(TABULON_TEST_DATA "/hard-31x49.tb")));
    m_doc.SetPorts(DocPorts{&m_steppingClock, &m_frame, &m_wait, &m_frame});
    m_doc.SetUpTime(INT_MAX);
    m_steppingClock.nWorkerDelayMs = 400; // a search of many seconds
    m_frame.show();
    QApplication::setActiveWindow(&m_frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));

    QTest::keyClick(&m_frame, Qt::Key_U, Qt::ControlModifier); // Check Uniqueness
    ASSERT_TRUE(m_frame.IsSolving());
    EXPECT_EQ(m_frame.StatusPane()->text(), "Checking uniqueness. Press Esc to stop.");
    QTest::qWait(50);
    QTest::keyClick(m_frame.GridView(), Qt::Key_Escape);
    // The search stops at its next step: here the clock's delay, at most 400 ms.
    const qint64 nStopMs = MillisecondsUntil([&] { return !m_frame.IsSolving(); });
    EXPECT_GE(nStopMs, 0);
    EXPECT_LT(nStopMs, 2000);
    EXPECT_TRUE(m_frame.windowTitle().contains(" Stopped. ")) << m_frame.windowTitle().toStdString();

    QTest::keyClick(&m_frame, Qt::Key_F5, Qt::ControlModifier); // Solve Completely
    ASSERT_TRUE(m_frame.IsSolving());
    m_frame.close();
    EXPECT_TRUE(m_frame.isVisible()) << "the window waits for the search to stop";
    const qint64 nCloseMs = MillisecondsUntil([&] { return !m_frame.isVisible(); });
    EXPECT_GE(nCloseMs, 0);
    EXPECT_LT(nCloseMs, 2000);
    EXPECT_FALSE(m_frame.IsSolving());
}

// The search's progress shows the cells of the branch it is in; once it is
// stopped, the grid holds only what it proved, and the picture must say the
// same: no cell guessed on the way may stay drawn.
TEST_F(MainFrameTest, AStoppedSearchLeavesNoGuessedCellInThePicture) {
    // a random picture whose solution takes one search over 4,000 nodes
    ASSERT_TRUE(m_frame.OpenFile(QString::fromLatin1(TABULON_TEST_DATA "/search-25x25.tb")));
    UpdateAfterEveryPass();
    m_doc.SetSearchThreads(1); // the search that shows its progress
    m_steppingClock.nWorkerDelayMs = 20;
    m_frame.show();
    m_frame.ActionFor(Command::SolveCompletely)->trigger();
    ASSERT_TRUE(m_frame.IsSolving());
    const CGridRenderer* pRenderer = m_frame.GridView()->GetRenderer();
    const CPuzzle* pPuzzle = m_doc.GetPuzzle();
    auto cellsDrawn = [&] {
        int nDrawn = 0;
        for (int r = 0; r < pPuzzle->GetHeight(); ++r)
            for (int c = 0; c < pPuzzle->GetWidth(); ++c)
                nDrawn += !pRenderer->Shows(r, c, CELL_UNKNOWN);
        return nDrawn;
    };
    const int nProvenAtStart = [&] {
        CPuzzle lines = *pPuzzle;
        lines.SetTrace([](void*, int) {}, nullptr);
        lines.Solve(nullptr, nullptr);
        return static_cast<int>(std::count_if(lines.GetCells().begin(), lines.GetCells().end(),
                                              [](CellState state) { return state != CELL_UNKNOWN; }));
    }();
    // until the progress shows cells line logic does not prove: guesses
    EXPECT_GE(MillisecondsUntil([&] { return cellsDrawn() > nProvenAtStart + 20; }), 0);
    QTest::keyClick(m_frame.GridView(), Qt::Key_Escape);
    ASSERT_TRUE(WaitForSolve());
    ASSERT_TRUE(m_frame.windowTitle().contains(" Stopped. ")) << m_frame.windowTitle().toStdString();

    int nWrong = 0, nUnknown = 0;
    for (int r = 0; r < pPuzzle->GetHeight(); ++r)
        for (int c = 0; c < pPuzzle->GetWidth(); ++c) {
            nWrong += !pRenderer->Shows(r, c, pPuzzle->GetCell(r, c));
            nUnknown += pPuzzle->GetCell(r, c) == CELL_UNKNOWN;
        }
    EXPECT_GT(nUnknown, 0) << "the stop came after the search had proved every cell";
    EXPECT_EQ(nWrong, 0) << "cells drawn otherwise than the grid holds them";
}

TEST_F(MainFrameTest, DuringASearchTheWindowTakesInputButNothingChangesThePuzzle) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(m_dir.Write("turn.tb", ClueFileText(kHalfTurn)))));
    UpdateAfterEveryPass();
    m_steppingClock.nWorkerDelayMs = 100;
    m_frame.show();
    QApplication::setActiveWindow(&m_frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    m_frame.ActionFor(Command::CheckUniqueness)->trigger();
    ASSERT_TRUE(m_frame.IsSolving());

    QTest::keyClick(m_frame.GridView(), Qt::Key_Equal, Qt::ControlModifier); // zoom in
    EXPECT_EQ(m_frame.GridView()->GetZoom(), 1.5);
    EXPECT_EQ(m_frame.ZoomPane()->text(), "150%");
    QLineEdit* pCellX = m_frame.FormView()->CellXEdit();
    pCellX->setFocus();
    pCellX->selectAll();
    QTest::keyClicks(pCellX, "12");
    QTest::keyClick(pCellX, Qt::Key_Return); // does not apply while the search runs
    QTest::keyClick(m_frame.GridView(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(m_frame.ActionFor(Command::Open)->isEnabled());
    EXPECT_FALSE(m_frame.FormView()->UpdateButton()->isEnabled());
    EXPECT_TRUE(m_frame.IsSolving());

    ASSERT_TRUE(WaitForSolve());
    EXPECT_NE(m_doc.GetPuzzle(), nullptr) << "Ctrl+N did nothing";
    EXPECT_EQ(pCellX->text(), "12") << "what was typed is kept";
    EXPECT_EQ(m_doc.GetCellX(), 8);
    EXPECT_TRUE(m_frame.FormView()->UpdateButton()->isEnabled());
    QTest::keyClick(pCellX, Qt::Key_Return); // now Enter applies it
    EXPECT_EQ(m_doc.GetCellX(), 12);
    EXPECT_TRUE(m_frame.ActionFor(Command::Open)->isEnabled());
}

TEST_F(MainFrameTest, TheSolvingKeysReachTheirCommands) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    m_doc.GetPuzzle()->SetTrace(nullptr, nullptr);
    m_frame.show();
    QApplication::setActiveWindow(&m_frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    QTest::keyClick(&m_frame, Qt::Key_F5);
    EXPECT_TRUE(m_frame.windowTitle().contains(" Solved. ")) << m_frame.windowTitle().toStdString();
    QTest::keyClick(&m_frame, Qt::Key_U, Qt::ControlModifier);
    ASSERT_TRUE(WaitForSolve());
    EXPECT_TRUE(m_frame.windowTitle().contains(" Unique. ")) << m_frame.windowTitle().toStdString();
    QTest::keyClick(&m_frame, Qt::Key_F5, Qt::ControlModifier);
    ASSERT_TRUE(WaitForSolve());
    EXPECT_TRUE(m_frame.windowTitle().contains(" Solved. ")) << m_frame.windowTitle().toStdString();
}

TEST_F(MainFrameTest, TheWindowRemembersItsSettingsForTheNextRun) {
    const std::string strPath = Example();
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(strPath)));
    m_frame.show();
    m_frame.resize(700, 560);
    m_frame.Splitter()->setSizes({200, 500});
    m_frame.FormView()->CellXEdit()->setText("11");
    m_frame.FormView()->CellYEdit()->setText("9");
    m_frame.FormView()->UpTimeEdit()->setText("250");
    m_frame.FormView()->OnUpdateButton();
    m_frame.GridView()->SetZoom(2.0);
    m_frame.close();

    CTabulonDoc doc;
    CMainFrame again(doc, m_recent, m_settings);
    again.NewFile();
    again.show();
    EXPECT_EQ(doc.GetCellX(), 11);
    EXPECT_EQ(doc.GetCellY(), 9);
    EXPECT_EQ(doc.GetUpTime(), 250);
    EXPECT_EQ(again.FormView()->CellXEdit()->text(), "11");
    EXPECT_EQ(again.GridView()->GetZoom(), 2.0);
    EXPECT_EQ(again.ZoomPane()->text(), "200%");
    EXPECT_EQ(again.size(), QSize(700, 560));
    EXPECT_EQ(again.Splitter()->sizes().value(0), 200);

    again.GridView()->FitToWindow();
    CTabulonDoc third;
    CMainFrame once_more(third, m_recent, m_settings);
    EXPECT_TRUE(once_more.GridView()->IsFitting()) << "Fit to Window is kept as a mode";
}

TEST_F(MainFrameTest, NewClearsTheGridView) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    m_frame.ActionFor(Command::Solve)->trigger();
    const auto blackPixels = [&] {
        const QImage shown = m_frame.GridView()->viewport()->grab().toImage();
        int nBlack = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                nBlack += qGray(shown.pixel(x, y)) < 128;
        return nBlack;
    };
    EXPECT_GT(blackPixels(), 0);
    m_frame.ActionFor(Command::New)->trigger();
    EXPECT_EQ(blackPixels(), 0);
}

TEST_F(MainFrameTest, LeavingAMenuTakesThePromptAwayAndShowsReady) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    m_frame.ActionFor(Command::Solve)->trigger();
    EXPECT_EQ(m_frame.StatusPane()->text(), "Solved.");
    // The pointer over a menu item shows its prompt; leaving the item sends
    // an empty one, as Qt's menus do.
    m_frame.ActionFor(Command::Open)->showStatusText(&m_frame);
    EXPECT_EQ(m_frame.statusBar()->currentMessage(), "Open an existing TB document");
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(&m_frame, &leave);
    EXPECT_EQ(m_frame.StatusPane()->text(), "Ready");
    EXPECT_TRUE(m_frame.windowTitle().contains(" Solved. ")) << "the outcome stays in the caption";
}

TEST_F(MainFrameTest, AFileTheReaderRefusesIsNamedInTheCaptionAndNotKeptAmongTheRecentFiles) {
    const std::string strGood = Example();
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(strGood)));
    m_frame.ActionFor(Command::Solve)->trigger();
    const std::string strBad = m_dir.Write("bad.tb", "2 2\nx3\n");
    m_recent.Add(QString::fromStdString(strBad)); // opened once, before it was spoilt
    QString strTitleDuringBox, strStatusDuringBox;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            strTitleDuringBox = m_frame.windowTitle();
            strStatusDuringBox = m_frame.StatusPane()->text();
            pBox->accept();
        }
    });
    answerer.start(5);
    m_frame.OpenFile(QString::fromStdString(strBad));
    EXPECT_EQ(strTitleDuringBox, "bad.tb - Tabulon5");
    EXPECT_EQ(strStatusDuringBox, "Ready");
    EXPECT_EQ(m_recent.Files(), QStringList{QString::fromStdString(strGood)});
}

TEST_F(MainFrameTest, CopyPutsThePictureAndTheGridOnTheClipboard) {
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(Example())));
    m_frame.ActionFor(Command::Solve)->trigger();
    m_frame.ActionFor(Command::Copy)->trigger();
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    ASSERT_NE(pData, nullptr);
    EXPECT_EQ(pData->text(), "XX-X\n-XXX\nX---\n");
    const QImage image = qvariant_cast<QImage>(pData->imageData());
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32),
              m_frame.GridView()->GetRenderer()->GetImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainFrameTest, ExportWritesEveryFormatAndSaysWhyWhenItCannot) {
    MessageBoxCloser closer;
    const std::string strPath = Example();
    ASSERT_TRUE(m_frame.OpenFile(QString::fromStdString(strPath)));
    m_frame.ActionFor(Command::Solve)->trigger();
    const QString strFolder = QString::fromStdString(m_dir.Path().string());
    for (const char* pszName : {"/cat.png", "/cat.svg", "/cat.pdf", "/cat.bmp"})
        EXPECT_TRUE(m_frame.ExportPictureTo(strFolder + pszName)) << pszName;
    EXPECT_FALSE(QImage(strFolder + "/cat.png").isNull());
    EXPECT_EQ(ReadAll(m_dir.Path().string() + "/cat.pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(m_frame.ExportPictureTo(strFolder + "/cells.bmp", true));
    EXPECT_EQ(QImage(strFolder + "/cells.bmp").size(), QSize(4, 3)) << "one pixel per cell";

    closer.texts.clear();
    const QString strMissing = strFolder + "/missing/cat.png";
    EXPECT_FALSE(m_frame.ExportPictureTo(strMissing));
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_TRUE(closer.texts[0].contains(strMissing)) << closer.texts[0].toStdString();
    EXPECT_TRUE(closer.texts[0].contains("No such file or directory")) << closer.texts[0].toStdString();
}

TEST_F(MainFrameTest, RatePuzzleSaysHowHardThePuzzleIsAsTheCommandLineDoes) {
    for (const char* pszFile : {"needs-search-8x8.tb", "needs-probing-6x6.tb", "ambiguous-2x2.tb"}) {
        SCOPED_TRACE(pszFile);
        ASSERT_TRUE(m_frame.OpenFile(QString::fromLatin1(TABULON_TEST_DATA "/") + pszFile));
        const std::string strTitle = m_frame.windowTitle().toStdString();
        m_frame.ActionFor(Command::RatePuzzle)->trigger();
        EXPECT_EQ(m_frame.StatusPane()->text(), "Rating the puzzle. Press Esc to stop.");
        ASSERT_TRUE(WaitForSolve());
        const PuzzleRating rating = RatePuzzle(*m_doc.GetPuzzle());
        EXPECT_EQ(m_frame.StatusPane()->text().toStdString(), CTabulonDoc::RatingStatus(rating));
        EXPECT_EQ(m_frame.windowTitle().toStdString(), strTitle) << "the caption stays";
    }
    EXPECT_TRUE(m_frame.StatusPane()->text().startsWith("Rating: multiple "))
        << m_frame.StatusPane()->text().toStdString();
}

TEST(InstanceChannel, ASecondStartHandsItsFileToTheRunningInstance) {
    CInstanceChannel channel;
    ASSERT_TRUE(channel.Listen());
    QStringList received;
    QObject::connect(&channel, &CInstanceChannel::openRequested, [&](const QString& strPath) { received << strPath; });

    // the real program, started with a file, finds this instance and exits
    const pid_t second = StartProgram(TABULON_GUI, {"/some/where/cat.tb"});
    ASSERT_GT(second, 0);
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 10000);
    EXPECT_EQ(received[0], "/some/where/cat.tb");
    std::optional<int> exitStatus;
    EXPECT_GE(MillisecondsUntil([&] { return (exitStatus = ExitStatusOf(second)).has_value(); }, 10000), 0);
    EXPECT_EQ(exitStatus, 0);
}

TEST(DesktopIntegration, RegistersTheTbTypeAndADesktopEntryForTheUser) {
    const QString strData = qEnvironmentVariable("XDG_DATA_HOME");
    EXPECT_EQ(RegisterDocumentType(QStringLiteral("/opt/tabulon/bin/tabulon"), false), QString());
    const std::string mime = ReadAll((strData + "/mime/packages/tabulon.xml").toStdString());
    EXPECT_NE(mime.find("type=\"application/x-tabulon\""), std::string::npos);
    EXPECT_NE(mime.find("<comment>Tabulon Document</comment>"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.tb\"/>"), std::string::npos);
    const std::string desktop = ReadAll((strData + "/applications/tabulon.desktop").toStdString());
    EXPECT_NE(desktop.find("Exec=\"/opt/tabulon/bin/tabulon\" %f"), std::string::npos) << desktop;
    EXPECT_NE(desktop.find("MimeType=application/x-tabulon;"), std::string::npos);
    EXPECT_FALSE(ReadAll((strData + "/icons/hicolor/32x32/apps/tabulon.png").toStdString()).empty());
}

} // namespace
