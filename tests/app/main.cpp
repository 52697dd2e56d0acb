// Test runner for the desktop application: the offscreen platform, and the
// user's folders (settings, desktop data, runtime socket) in a temporary
// folder, so the tests touch nothing of the real user's.

#include "app/TabulonApp.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home;
    for (const char* pszVariable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString strFolder = home.path() + QLatin1Char('/') + QLatin1String(pszVariable);
        QDir().mkpath(strFolder);
        QFile::setPermissions(strFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(pszVariable, strFolder.toUtf8());
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CTabulonApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
