#include "app/TabulonApp.h"

#include "app/DesktopIntegration.h"
#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "app/Resources.h"

#include <QFileInfo>

CTabulonApp::CTabulonApp(int& argc, char** argv)
    : QApplication(argc, argv),
      m_settings(QString::fromLatin1(kRegistryKey), QString::fromLatin1(CMainFrame::kAppTitle)) {
    EnsureResources();
    setApplicationName(QString::fromLatin1(CMainFrame::kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tabulon.png")));
}

CTabulonApp::~CTabulonApp() = default;

int CTabulonApp::InitInstance() {
    const QStringList arguments = QApplication::arguments();
    const QString strFile = arguments.size() > 1 ? QFileInfo(arguments[1]).absoluteFilePath() : QString();
    if (!strFile.isEmpty() && CInstanceChannel::SendToRunning(strFile))
        return 0;

    m_pRecentFiles = std::make_unique<CRecentFileList>(m_settings);
    m_pFrame = std::make_unique<CMainFrame>(m_doc, *m_pRecentFiles, m_settings);
    if (m_channel.Listen())
        connect(&m_channel, &CInstanceChannel::openRequested, m_pFrame.get(), &CMainFrame::RequestOpen);
    RegisterDocumentType(QApplication::applicationFilePath());

    if (strFile.isEmpty())
        m_pFrame->NewFile();
    else if (!m_pFrame->OpenFile(strFile))
        return 1; // the user has been told why
    m_pFrame->show();
    return -1;
}
