#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent) {
    setWindowTitle(QStringLiteral("About Tabulon"));
    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(QIcon(QStringLiteral(":/icons/tabulon.png")).pixmap(32, 32));
    auto* pVersion = new QLabel(QStringLiteral("Tabulon Version 5"), this);
    auto* pAuthors = new QLabel(QStringLiteral("A nonogram solver for the desktop and the command line.\n"
                                               "Written by the Tabulon developers."),
                                this);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Vertical, this);
    pButtons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* pLayout = new QGridLayout(this);
    pLayout->addWidget(pIcon, 0, 0, 2, 1, Qt::AlignTop);
    pLayout->addWidget(pVersion, 0, 1);
    pLayout->addWidget(pAuthors, 1, 1);
    pLayout->addWidget(pButtons, 0, 2, 2, 1, Qt::AlignTop);
    setFixedSize(sizeHint());
}
