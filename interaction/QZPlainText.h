// Texts read from a test file, or file names, shown as typed. Message boxes
// and labels take Qt::PlainText for that; tooltips and window titles have no
// such switch, so a text meant for them is prepared here.
#pragma once

#include <QString>

// A tooltip that shows `text` as typed. A tooltip whose text looks like markup
// is shown as rich text, which may load pictures and show links; this one is
// markup that holds the text escaped. Empty for an empty text (no tooltip).
QString PlainToolTip(const QString &text);

// A window title that shows `text` as typed: in a title "[*]" stands for the
// window's modified mark and is left out while the window is unmodified.
QString PlainWindowTitle(const QString &text);
