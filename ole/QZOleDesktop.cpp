#include "QZOleDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>

namespace {

TOleDesktopOpener &Opener()
{
    static TOleDesktopOpener opener = [](const QUrl &url) {
        return QDesktopServices::openUrl(url);
    };
    return opener;
}

TOleApplicationLookup &Lookup()
{
    static TOleApplicationLookup lookup = [](const QString &mimeType) {
        return DesktopApplicationName(mimeType);
    };
    return lookup;
}

// The files a desktop entry id may name in one data folder: "a-b-c.desktop"
// is applications/a-b-c.desktop, or applications/a/b-c.desktop, and so on.
QStringList EntryFiles(const QString &dataFolder, const QString &id)
{
    QStringList files;
    QString relative = id;
    for (;;) {
        files << QDir(dataFolder).filePath(QStringLiteral("applications/") + relative);
        const qsizetype dash = relative.indexOf(QLatin1Char('-'));
        if (dash < 0)
            return files;
        relative[dash] = QLatin1Char('/');
    }
}

QString Unescaped(const QString &value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const QChar next = value.at(++i);
        text += next == QLatin1Char('s')   ? QLatin1Char(' ')
                : next == QLatin1Char('n') ? QLatin1Char(' ')
                : next == QLatin1Char('t') ? QLatin1Char(' ')
                : next == QLatin1Char('r') ? QLatin1Char(' ')
                                           : next;
    }
    return text;
}

// The Name of a desktop entry file for the user's language: Name[ll_CC],
// else Name[ll], else Name. Empty when the file has none.
QString EntryName(const QString &fileName)
{
    QFile file(fileName);
    // An entry is a few kilobytes; anything much larger is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return {};
    const QString locale = QLocale().name();
    const QStringList keys = {
        QStringLiteral("Name[%1]").arg(locale),
        QStringLiteral("Name[%1]").arg(locale.section(QLatin1Char('_'), 0, 0)),
        QStringLiteral("Name")};
    QStringList found(keys.size());
    bool inEntry = false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            inEntry = trimmed == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (!inEntry || equals <= 0)
            continue;
        const qsizetype key = keys.indexOf(trimmed.left(equals).trimmed());
        if (key >= 0 && found.at(key).isEmpty())
            found[key] = Unescaped(trimmed.mid(equals + 1).trimmed());
    }
    for (const QString &name : std::as_const(found)) {
        QString shown;
        for (QChar c : name)
            if (c.category() != QChar::Other_Control && c.category() != QChar::Other_Format)
                shown += c;
        if (!shown.trimmed().isEmpty())
            return shown.trimmed();
    }
    return {};
}

} // namespace

TOleDesktopOpener SetOleDesktopOpener(TOleDesktopOpener opener)
{
    return std::exchange(Opener(), std::move(opener));
}

bool OpenWithDesktop(const QUrl &url) { return Opener()(url); }

TOleApplicationLookup SetOleApplicationLookup(TOleApplicationLookup lookup)
{
    return std::exchange(Lookup(), std::move(lookup));
}

QString OleApplicationName(const QString &mimeType) { return Lookup()(mimeType); }

QString DesktopApplicationName(const QString &mimeType, int timeoutMs)
{
    QProcess query;
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(timeoutMs)) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    const QString id =
        QString::fromUtf8(query.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!id.endsWith(QLatin1String(".desktop")) || id.contains(QLatin1Char('/')) ||
        id.startsWith(QLatin1Char('.')))
        return {};
    const QStringList folders =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &folder : folders)
        for (const QString &file : EntryFiles(folder, id))
            if (QFile::exists(file))
                return EntryName(file);
    return {};
}
