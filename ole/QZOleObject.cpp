#include "QZOleObject.h"

#include "QZCompoundFile.h"
#include "QZStream.h"

#include <QFileInfo>
#include <QtEndian>

namespace {

// Values of the presentation stream's standard clipboard formats.
constexpr quint32 FormatMetafilePict = 3;
constexpr quint32 FormatDib = 8;

// Strings in the storage's own streams are short; anything longer is damage.
constexpr quint32 MaxStreamString = 4096;

// Little-endian reads that never pass the end of the data: a read that would
// sets Failed and gives zeros.
class TCursor
{
public:
    explicit TCursor(QByteArrayView data)
        : m_data(data)
    {
    }

    bool Failed() const { return m_failed; }
    qsizetype Remaining() const { return m_data.size() - m_position; }

    quint32 U32()
    {
        const QByteArrayView bytes = Take(4);
        return bytes.size() == 4 ? qFromLittleEndian<quint32>(bytes.data()) : 0;
    }
    quint16 U16()
    {
        const QByteArrayView bytes = Take(2);
        return bytes.size() == 2 ? qFromLittleEndian<quint16>(bytes.data()) : 0;
    }
    QByteArrayView Take(qint64 size)
    {
        if (m_failed || size < 0 || size > Remaining()) {
            m_failed = true;
            return {};
        }
        const QByteArrayView bytes = m_data.sliced(m_position, qsizetype(size));
        m_position += qsizetype(size);
        return bytes;
    }
    // A string ended by a zero byte, which is consumed.
    QByteArrayView ZeroTerminated()
    {
        const QByteArrayView rest = m_data.sliced(m_position);
        const qsizetype end = rest.indexOf('\0');
        if (m_failed || end < 0) {
            m_failed = true;
            return {};
        }
        m_position += end + 1;
        return rest.first(end);
    }
    // A 32-bit length (counting the terminating zero) and the string.
    QByteArrayView LengthPrefixed()
    {
        const quint32 length = U32();
        if (length > MaxStreamString) {
            m_failed = true;
            return {};
        }
        return Take(length);
    }

private:
    QByteArrayView m_data;
    qsizetype m_position = 0;
    bool m_failed = false;
};

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
    TCursor cursor(data);
    cursor.Take(28); // reserved, version, reserved with the class identifier
    TCompObj result;
    result.UserType = AnsiText(cursor.LengthPrefixed());
    const quint32 marker = cursor.U32();
    if (marker == 0xFFFFFFFF || marker == 0xFFFFFFFE)
        cursor.U32();
    else if (marker != 0)
        cursor.Take(marker <= MaxStreamString ? qint64(marker) : -1);
    result.ProgId = AnsiText(cursor.LengthPrefixed());
    if (cursor.Failed() && result.UserType.isEmpty())
        return std::nullopt;
    return result;
}

// A device-independent bitmap as a bitmap file image, with the file header
// pointing at the pixels behind the header, the masks and the palette.
QImage DibImage(QByteArrayView dib)
{
    TCursor cursor(dib);
    const quint32 headerSize = cursor.U32();
    if (cursor.Failed() || headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 bitCount = 0;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
    int entrySize = 4;
    if (headerSize == 12) {
        bitCount = qFromLittleEndian<quint16>(dib.data() + 10);
        entrySize = 3;
    } else if (headerSize >= 40) {
        bitCount = qFromLittleEndian<quint16>(dib.data() + 14);
        compression = qFromLittleEndian<quint32>(dib.data() + 16);
        colorsUsed = qFromLittleEndian<quint32>(dib.data() + 32);
    } else {
        return {};
    }
    quint64 colors = colorsUsed;
    if (colors == 0 && bitCount <= 8)
        colors = quint64(1) << bitCount;
    const quint64 masks = headerSize == 40 ? (compression == 3   ? 12
                                              : compression == 6 ? 16
                                                                 : 0)
                                           : 0;
    const quint64 offset = 14 + quint64(headerSize) + masks + colors * quint64(entrySize);
    if (offset > quint64(dib.size()) + 14)
        return {};
    QByteArray file;
    file.reserve(dib.size() + 14);
    file.append("BM", 2);
    const auto append32 = [&file](quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        file.append(bytes, 4);
    };
    append32(quint32(dib.size() + 14));
    append32(0);
    append32(quint32(offset));
    file.append(dib.data(), dib.size());
    return QImage::fromData(file, "BMP");
}

std::optional<TOlePresentation> ParsePresentation(QByteArrayView data)
{
    TCursor cursor(data);
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
        presentation.Bitmap = DibImage(content);
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
    TCursor cursor(data);
    const quint32 total = cursor.U32();
    if (cursor.Failed() || total > quint32(cursor.Remaining()))
        return std::nullopt;
    TCursor native(data.sliced(4, qsizetype(total)));
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
            const QByteArrayView bytes = native.Take(qint64(length) * 2);
            QString text(qsizetype(length), Qt::Uninitialized);
            for (quint32 i = 0; i < length && !native.Failed(); ++i)
                text[i] = QChar(qFromLittleEndian<quint16>(bytes.data() + 2 * i));
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
    const auto *b = reinterpret_cast<const uchar *>(id.constData());
    return QStringLiteral("{%1-%2-%3-%4-%5}")
        .arg(qFromLittleEndian<quint32>(b), 8, 16, QLatin1Char('0'))
        .arg(qFromLittleEndian<quint16>(b + 4), 4, 16, QLatin1Char('0'))
        .arg(qFromLittleEndian<quint16>(b + 6), 4, 16, QLatin1Char('0'))
        .arg(QString::fromLatin1(id.mid(8, 2).toHex()), QString::fromLatin1(id.mid(10, 6).toHex()))
        .toUpper();
}

void Append32(QByteArray &bytes, quint32 value)
{
    char data[4];
    qToLittleEndian(value, data);
    bytes.append(data, 4);
}

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
    const qint32 signature = qFromLittleEndian<qint32>(stream.data());
    const qint32 aspect = qFromLittleEndian<qint32>(stream.data() + 4);
    const qint32 length = qFromLittleEndian<qint32>(stream.data() + 8);
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
    const qint32 length = qFromLittleEndian<qint32>(m_stream.constData() + 8);
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
        for (QChar c : name) {
            char unit[2];
            qToLittleEndian(c.unicode(), unit);
            native.append(unit, 2);
        }
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
