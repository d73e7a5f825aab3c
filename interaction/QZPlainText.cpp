#include "QZPlainText.h"

#include <QTextDocument>

QString PlainToolTip(const QString &text)
{
    if (text.isEmpty())
        return {};
    // Spaces are kept as they are, and a long name stays on one line.
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

QString PlainWindowTitle(const QString &text)
{
    QString title = text;
    // A doubled mark is shown as one.
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return title;
}
