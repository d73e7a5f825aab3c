#include "QZOleObject.h"

#include "QZByteReader.h"
#include "QZCompoundFile.h"
#include "QZDib.h"
#include "QZStream.h"

#include <QFileInfo>

namespace {

// Values of the presentation stream's standard clipboard formats.
constexpr quint32 FormatMetafilePict = 3;
constexpr quint32 FormatDib = 8;

// Strings in the storage's own streams are short; anything longer is damage.
constexpr quint32 MaxStreamString = 4096;

// A 32-bit length (counting the terminating zero) and the string; longer
// than MaxStreamString fails the reader.
QByteArrayView LengthPrefixed(TByteReader &reader)
{
    const quint32 length = reader.U32();
    return reader.Take(length <= MaxStreamString ? qint64(length) : -1);
}

// 8-bit strings of a storage are in the writer's code page; Latin-1 keeps the
// ASCII names intact and never fails.
QString AnsiText(QByteArrayView bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.first(end)).trimmed();
}

struct TCompObj
{
    QString UserType;
    QString ProgId;
};

std::optional<TCompObj> ParseCompObj(QByteArrayView data)
{
    TByteReader cursor(data);
    cursor.Take(28); // reserved, version, reserved with the class identifier
    TCompObj result;
    result.UserType = AnsiText(LengthPrefixed(cursor));
    const quint32 marker = cursor.U32();
    if (marker == 0xFFFFFFFF || marker == 0xFFFFFFFE)
        cursor.U32();
    else if (marker != 0)
        cursor.Take(marker <= MaxStreamString ? qint64(marker) : -1);
    result.ProgId = AnsiText(LengthPrefixed(cursor));
    if (cursor.Failed() && result.UserType.isEmpty())
        return std::nullopt;
    return result;
}

std::optional<TOlePresentation> ParsePresentation(QByteArrayView data)
{
    TByteReader cursor(data);
    const quint32 marker = cursor.U32();
    quint32 format = 0;
    if (marker == 0xFFFFFFFF || marker == 0xFFFFFFFE)
        format = cursor.U32();
    else if (marker != 0)
        cursor.Take(marker <= MaxStreamString ? qint64(marker) : -1);
    const quint32 deviceSize = cursor.U32();
    if (deviceSize >= 4)
        cursor.Take(qint64(deviceSize) - 4);
    cursor.Take(16); // aspect, lindex, advise flags, reserved
    const quint32 width = cursor.U32();
    const quint32 height = cursor.U32();
    const quint32 size = cursor.U32();
    const QByteArrayView content = cursor.Take(size);
    if (cursor.Failed() || content.isEmpty())
        return std::nullopt;
    TOlePresentation presentation;
    if (width <= quint32(INT_MAX) && height <= quint32(INT_MAX))
        presentation.ExtentHiMetric = QSize(int(width), int(height));
    if (format == FormatDib) {
        presentation.Kind = TOlePresentation::TKind::Bitmap;
        presentation.Bitmap = QImage::fromData(DibToBitmapFile(content), "BMP");
        if (presentation.Bitmap.isNull())
            return std::nullopt;
    } else if (format == FormatMetafilePict) {
        presentation.Kind = TOlePresentation::TKind::Metafile;
        presentation.Metafile = content.toByteArray();
    } else {
        return std::nullopt;
    }
    return presentation;
}

// The file name a package shows: the last part of a Windows or POSIX path.
QString BareFileName(const QString &name)
{
    QString bare = name;
    bare.replace(QLatin1Char('\\'), QLatin1Char('/'));
    bare = bare.section(QLatin1Char('/'), -1).trimmed();
    if (bare == QLatin1String(".") || bare == QLatin1String(".."))
        return {};
    return bare;
}

// \1Ole10Native of a package: size, a type word, the label, the original
// path, a reserved word, the temporary path, the content; then optionally the
// same three names again in UTF-16.
std::optional<TOlePackage> ParsePackage(QByteArrayView data)
{
    TByteReader cursor(data);
    const quint32 total = cursor.U32();
    if (cursor.Failed() || total > quint32(cursor.Remaining()))
        return std::nullopt;
    TByteReader native(data.sliced(4, qsizetype(total)));
    native.U16();
    const QString label = AnsiText(native.ZeroTerminated());
    const QString path = AnsiText(native.ZeroTerminated());
    native.U32();
    native.Take(native.U32()); // the temporary path
    const quint32 size = native.U32();
    const QByteArrayView content = native.Take(size);
    if (native.Failed())
        return std::nullopt;
    TOlePackage package;
    package.Content = content.toByteArray();
    // The UTF-16 names, when present, are the exact ones.
    QString unicodeLabel;
    if (native.Remaining() >= 4) {
        const auto unicode = [&native]() -> QString {
            const quint32 length = native.U32();
            if (length > MaxStreamString)
                return native.Take(-1), QString();
            TByteReader units(native.Take(qint64(length) * 2));
            QString text(qsizetype(length), Qt::Uninitialized);
            for (quint32 i = 0; i < length && !native.Failed(); ++i)
                text[i] = QChar(units.U16());
            return native.Failed() ? QString() : text;
        };
        unicode(); // temporary path
        unicodeLabel = unicode();
    }
    for (const QString &candidate : {unicodeLabel, label, path}) {
        package.FileName = BareFileName(candidate);
        if (!package.FileName.isEmpty())
            break;
    }
    if (package.FileName.isEmpty())
        package.FileName = QStringLiteral("Package");
    return package;
}

QString ClassIdText(const QByteArray &id)
{
    if (id.size() != 16 || id.count('\0') == 16)
        return {};
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(LeAt<quint32>(id, 0), 8, 16, QLatin1Char('0'))
        .arg(LeAt<quint16>(id, 4), 4, 16, QLatin1Char('0'))
        .arg(LeAt<quint16>(id, 6), 4, 16, QLatin1Char('0'))
        .arg(QString::fromLatin1(id.mid(8, 2).toHex()), QString::fromLatin1(id.mid(10, 6).toHex()))
        .toUpper();
}

void Append32(QByteArray &bytes, quint32 value) { AppendLe(bytes, value); }

void AppendLengthPrefixed(QByteArray &bytes, const QByteArray &text)
{
    Append32(bytes, quint32(text.size() + 1));
    bytes.append(text);
    bytes.append('\0');
}

} // namespace

TOleObject TOleObject::FromStream(QByteArrayView stream)
{
    if (stream.size() < OleStreamHeaderSize)
        throw TQZFileError(QStringLiteral("the OLE object is shorter than its header"));
    const qint32 signature = LeAt<qint32>(stream, 0);
    const qint32 aspect = LeAt<qint32>(stream, 4);
    const qint32 length = LeAt<qint32>(stream, 8);
    if (signature != OleStreamSignature)
        throw TQZFileError(QStringLiteral("the OLE object does not begin with \"BDOC\""));
    if (aspect != OleAspectContent && aspect != OleAspectThumbnail && aspect != OleAspectIcon &&
        aspect != OleAspectDocPrint)
        throw TQZFileError(QStringLiteral("the OLE object has an unknown aspect %1").arg(aspect));
    if (length <= 0 || length > stream.size() - OleStreamHeaderSize)
        throw TQZFileError(
            QStringLiteral("the OLE object's storage of %1 bytes does not fit in its %2 bytes")
                .arg(length)
                .arg(stream.size() - OleStreamHeaderSize));

    TOleObject object;
    object.m_stream = stream.toByteArray();
    object.m_aspect = aspect;
    const TCompoundFile storage(object.Storage());
    object.m_classId = ClassIdText(storage.ClassId());
    if (const auto compObj = storage.Stream("\001CompObj"))
        if (const auto parsed = ParseCompObj(*compObj)) {
            object.m_progId = parsed->ProgId;
            object.m_typeName = parsed->UserType.isEmpty() ? parsed->ProgId : parsed->UserType;
        }
    if (const auto presentation = storage.Stream("\002OlePres000"))
        object.m_presentation = ParsePresentation(*presentation);
    if (const auto native = storage.Stream("\001Ole10Native")) {
        object.m_package = ParsePackage(*native);
        if (!object.m_package)
            throw TQZFileError(QStringLiteral("the OLE package's file is damaged"));
    }
    return object;
}

QByteArray TOleObject::MakeStream(qint32 aspect, QByteArrayView storage)
{
    QByteArray stream;
    stream.reserve(OleStreamHeaderSize + storage.size());
    Append32(stream, quint32(OleStreamSignature));
    Append32(stream, quint32(aspect));
    Append32(stream, quint32(storage.size()));
    stream.append(storage.data(), storage.size());
    return stream;
}

QByteArrayView TOleObject::Storage() const
{
    const qint32 length = LeAt<qint32>(m_stream, 8);
    return QByteArrayView(m_stream).sliced(OleStreamHeaderSize, length);
}

QByteArray MakePackageStorage(const QString &fileName, QByteArrayView content)
{
    const QString name =
        BareFileName(fileName).isEmpty() ? QStringLiteral("Package") : BareFileName(fileName);
    const QByteArray ansiName = name.toLatin1();
    QByteArray native;
    native.append("\x02\x00", 2);
    native.append(ansiName).append('\0');
    native.append(ansiName).append('\0');
    Append32(native, 0x00030000);
    Append32(native, quint32(ansiName.size() + 1));
    native.append(ansiName).append('\0');
    Append32(native, quint32(content.size()));
    native.append(content.data(), content.size());
    for (int i = 0; i < 3; ++i) {
        Append32(native, quint32(name.size()));
        for (QChar c : name)
            AppendLe<quint16>(native, c.unicode());
    }
    QByteArray sized;
    Append32(sized, quint32(native.size()));
    sized.append(native);

    // The class of packages, {0003000C-0000-0000-C000-000000000046}.
    const QByteArray classId = QByteArray::fromHex("0c00030000000000c000000000000046");
    QByteArray compObj;
    Append32(compObj, 0xFFFE0001);
    Append32(compObj, 0x00000A03);
    Append32(compObj, 0xFFFFFFFF);
    compObj.append(classId);
    AppendLengthPrefixed(compObj, QByteArrayLiteral("Package"));
    AppendLengthPrefixed(compObj, QByteArrayLiteral("Package"));
    AppendLengthPrefixed(compObj, QByteArrayLiteral("Package"));
    Append32(compObj, 0x71B239F4); // no UTF-16 names follow
    Append32(compObj, 0);
    Append32(compObj, 0);
    Append32(compObj, 0);

    QByteArray ole;
    Append32(ole, 0x02000001);
    for (int i = 0; i < 4; ++i)
        Append32(ole, 0);

    TCompoundFileWriter writer(classId);
    writer.AddStream("\001Ole", ole);
    writer.AddStream("\001CompObj", compObj);
    writer.AddStream("\001Ole10Native", sized);
    return writer.Finish();
}

QByteArray MakePackageStream(const QString &fileName, QByteArrayView content)
{
    return TOleObject::MakeStream(OleAspectIcon, MakePackageStorage(fileName, content));
}

QString OleTypeNameOf(QByteArrayView stream)
{
    try {
        return TOleObject::FromStream(stream).TypeName();
    } catch (const TQZFileError &) {
        return {};
    }
}
