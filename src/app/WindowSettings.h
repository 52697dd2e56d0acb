#pragma once

#include "render/PicturePrint.h"

#include <QByteArray>
#include <QSettings>

class CTabulonDoc;

// What Tabulon remembers between runs, beside the recent files: the
// window's place and state, the splitter, the zoom, the picture size for
// printing, and the document's cell size and redraw interval. A value that
// was never stored (the first run) leaves the default in place.
class CWindowSettings {
  public:
    explicit CWindowSettings(QSettings& settings) : m_settings(settings) {}

    void RestoreDocument(CTabulonDoc& doc) const;
    void SaveDocument(const CTabulonDoc& doc);

    QByteArray Geometry() const { return m_settings.value(QStringLiteral("Window/Geometry")).toByteArray(); }
    QByteArray State() const { return m_settings.value(QStringLiteral("Window/State")).toByteArray(); }
    QByteArray Splitter() const { return m_settings.value(QStringLiteral("Window/Splitter")).toByteArray(); }
    void SaveWindow(const QByteArray& geometry, const QByteArray& state, const QByteArray& splitter);

    // Zoom 1 is 100 %; "fit" is Fit to Window, kept as a mode.
    double Zoom() const { return m_settings.value(QStringLiteral("View/Zoom"), 1.0).toDouble(); }
    bool Fitting() const { return m_settings.value(QStringLiteral("View/FitToWindow"), false).toBool(); }
    void SaveZoom(double dZoom, bool bFitting);

    // The live check's time limit in design mode, in seconds (10 unless set).
    int CheckSeconds() const;
    void SaveCheckSeconds(int nSeconds);

    PrintSize PictureSize() const;
    void SavePictureSize(PrintSize size);

  private:
    QSettings& m_settings;
};
