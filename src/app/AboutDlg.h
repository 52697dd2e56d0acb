#pragma once

#include <QDialog>

// "About Tabulon": the application icon, the version line, who made it, OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};
