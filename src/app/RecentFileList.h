#pragma once

#include <QSettings>
#include <QStringList>

// The most recently opened files, newest first, kept in the user's settings
// between runs ("Recent File List/File1" ...).
class CRecentFileList {
  public:
    static constexpr int kSize = 5;

    explicit CRecentFileList(QSettings& settings);

    const QStringList& Files() const { return m_files; }
    void Add(const QString& strPath);
    void Remove(const QString& strPath);

  private:
    void Save();

    QSettings& m_settings;
    QStringList m_files;
};
