#include "app/DesktopIntegration.h"

#include "app/Resources.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString DataHome() {
    const QString strHome = qEnvironmentVariable("XDG_DATA_HOME");
    return strHome.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : strHome;
}

QByteArray ReadResource(const QString& strName) {
    QFile file(strName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `content` to `strPath` unless it is there already. True when the
// file changed; strError collects failures.
bool WriteIfChanged(const QString& strPath, const QByteArray& content, QString& strError) {
    QFile existing(strPath);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        strError += strPath + QStringLiteral(": ") + file.errorString() + QStringLiteral("\n");
        return false;
    }
    return true;
}

void RefreshCache(const QString& strTool, const QString& strFolder) {
    const QString strProgram = QStandardPaths::findExecutable(strTool);
    if (!strProgram.isEmpty())
        QProcess::startDetached(strProgram, {strFolder}); // the start does not wait for it
}

} // namespace

QString RegisterDocumentType(const QString& strExecutable, bool bRefreshCaches) {
    EnsureResources();
    const QString strData = DataHome();
    QString strError;
    // The shipped desktop entry runs "tabulon" from the PATH; this one runs
    // the program that is starting, wherever it lives.
    QByteArray desktop = ReadResource(QStringLiteral(":/desktop/tabulon.desktop"));
    QString strQuoted = strExecutable;
    strQuoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"))
        .replace(QStringLiteral("\""), QStringLiteral("\\\""));
    desktop.replace("Exec=tabulon %f", ("Exec=\"" + strQuoted + "\" %f").toUtf8());

    const bool bMime = WriteIfChanged(strData + QStringLiteral("/mime/packages/tabulon.xml"),
                                      ReadResource(QStringLiteral(":/desktop/tabulon-mime.xml")), strError);
    const bool bDesktop = WriteIfChanged(strData + QStringLiteral("/applications/tabulon.desktop"), desktop, strError);
    WriteIfChanged(strData + QStringLiteral("/icons/hicolor/32x32/apps/tabulon.png"),
                   ReadResource(QStringLiteral(":/icons/tabulon.png")), strError);
    WriteIfChanged(strData + QStringLiteral("/icons/hicolor/32x32/mimetypes/application-x-tabulon.png"),
                   ReadResource(QStringLiteral(":/icons/document.png")), strError);
    if (bMime && bRefreshCaches)
        RefreshCache(QStringLiteral("update-mime-database"), strData + QStringLiteral("/mime"));
    if (bDesktop && bRefreshCaches)
        RefreshCache(QStringLiteral("update-desktop-database"), strData + QStringLiteral("/applications"));
    return strError;
}
