#pragma once

#include "doc/DocPorts.h"

#include <QScrollArea>

class CTabulonDoc;
class QLineEdit;
class QPushButton;

// The settings form: cell width and height in pixels and the redraw
// interval in milliseconds. Update (or Enter in a field) writes them into
// the document and has the grid view rebuild its picture. The form scrolls
// when its pane is too small to show it whole.
class CTabulonView : public QScrollArea, public IDocView {
    Q_OBJECT
  public:
    CTabulonView(CTabulonDoc& doc, QWidget* pParent = nullptr);

    // Hint 0 shows the document's settings; every other hint leaves the form alone.
    void OnUpdate(int nHint) override;
    void OnUpdateButton();
    // While a solve runs the settings stay as they are: what is typed is
    // kept, but neither Update nor Enter applies it.
    void SetApplyEnabled(bool bEnabled);

    QLineEdit* CellXEdit() const { return m_pCellX; }
    QLineEdit* CellYEdit() const { return m_pCellY; }
    QLineEdit* UpTimeEdit() const { return m_pUpTime; }
    QPushButton* UpdateButton() const { return m_pUpdate; }

    // The prompt for an edit that does not hold an integer.
    static constexpr const char* kIntegerPrompt = "Please enter an integer.";

  signals:
    // The document has new settings.
    void settingsApplied();

  protected:
    void changeEvent(QEvent* pEvent) override;

  private:
    // Reads the edits into the members in the order interval, width,
    // height; stops at the first that does not hold an integer, which keeps
    // its member's value as do the ones after it. False then.
    bool ReadEdits();
    void ShowMembers();
    void PlaceItems();

    CTabulonDoc& m_doc;
    QWidget* m_pForm; // the fields and labels, placed in dialog units
    int m_nUpTime = 0;
    int m_nCellX = 0;
    int m_nCellY = 0;
    QLineEdit* m_pCellX;
    QLineEdit* m_pCellY;
    QLineEdit* m_pUpTime;
    QPushButton* m_pUpdate;
    QList<QPair<QWidget*, QRect>> m_layout; // each item and its place in dialog units
};
