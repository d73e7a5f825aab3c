#include "QZPicture.h"

#include "QZByteReader.h"
#include "QZDib.h"
#include "QZMetafileSandbox.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

namespace {

constexpr int IconPreferredExtent = 32;
bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool SensiblePixels(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width * height <= MaxPicturePixels;
}

constexpr qsizetype BitmapFileHeaderSize = 14;

// Checks the bitmap file and info headers before a reader allocates anything
// from them: a bitmap whose header claims billions of pixels is refused here.
bool CheckBitmapHeader(QByteArrayView bytes, QString *error, QSize *size)
{
    if (bytes.size() < BitmapFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        return Fail(error, QStringLiteral("the picture is not a bitmap"));
    TDibFault fault = TDibFault::None;
    const std::optional<TDibHeader> header =
        ParseDibHeader(bytes.sliced(BitmapFileHeaderSize), &fault);
    if (!header && fault == TDibFault::ImpossibleSize)
        return Fail(error, QStringLiteral("the bitmap's size is impossible"));
    if (!header)
        return Fail(error, QStringLiteral("the bitmap's header is damaged"));
    if (!SensiblePixels(header->Width, header->Height))
        return Fail(error, QStringLiteral("the bitmap's size is impossible"));
    *size = QSize(int(header->Width), int(header->Height));
    // What the reader allocates follows from the header alone, so the header
    // must not promise more than the bytes can hold: rows stored as they are
    // must all be there, and run-length coding packs at most a few hundred
    // pixels into a byte.
    if (header->RunLength()) {
        if (!RunLengthSizeBelievable(header->Width, header->Height, bytes.size()))
            return Fail(error, QStringLiteral("the bitmap's size is impossible"));
    } else if (header->Uncompressed()) {
        // The rows begin where the file header says, but never inside the
        // colour table (where the reader does not look for them either).
        const qint64 rows =
            std::max<qint64>(LeAt<quint32>(bytes, 10), BitmapFileHeaderSize + header->BitsOffset());
        if (rows + header->BitsSize() > bytes.size())
            return Fail(error, QStringLiteral("the bitmap's pixels are missing"));
    }
    return true;
}

// The icon directory: six bytes of header and sixteen per image, each image
// inside the data.
bool CheckIconHeader(QByteArrayView bytes, QString *error)
{
    TByteReader reader(bytes);
    const quint16 reserved = reader.U16();
    const quint16 type = reader.U16();
    const int count = reader.U16();
    if (reader.Failed() || reserved != 0 || type != 1)
        return Fail(error, QStringLiteral("the picture is not an icon"));
    if (count == 0 || reader.Remaining() < 16 * qsizetype(count))
        return Fail(error, QStringLiteral("the icon's directory is damaged"));
    for (int i = 0; i < count; ++i) {
        reader.Skip(8); // size, colours, planes, bit count
        const quint64 size = reader.U32();
        const quint64 offset = reader.U32();
        if (size == 0 || offset + size > quint64(bytes.size()))
            return Fail(error, QStringLiteral("an icon image lies outside the icon"));
    }
    return true;
}

// Qt's reader knows the 40-byte info header followed by colour masks, and
// the longer headers from 108 bytes on, but not the 52- and 56-byte headers
// that hold the same masks inside the header. Those are read as the former:
// the masks then stand exactly where that layout expects them.
QByteArray ReadableBitmap(QByteArrayView bytes)
{
    QByteArray readable = bytes.toByteArray();
    const quint32 infoSize = LeAt<quint32>(bytes, BitmapFileHeaderSize);
    if ((infoSize == 52 || infoSize == 56) && bytes.size() >= BitmapFileHeaderSize + infoSize)
        SetLeAt<quint32>(readable, BitmapFileHeaderSize, 40);
    return readable;
}

// Reads one image with Qt's reader for `format`, refusing images larger than
// MaxPicturePixels. For icons, the 32-pixel image if there is one, else the
// first.
QImage ReadImage(QByteArray data, const char *format)
{
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)));
    QImage chosen;
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QSize size = reader.size();
        if (size.isValid() && !SensiblePixels(size.width(), size.height()))
            return {};
        QImage image = reader.read();
        if (image.isNull())
            continue;
        // A damaged bitmap can hold colour indices past its colour table,
        // which drawing would read beyond; every index is given a colour.
        if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
            image.format() == QImage::Format_MonoLSB) {
            QList<QRgb> table = image.colorTable();
            table.resize(image.format() == QImage::Format_Indexed8 ? 256 : 2, qRgb(0, 0, 0));
            image.setColorTable(table);
        }
        if (chosen.isNull())
            chosen = image;
        if (image.size() == QSize(IconPreferredExtent, IconPreferredExtent)) {
            chosen = image;
            break;
        }
    }
    return chosen;
}

} // namespace

TQZPicture::TQZPicture() = default;
TQZPicture::~TQZPicture() = default;
TQZPicture::TQZPicture(TQZPicture &&) noexcept = default;
TQZPicture &TQZPicture::operator=(TQZPicture &&) noexcept = default;

bool TQZPicture::Load(QByteArrayView bytes, TPictureKind kind, QString *error)
{
    TQZPicture loaded;
    if (!loaded.LoadChecked(bytes, kind, error) || !loaded.Decode(error))
        return false;
    *this = std::move(loaded);
    return true;
}

bool TQZPicture::LoadChecked(QByteArrayView bytes, TPictureKind kind, QString *error,
                             const QByteArray &owner)
{
    if (bytes.isEmpty())
        return Fail(error, QStringLiteral("the picture is empty"));
    if (bytes.size() > MaxPictureBytes)
        return Fail(error, QStringLiteral("the picture is too large"));

    QSize natural;
    switch (kind) {
    case TPictureKind::Bitmap:
        if (!CheckBitmapHeader(bytes, error, &natural))
            return false;
        break;
    case TPictureKind::Icon:
        if (!CheckIconHeader(bytes, error))
            return false;
        break;
    case TPictureKind::Metafile: {
        const TPreparedMetafile prepared = PrepareMetafile(bytes, TMetafilePreparation::CheckOnly);
        if (!prepared.Error.isEmpty())
            return Fail(error, prepared.Error);
        natural = prepared.NaturalSize;
        break;
    }
    default: return Fail(error, QStringLiteral("the picture kind is unknown"));
    }
    Drop();
    // Only an owner that holds its bytes itself (not one made from raw data,
    // which has no capacity) can keep them alive for the view.
    const bool inside = owner.capacity() > 0 && bytes.data() >= owner.constData() &&
                        bytes.data() + bytes.size() <= owner.constData() + owner.size();
    if (inside) {
        m_owner = owner;
        m_bytes = QByteArray::fromRawData(bytes.data(), bytes.size());
    } else {
        m_owner = QByteArray();
        m_bytes = bytes.toByteArray();
    }
    m_kind = kind;
    m_naturalSize = natural;
    m_failure.clear();
    return true;
}

bool TQZPicture::Decode(QString *error)
{
    if (m_decoded)
        return true;
    if (m_bytes.isEmpty())
        return Fail(error, QStringLiteral("the picture is empty"));
    // A picture that did not decode will not: it is not tried again.
    if (!m_failure.isEmpty())
        return Fail(error, m_failure);
    QImage image;
    std::unique_ptr<QSvgRenderer> svg;
    QSize natural = m_naturalSize;
    TPictureMemoryToken memory;
    if (m_kind == TPictureKind::Metafile) {
        const TMetafileSvg converted = ConvertMetafile(m_bytes);
        if (converted.Svg.isEmpty())
            return Fail(error, m_failure = converted.Error);
        if (!TakePictureMemory(memory, 0, converted.Svg.size(), error))
            return false;
        svg = std::make_unique<QSvgRenderer>(converted.Svg);
        if (!svg->isValid())
            return Fail(error, m_failure = QStringLiteral("the metafile could not be drawn"));
        natural = converted.NaturalSize;
    } else {
        const bool bitmap = m_kind == TPictureKind::Bitmap;
        image = ReadImage(bitmap ? ReadableBitmap(m_bytes) : m_bytes, bitmap ? "bmp" : "ico");
        if (image.isNull())
            return Fail(error, m_failure = bitmap ? QStringLiteral("the bitmap cannot be read")
                                                  : QStringLiteral("the icon cannot be read"));
        if (!TakePictureMemory(memory, qint64(image.width()) * image.height(), 0, error))
            return false;
        natural = image.size();
    }
    m_naturalSize = natural;
    m_image = std::move(image);
    m_svg = std::move(svg);
    m_memory = std::move(memory);
    m_decoded = true;
    return true;
}

void TQZPicture::Drop()
{
    m_image = QImage();
    m_svg.reset();
    m_memory.Release();
    m_decoded = false;
}

bool TQZPicture::LoadFile(const QString &fileName, QString *error)
{
    TPictureKind kind;
    if (!PictureKindOfFile(fileName, kind))
        return Fail(error, QStringLiteral("%1 is not a bitmap, icon or metafile").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    if (file.size() > MaxPictureBytes)
        return Fail(error, QStringLiteral("%1: the picture is too large").arg(fileName));
    QString cause;
    if (!Load(file.readAll(), kind, &cause))
        return Fail(error, QStringLiteral("%1: %2").arg(fileName, cause));
    return true;
}

void TQZPicture::Clear() { *this = TQZPicture(); }

void TQZPicture::Draw(QPainter &painter, const QRect &target) const
{
    if (m_svg) {
        m_svg->render(&painter, QRectF(target));
    } else if (!m_image.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, m_image);
        painter.restore();
    }
}

QImage TQZPicture::Rendered(QSize size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Draw(painter, QRect(QPoint(0, 0), size));
    return image;
}

bool PictureKindOfFile(const QString &fileName, TPictureKind &kind)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        kind = TPictureKind::Bitmap;
    else if (suffix == QLatin1String("ico"))
        kind = TPictureKind::Icon;
    else if (suffix == QLatin1String("emf") || suffix == QLatin1String("wmf"))
        kind = TPictureKind::Metafile;
    else
        return false;
    return true;
}
