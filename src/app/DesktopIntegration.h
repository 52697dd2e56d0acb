#pragma once

#include <QString>

// Registers the ".tb" document type for the current user under
// $XDG_DATA_HOME (default ~/.local/share): the shared-mime-info type
// application/x-tabulon ("Tabulon Document", *.tb), a desktop entry that
// opens such files with `strExecutable`, and the icons. Files are written
// only when they change, and then the desktop's caches are refreshed when
// its tools are installed (unless bRefreshCaches is false). Returns what went
// wrong, or an empty string; a failure never stops the program.
QString RegisterDocumentType(const QString& strExecutable, bool bRefreshCaches = true);
