#include "QZOleActivation.h"

#include "QZOlePrivateFolder.h"
#include "QZStream.h"

namespace {

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

QString NotOpened(const QString &fileName, const QString &reason)
{
    return QStringLiteral("The embedded file \"%1\" is not opened: %2.").arg(fileName, reason);
}

} // namespace

std::optional<TOleActivationFile> OleActivationFile(const TOleObject &object)
{
    if (const auto &package = object.Package())
        return TOleActivationFile{CleanOleFileName(package->FileName), package->Content};
    const QString suffix = DocumentSuffix(object);
    if (suffix.isEmpty())
        return std::nullopt;
    const QString base = object.TypeName().isEmpty() ? QStringLiteral("Object") : object.TypeName();
    return TOleActivationFile{CleanOleFileName(base + QLatin1Char('.') + suffix),
                              object.Storage().toByteArray()};
}

QByteArray OleStreamWithFile(const TOleObject &object, QByteArrayView content)
{
    QByteArray stream;
    if (const auto &package = object.Package())
        stream =
            TOleObject::MakeStream(object.Aspect(), MakePackageStorage(package->FileName, content));
    else if (!DocumentSuffix(object).isEmpty())
        stream = TOleObject::MakeStream(object.Aspect(), content);
    else
        throw TQZFileError(QStringLiteral("the object does not open as a file"));
    // Parsing checks that the content makes an object, and it must still
    // open as a file of its kind.
    if (!OleActivationFile(TOleObject::FromStream(stream)))
        throw TQZFileError(QStringLiteral("the file is no longer a document of the object's "
                                          "kind"));
    return stream;
}

TOleOpening PrepareOleOpening(const TOleObject &object)
{
    TOleOpening opening;
    const auto file = OleActivationFile(object);
    if (!file) {
        opening.Refusal = QStringLiteral("The embedded object \"%1\" cannot be opened: no "
                                         "application here opens objects of its type.")
                              .arg(object.TypeName().isEmpty() ? QStringLiteral("OLE object")
                                                               : object.TypeName());
        return opening;
    }
    opening.File = *file;
    opening.Type = OleFileType(file->FileName, file->Content);
    QString reason = opening.Type.Refusal;
    if (reason.isEmpty())
        reason = OleRunFolder().Refusal(file->Content.size());
    if (!reason.isEmpty())
        opening.Refusal = NotOpened(file->FileName, reason);
    return opening;
}

QString OleOpenCaption() { return QStringLiteral("Open Embedded File"); }

QString OleOpenQuestion(const TOleOpening &opening, const QString &application)
{
    const QString program =
        application.isEmpty()
            ? QStringLiteral("the default application for %1").arg(opening.Type.Name)
            : application;
    return QStringLiteral("Open the embedded file \"%1\" (%2, %3) with %4?\n"
                          "Open embedded files only from tests you trust.")
        .arg(opening.File.FileName, opening.Type.Comment, opening.Type.Name, program);
}

TOleActivationResult OpenOleFile(const TOleOpening &opening)
{
    TOleActivationResult result;
    if (!opening.Refusal.isEmpty() || opening.Type.Name.isEmpty()) {
        result.Message = opening.Refusal;
        return result;
    }
    QString error;
    result.Path = OleRunFolder().Write(opening.File.FileName, opening.File.Content, error);
    if (result.Path.isEmpty()) {
        result.Message = QStringLiteral("The embedded file \"%1\" could not be opened: %2.")
                             .arg(opening.File.FileName, error);
        return result;
    }
    if (!OpenWithDesktop(QUrl::fromLocalFile(result.Path))) {
        result.Message = QStringLiteral("The embedded file \"%1\" could not be opened: the "
                                        "desktop could not start an application for it.")
                             .arg(opening.File.FileName);
        return result;
    }
    result.Opened = true;
    return result;
}
