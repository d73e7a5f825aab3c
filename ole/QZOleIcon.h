// The icons embedded files are shown with, as the desktop shows files of
// their type: the icon theme's icon for the MIME type, else the theme's icon
// for the type's generic kind ("x-office-document"), else a plain document of
// our own, so that a desktop without an icon theme still shows a document.
#pragma once

#include <QIcon>
#include <QString>

// The icon for files of `mimeType` (a name of the shared MIME database).
QIcon OleTypeIcon(const QString &mimeType);
// The plain document drawn when the theme has no icon for a type.
QIcon OleFallbackIcon();
