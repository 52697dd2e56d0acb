#include "app/RecentFileList.h"

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString KeyOf(int nIndex) {
    return kSection + QStringLiteral("/File") + QString::number(nIndex + 1);
}

} // namespace

CRecentFileList::CRecentFileList(QSettings& settings) : m_settings(settings) {
    for (int i = 0; i < kSize; ++i) {
        const QString strPath = m_settings.value(KeyOf(i)).toString();
        if (!strPath.isEmpty())
            m_files.append(strPath);
    }
}

void CRecentFileList::Add(const QString& strPath) {
    m_files.removeAll(strPath);
    m_files.prepend(strPath);
    while (m_files.size() > kSize)
        m_files.removeLast();
    Save();
}

void CRecentFileList::Remove(const QString& strPath) {
    m_files.removeAll(strPath);
    Save();
}

// Written at once rather than at exit, so a crash or a second window does
// not lose the list.
void CRecentFileList::Save() {
    for (int i = 0; i < kSize; ++i) {
        if (i < m_files.size())
            m_settings.setValue(KeyOf(i), m_files[i]);
        else
            m_settings.remove(KeyOf(i));
    }
    m_settings.sync();
}
