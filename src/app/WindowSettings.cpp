#include "app/WindowSettings.h"

#include "doc/TabulonDoc.h"

#include <algorithm>

namespace {

const QString kCellX = QStringLiteral("Settings/CellX");
const QString kCellY = QStringLiteral("Settings/CellY");
const QString kUpTime = QStringLiteral("Settings/UpTime");
const QString kPictureSize = QStringLiteral("Print/PictureSize");

} // namespace

// Read as the settings form reads them: whole numbers, none below 0.
void CWindowSettings::RestoreDocument(CTabulonDoc& doc) const {
    bool bOk = false;
    if (const int n = m_settings.value(kCellX).toInt(&bOk); bOk)
        doc.SetCellX(std::max(n, 0));
    if (const int n = m_settings.value(kCellY).toInt(&bOk); bOk)
        doc.SetCellY(std::max(n, 0));
    if (const int n = m_settings.value(kUpTime).toInt(&bOk); bOk)
        doc.SetUpTime(std::max(n, 0));
}

void CWindowSettings::SaveDocument(const CTabulonDoc& doc) {
    m_settings.setValue(kCellX, doc.GetCellX());
    m_settings.setValue(kCellY, doc.GetCellY());
    m_settings.setValue(kUpTime, doc.GetUpTime());
}

void CWindowSettings::SaveWindow(const QByteArray& geometry, const QByteArray& state, const QByteArray& splitter) {
    m_settings.setValue(QStringLiteral("Window/Geometry"), geometry);
    m_settings.setValue(QStringLiteral("Window/State"), state);
    m_settings.setValue(QStringLiteral("Window/Splitter"), splitter);
}

void CWindowSettings::SaveZoom(double dZoom, bool bFitting) {
    m_settings.setValue(QStringLiteral("View/Zoom"), dZoom);
    m_settings.setValue(QStringLiteral("View/FitToWindow"), bFitting);
}

PrintSize CWindowSettings::PictureSize() const {
    const int n = m_settings.value(kPictureSize, static_cast<int>(PrintSize::AsOnScreen)).toInt();
    for (PrintSize size : kPrintSizes)
        if (static_cast<int>(size) == n)
            return size;
    return PrintSize::AsOnScreen;
}

void CWindowSettings::SavePictureSize(PrintSize size) {
    m_settings.setValue(kPictureSize, static_cast<int>(size));
}

int CWindowSettings::CheckSeconds() const {
    bool bOk = false;
    const int n = m_settings.value(QStringLiteral("Design/CheckSeconds")).toInt(&bOk);
    return bOk ? std::clamp(n, 1, 3600) : 10;
}

void CWindowSettings::SaveCheckSeconds(int nSeconds) {
    m_settings.setValue(QStringLiteral("Design/CheckSeconds"), nSeconds);
}
