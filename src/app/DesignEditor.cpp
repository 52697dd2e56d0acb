#include "app/DesignEditor.h"

#include "doc/TabulonDoc.h"

#include <QUndoCommand>

#include <algorithm>

namespace {

// Memory the undo steps may hold: each keeps the picture before and after.
constexpr size_t kUndoBytes = size_t{256} << 20;

// One undoable change of the picture: the whole picture before and after,
// simple and exact; the stack's limit keeps their memory bounded.
class CPictureEdit : public QUndoCommand {
  public:
    CPictureEdit(const QString& strWhat, CDesign before, CDesign after, std::function<void(const CDesign&)> fnApply,
                 bool bDoneAlready)
        : QUndoCommand(strWhat), m_before(std::move(before)), m_after(std::move(after)), m_fnApply(std::move(fnApply)),
          m_bSkipRedo(bDoneAlready) {}
    void undo() override { m_fnApply(m_before); }
    void redo() override {
        if (!std::exchange(m_bSkipRedo, false)) // a stroke is on the picture while it is drawn
            m_fnApply(m_after);
    }

  private:
    CDesign m_before, m_after;
    std::function<void(const CDesign&)> m_fnApply;
    bool m_bSkipRedo;
};

} // namespace

CDesignEditor::CDesignEditor(CTabulonDoc& doc, QObject* pParent) : QObject(pParent), m_doc(doc) {
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] { m_bStopCheck = true; });
    connect(&m_worker, &CWorkerThread::finished, this, &CDesignEditor::OnCheckEnded);
}

CDesignEditor::~CDesignEditor() {
    m_bStopCheck = true;
    m_worker.Wait();
}

void CDesignEditor::Begin() {
    m_undo.clear();
    const CDesign* pDesign = m_doc.GetDesign();
    const size_t nCells = pDesign ? static_cast<size_t>(pDesign->GetRows()) * pDesign->GetCols() : 1;
    m_undo.setUndoLimit(static_cast<int>(std::clamp<size_t>(kUndoBytes / (2 * nCells), 10, 1000)));
    m_undo.setClean();
    Check();
}

void CDesignEditor::End() {
    m_bStopCheck = true;
    m_bCheckAgain = false;
    m_pStrokeBefore.reset();
    m_undo.clear();
}

void CDesignEditor::Apply(const CDesign& design) {
    m_doc.SetDesign(design);
    emit designChanged();
    Check();
}

void CDesignEditor::DrawCells(const QList<QPoint>& cells, bool bFill) {
    const CDesign* pDesign = m_doc.GetDesign();
    if (!pDesign)
        return;
    CDesign design = *pDesign;
    bool bChanged = false;
    for (const QPoint& cell : cells) {
        if (!design.Contains(cell.y(), cell.x()) || design.IsFilled(cell.y(), cell.x()) == bFill)
            continue;
        design.Set(cell.y(), cell.x(), bFill);
        bChanged = true;
    }
    if (!bChanged)
        return;
    if (!m_pStrokeBefore)
        m_pStrokeBefore = std::make_unique<CDesign>(*pDesign);
    Apply(design);
}

void CDesignEditor::EndStroke() {
    if (!m_pStrokeBefore || !m_doc.GetDesign())
        return;
    CDesign before = std::move(*m_pStrokeBefore);
    m_pStrokeBefore.reset();
    m_undo.push(new CPictureEdit(
        tr("Draw"), std::move(before), *m_doc.GetDesign(), [this](const CDesign& design) { Apply(design); }, true));
}

void CDesignEditor::Edit(const CDesign& after, const QString& strWhat) {
    if (!m_doc.GetDesign() || *m_doc.GetDesign() == after)
        return;
    EndStroke();
    m_undo.push(new CPictureEdit(
        strWhat, *m_doc.GetDesign(), after, [this](const CDesign& design) { Apply(design); }, false));
}

void CDesignEditor::Clear() {
    if (const CDesign* pDesign = m_doc.GetDesign()) {
        CDesign design = *pDesign;
        design.Clear();
        Edit(design, tr("Clear"));
    }
}

void CDesignEditor::Invert() {
    if (const CDesign* pDesign = m_doc.GetDesign()) {
        CDesign design = *pDesign;
        design.Invert();
        Edit(design, tr("Invert"));
    }
}

void CDesignEditor::Shift(int nDown, int nRight) {
    if (const CDesign* pDesign = m_doc.GetDesign()) {
        CDesign design = *pDesign;
        design.Shift(nDown, nRight);
        Edit(design, tr("Shift"));
    }
}

bool CDesignEditor::Resize(int nTop, int nBottom, int nLeft, int nRight) {
    const CDesign* pDesign = m_doc.GetDesign();
    if (!pDesign)
        return false;
    CDesign design = *pDesign;
    if (!design.Resize(nTop, nBottom, nLeft, nRight))
        return false;
    Edit(design, tr("Resize"));
    return true;
}

// A check of the clues as they are now: the one under way is asked to stop,
// and this one begins when it has.
void CDesignEditor::Check() {
    if (!m_doc.GetPuzzle() || !m_doc.IsDesigning())
        return;
    if (m_worker.IsRunning()) {
        m_bStopCheck = true;
        m_bCheckAgain = true;
        return;
    }
    m_bCheckAgain = false;
    m_bStopCheck = false;
    m_pCheck = std::make_unique<CDesignCheck>(*m_doc.GetPuzzle());
    m_limit.start(m_nCheckLimitMs);
    m_worker.Start([this] {
        m_result = m_pCheck->Run(m_bStopCheck, [this](const DesignVerdict& early) {
            m_worker.Post([this, early] {
                if (!m_bCheckAgain && m_doc.IsDesigning()) { // not yet out of date
                    m_doc.SetDesignVerdict(early);
                    emit verdictChanged(early);
                }
            });
        });
    });
}

void CDesignEditor::OnCheckEnded() {
    m_limit.stop();
    m_pCheck.reset();
    if (m_bCheckAgain) {
        Check();
        return;
    }
    if (!m_doc.IsDesigning())
        return;
    m_doc.SetDesignVerdict(m_result);
    emit verdictChanged(m_result);
}
