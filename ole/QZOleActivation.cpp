#include "QZOleActivation.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace {

// Names that desktops run, or hand to an interpreter, instead of showing.
const QSet<QString> &RefusedSuffixes()
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
    return suffixes;
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

bool IsRunnableContent(QByteArrayView content)
{
    if (content.startsWith("#!") ||
        content.startsWith("\x7F"
                           "ELF") ||
        content.startsWith("MZ") || content.startsWith("\xCA\xFE\xBA\xBE") ||
        content.startsWith("\xCF\xFA\xED\xFE") || content.startsWith("\xCE\xFA\xED\xFE") ||
        content.startsWith("\xFE\xED\xFA"))
        return true;
    // A desktop launcher may have comments and blank lines before its group.
    return content.first(qMin<qsizetype>(content.size(), 4096)).contains("[Desktop Entry]");
}

// Files names from a storage may hold anything; keep them plain.
QString SafeFileName(const QString &name)
{
    QString safe;
    for (QChar c : name)
        safe += (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\'))
                    ? QLatin1Char('_')
                    : c;
    safe = safe.trimmed();
    while (safe.startsWith(QLatin1Char('.')))
        safe.remove(0, 1);
    return safe.isEmpty() ? QStringLiteral("Object") : safe.left(200);
}

QString DocumentSuffix(const TOleObject &object)
{
    const QString progId = object.ProgId();
    const QString classId = object.ClassId();
    const auto is = [&](const char *prefix, std::initializer_list<const char *> ids) {
        if (progId.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
        for (const char *id : ids)
            if (classId == QLatin1String(id))
                return true;
        return false;
    };
    if (is("Word.",
           {"{00020906-0000-0000-C000-000000000046}", "{00020900-0000-0000-C000-000000000046}",
            "{00020907-0000-0000-C000-000000000046}"}))
        return QStringLiteral("doc");
    if (is("Excel.",
           {"{00020820-0000-0000-C000-000000000046}", "{00020810-0000-0000-C000-000000000046}"}))
        return QStringLiteral("xls");
    if (is("PowerPoint.", {"{64818D10-4F9B-11CF-86EA-00AA00B929E8}"}))
        return QStringLiteral("ppt");
    return {};
}

TOleDesktopOpener &Opener()
{
    static TOleDesktopOpener opener = [](const QUrl &url) {
        return QDesktopServices::openUrl(url);
    };
    return opener;
}

// The private folder of this process's opened objects; each object gets a
// folder of its own in it, so that files of the same name never meet.
QString NewPrivateFolder()
{
    static std::unique_ptr<QTemporaryDir> root;
    static int count = 0;
    if (!root) {
        root = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                               QStringLiteral("/corvella-ole-XXXXXX"));
        if (!root->isValid()) {
            root.reset();
            return {};
        }
    }
    const QFileDevice::Permissions owner =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!QFile::setPermissions(root->path(), owner))
        return {};
    const QString folder = root->filePath(QString::number(++count));
    if (!QDir().mkdir(folder) || !QFile::setPermissions(folder, owner))
        return {};
    return folder;
}

} // namespace

std::optional<TOleActivationFile> OleActivationFile(const TOleObject &object)
{
    if (const auto &package = object.Package())
        return TOleActivationFile{SafeFileName(package->FileName), package->Content};
    const QString suffix = DocumentSuffix(object);
    if (suffix.isEmpty())
        return std::nullopt;
    const QString base = object.TypeName().isEmpty() ? QStringLiteral("Object") : object.TypeName();
    return TOleActivationFile{SafeFileName(base) + QLatin1Char('.') + suffix,
                              object.Storage().toByteArray()};
}

QString OleRefusal(const QString &fileName, QByteArrayView content)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const QMimeType type =
        QMimeDatabase().mimeTypeForFileNameAndData(fileName, content.toByteArray());
    if (RefusedSuffixes().contains(suffix) || IsRunnableContent(content) || IsRunnableType(type))
        return QStringLiteral("The embedded file \"%1\" is a program, a script or a launcher. "
                              "A test never runs programs, so it is not opened.")
            .arg(fileName);
    return {};
}

TOleActivationResult ActivateOleObject(const TOleObject &object)
{
    TOleActivationResult result;
    const auto file = OleActivationFile(object);
    if (!file) {
        result.Message = QStringLiteral("The embedded object \"%1\" cannot be opened: no "
                                        "application here opens objects of its type.")
                             .arg(object.TypeName().isEmpty() ? QStringLiteral("OLE object")
                                                              : object.TypeName());
        return result;
    }
    result.Message = OleRefusal(file->FileName, file->Content);
    if (!result.Message.isEmpty())
        return result;
    const QString cannot =
        QStringLiteral("The embedded file \"%1\" could not be opened.").arg(file->FileName);
    const QString folder = NewPrivateFolder();
    if (folder.isEmpty()) {
        result.Message = cannot;
        return result;
    }
    result.Path = QDir(folder).filePath(file->FileName);
    QFile out(result.Path);
    // Owner read and write only: the file is never marked executable.
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(file->Content) != file->Content.size() || !out.flush()) {
        result.Message = cannot;
        return result;
    }
    out.close();
    if (!Opener()(QUrl::fromLocalFile(result.Path))) {
        result.Message = cannot;
        return result;
    }
    result.Opened = true;
    return result;
}

TOleDesktopOpener SetOleDesktopOpener(TOleDesktopOpener opener)
{
    return std::exchange(Opener(), std::move(opener));
}

TOleApplicationLookup SetOleApplicationLookup(TOleApplicationLookup lookup)
{
    static TOleApplicationLookup installed = [](const QString &) {
        return QString();
    };
    return std::exchange(installed, std::move(lookup));
}
