#include "QZOleFileType.h"

#include <QBuffer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>

#include <algorithm>
#include <optional>

namespace {

// Types opened, by their names and aliases in the shared MIME database.
// Types whose handlers run code or follow addresses (HTML, SVG, PostScript,
// playlists, macro-enabled office files, ASF with its script commands) are
// left out on purpose.
bool IsOpenable(const QMimeType &type)
{
    static const QSet<QString> openable = [] {
        QSet<QString> set;
        for (const char *name : {
                 "application/pdf",
                 "text/plain",
                 "application/vnd.oasis.opendocument.text",
                 "application/vnd.oasis.opendocument.spreadsheet",
                 "application/vnd.oasis.opendocument.presentation",
                 "application/vnd.oasis.opendocument.graphics",
                 "application/msword",
                 "application/vnd.ms-excel",
                 "application/vnd.ms-powerpoint",
                 "application/rtf",
                 "text/rtf",
                 "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
                 "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
                 "application/vnd.openxmlformats-officedocument.presentationml.presentation",
                 "image/png",
                 "image/jpeg",
                 "image/gif",
                 "image/bmp",
                 "image/webp",
                 "image/tiff",
                 "image/vnd.microsoft.icon",
                 "image/x-icon",
                 "audio/mpeg",
                 "audio/x-wav",
                 "audio/wav",
                 "audio/ogg",
                 "audio/x-vorbis+ogg",
                 "audio/x-opus+ogg",
                 "audio/x-flac+ogg",
                 "audio/x-speex+ogg",
                 "audio/flac",
                 "audio/x-flac",
                 "audio/mp4",
                 "audio/x-m4a",
                 "audio/midi",
                 "audio/aac",
                 "audio/webm",
                 "video/mp4",
                 "video/mpeg",
                 "video/x-msvideo",
                 "video/webm",
                 "video/ogg",
                 "video/x-theora+ogg",
                 "video/x-ogm+ogg",
                 "video/quicktime",
                 "video/x-matroska",
             })
            set.insert(QString::fromLatin1(name));
        return set;
    }();
    if (openable.contains(type.name()))
        return true;
    const QStringList aliases = type.aliases();
    return std::any_of(aliases.begin(), aliases.end(),
                       [](const QString &alias) { return openable.contains(alias); });
}

// Names that desktops run, or hand to an interpreter, instead of showing.
bool IsRunnableName(const QString &fileName)
{
    static const QSet<QString> suffixes = [] {
        QSet<QString> set;
        for (const char *suffix :
             {"exe",    "com",      "bat",         "cmd",    "scr",    "pif",  "cpl",
              "msi",    "msp",      "msc",         "vb",     "vbs",    "vbe",  "js",
              "jse",    "mjs",      "ws",          "wsf",    "wsc",    "wsh",  "ps1",
              "psm1",   "psd1",     "hta",         "jar",    "lnk",    "url",  "reg",
              "inf",    "scf",      "sh",          "bash",   "zsh",    "ksh",  "csh",
              "tcsh",   "fish",     "command",     "tool",   "run",    "bin",  "elf",
              "out",    "appimage", "desktop",     "kdelnk", "py",     "pyc",  "pyw",
              "pl",     "pm",       "rb",          "php",    "lua",    "tcl",  "awk",
              "app",    "deb",      "rpm",         "apk",    "so",     "dll",  "dylib",
              "action", "workflow", "applescript", "scpt",   "gadget", "xbap", "xpi"})
            set.insert(QString::fromLatin1(suffix));
        return set;
    }();
    return suffixes.contains(QFileInfo(fileName).suffix().toLower());
}

// Types of content that is run rather than shown.
bool IsRunnableType(const QMimeType &type)
{
    static const char *const runnable[] = {
        "application/x-executable",
        "application/x-pie-executable",
        "application/x-sharedlib",
        "application/x-shellscript",
        "application/x-desktop",
        "application/x-ms-dos-executable",
        "application/x-msdownload",
        "application/x-msi",
        "application/x-ms-shortcut",
        "application/x-perl",
        "text/x-python",
        "text/x-python3",
        "application/x-ruby",
        "application/x-php",
        "application/javascript",
        "text/javascript",
        "application/x-java-archive",
        "application/vnd.microsoft.portable-executable",
        "application/x-mach-binary",
        "application/x-bat",
    };
    for (const char *name : runnable)
        if (type.inherits(QString::fromLatin1(name)))
            return true;
    return false;
}

// Programs, scripts, launchers and Windows shortcuts by their first bytes,
// also where the database does not know them.
bool IsRunnableContent(QByteArrayView content)
{
    static const QByteArrayView shortcut("L\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 20);
    if (content.startsWith("#!") ||
        content.startsWith("\x7F"
                           "ELF") ||
        content.startsWith("MZ") || content.startsWith("\xCA\xFE\xBA\xBE") ||
        content.startsWith("\xCF\xFA\xED\xFE") || content.startsWith("\xCE\xFA\xED\xFE") ||
        content.startsWith("\xFE\xED\xFA") || content.startsWith(shortcut))
        return true;
    // A desktop launcher may have comments and blank lines before its group.
    return content.first(qMin<qsizetype>(content.size(), 4096)).contains("[Desktop Entry]");
}

// Whether a file whose name gives it `byName` agrees with content of type
// `byContent`: the same type, or a kind of it (a Word document is a
// compound-file storage, an OpenDocument text a zip archive). Excel and
// PowerPoint files are storages too, though the database does not say so.
bool Agrees(const QMimeType &byName, const QMimeType &byContent)
{
    if (byName == byContent || byName.inherits(byContent.name()))
        return true;
    return byContent.name() == QLatin1String("application/x-ole-storage") &&
           (byName.name() == QLatin1String("application/vnd.ms-excel") ||
            byName.name() == QLatin1String("application/vnd.ms-powerpoint"));
}

QString Described(const QMimeType &type)
{
    return QStringLiteral("%1 (%2)").arg(type.comment(), type.name());
}

QString NotOpenedType(const QMimeType &type)
{
    return QStringLiteral("its type is %1, and tests open only documents, pictures, sound and "
                          "video")
        .arg(Described(type));
}

TOleFileType Refused(const QString &reason) { return {{}, {}, reason}; }

} // namespace

TOleFileType OleFileType(const QString &fileName, QByteArrayView content)
{
    const QMimeDatabase database;
    // Detection reads only the first bytes; the content is not copied.
    QByteArray data = QByteArray::fromRawData(content.data(), content.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QMimeType byContent = database.mimeTypeForData(&buffer);
    QList<QMimeType> byName = database.mimeTypesForFileName(fileName);
    std::sort(byName.begin(), byName.end(),
              [](const QMimeType &a, const QMimeType &b) { return a.name() < b.name(); });

    if (IsRunnableName(fileName) || IsRunnableContent(content) || IsRunnableType(byContent) ||
        std::any_of(byName.begin(), byName.end(), IsRunnableType))
        return Refused(QStringLiteral("it is a program, a script or a launcher, and a test never "
                                      "runs programs"));

    const auto found = std::find_if(byName.cbegin(), byName.cend(),
                                    [&](const QMimeType &type) { return Agrees(type, byContent); });
    const std::optional<QMimeType> agreeing =
        found == byName.cend() ? std::nullopt : std::optional<QMimeType>(*found);
    // A desktop may give the file any type its name has: every one must be
    // opened safely.
    QList<QMimeType> named = byName;
    if (agreeing)
        named.prepend(*agreeing);
    for (const QMimeType &type : std::as_const(named))
        if (!IsOpenable(type))
            return Refused(NotOpenedType(type));
    if (!byContent.isValid() || byContent.isDefault())
        return Refused(QStringLiteral("its content is of no type that can be recognised"));
    if (!agreeing) {
        if (!IsOpenable(byContent))
            return Refused(NotOpenedType(byContent));
        if (!byName.isEmpty())
            return Refused(QStringLiteral("its content is %1, but its name says %2")
                               .arg(Described(byContent), Described(byName.constFirst())));
        const QString suffix = QFileInfo(fileName).suffix();
        if (suffix.isEmpty())
            return Refused(QStringLiteral("its content is %1, but its name has no extension of "
                                          "that type")
                               .arg(Described(byContent)));
        return Refused(QStringLiteral("its content is %1, but its extension \".%2\" is not one "
                                      "of that type")
                           .arg(Described(byContent), suffix));
    }
    return {agreeing->name(), agreeing->comment(), {}};
}

QString CleanOleFileName(const QString &name)
{
    QString clean;
    for (const char32_t c : name.toUcs4()) {
        if (c == U'/' || c == U'\\') {
            clean += QLatin1Char('_');
            continue;
        }
        switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph: continue;
        default: clean += QString::fromUcs4(&c, 1);
        }
    }
    clean = clean.trimmed();
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    clean = clean.trimmed();
    // File names hold at most 255 bytes; the extension says the type.
    constexpr qsizetype MaxBytes = 255;
    if (clean.toUtf8().size() > MaxBytes) {
        const QString suffix = QFileInfo(clean).suffix();
        QString extension =
            suffix.isEmpty() || suffix.toUtf8().size() > 16 ? QString() : QLatin1Char('.') + suffix;
        QString base = clean.left(clean.size() - extension.size());
        while (!base.isEmpty() && (base + extension).toUtf8().size() > MaxBytes) {
            base.chop(1);
            if (!base.isEmpty() && base.back().isHighSurrogate())
                base.chop(1);
        }
        clean = base.trimmed() + extension;
    }
    return clean.isEmpty() ? QStringLiteral("Object") : clean;
}
