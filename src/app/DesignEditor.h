#pragma once

#include "app/WorkerThread.h"
#include "doc/Design.h"
#include "doc/DesignCheck.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QTimer>
#include <QUndoStack>

#include <atomic>
#include <memory>

class CTabulonDoc;

// The editor of design mode: it turns what the user draws on the grid view
// into changes of the document's picture, keeps them undoable (a stroke of
// the mouse is one step), and checks the clues after every change in the
// background. A new change stops the check under way; the next one starts
// as soon as that has ended, so drawing never waits for a check, and a
// check that runs out of time says so.
class CDesignEditor : public QObject {
    Q_OBJECT
  public:
    explicit CDesignEditor(CTabulonDoc& doc, QObject* pParent = nullptr);
    ~CDesignEditor() override;

    QUndoStack& UndoStack() { return m_undo; }
    // How long a check may run before it is stopped (10 s unless set).
    void SetCheckLimit(int nMilliseconds) { m_nCheckLimitMs = nMilliseconds; }
    int GetCheckLimit() const { return m_nCheckLimitMs; }

    // Design mode begins (the document holds its first picture) or ends.
    void Begin();
    void End();

    // From the grid view: cells (x column, y row) drawn, filled or emptied.
    void DrawCells(const QList<QPoint>& cells, bool bFill);
    // The mouse button went up: what it drew becomes one undo step.
    void EndStroke();

    // Whole-picture edits, each one undo step.
    void Clear();
    void Invert();
    void Shift(int nDown, int nRight);
    bool Resize(int nTop, int nBottom, int nLeft, int nRight);

    bool IsChecking() const { return m_worker.IsRunning(); }

  signals:
    // The picture changed (an edit, an undo) or its verdict did.
    void designChanged();
    void verdictChanged(const DesignVerdict& verdict);

  private:
    void Apply(const CDesign& design);
    void Edit(const CDesign& after, const QString& strWhat);
    void Check();
    void OnCheckEnded();

    CTabulonDoc& m_doc;
    QUndoStack m_undo;
    std::unique_ptr<CDesign> m_pStrokeBefore; // the picture before the stroke under way
    // The check under way and its stop flag; another waits when the design
    // changed meanwhile.
    std::atomic<bool> m_bStopCheck{false};
    std::unique_ptr<CDesignCheck> m_pCheck;
    DesignVerdict m_result; // written by the check's thread, read after the join
    bool m_bCheckAgain = false;
    int m_nCheckLimitMs = 10000;
    QTimer m_limit;
    CWorkerThread m_worker; // last: joined before the check and its flag go
};
