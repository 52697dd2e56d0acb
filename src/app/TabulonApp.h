#pragma once

#include "app/InstanceChannel.h"
#include "doc/TabulonDoc.h"

#include <QApplication>
#include <QSettings>

#include <memory>

class CMainFrame;
class CRecentFileList;

// The application: the user's settings, the one document, the main window,
// and the channel through which later starts hand over their files.
class CTabulonApp : public QApplication {
    Q_OBJECT
  public:
    CTabulonApp(int& argc, char** argv);
    ~CTabulonApp() override;

    // Start-up. Returns the exit status when the program is done already (a
    // file handed to the running instance: 0; a file named on the command
    // line that cannot be opened: 1), or -1 when the window is up and the
    // event loop should run.
    int InitInstance();

    CMainFrame* MainFrame() const { return m_pFrame.get(); }
    CTabulonDoc& Document() { return m_doc; }

    static constexpr const char* kRegistryKey = "Local AppWizard-Generated Applications";

  private:
    QSettings m_settings;
    CTabulonDoc m_doc;
    std::unique_ptr<CRecentFileList> m_pRecentFiles;
    std::unique_ptr<CMainFrame> m_pFrame;
    CInstanceChannel m_channel;
};
