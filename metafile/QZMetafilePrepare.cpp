#include "QZMetafileFormat.h"

#include "QZDib.h"
#include "QZMetafileBytes.h"

#include <QList>

using namespace MetafileBytes;

namespace {

TPreparedMetafile Rejected(const QString &error) { return {{}, {}, false, error}; }

constexpr quint32 EmrHeader = 1;
constexpr quint32 EmrEof = 14;
constexpr quint32 EmrSetWindowExtEx = 9;
constexpr quint32 EmrSetViewportExtEx = 11;
constexpr quint32 EmrSetMapMode = 17;
constexpr quint32 EmrExtCreateFontIndirectW = 82;
constexpr quint32 EmrExtTextOutA = 83;
constexpr quint32 EmrExtTextOutW = 84;
constexpr quint32 EmrPolyTextOutA = 96;
constexpr quint32 EmrPolyTextOutW = 97;
constexpr quint32 EmrSmallTextOut = 108;
constexpr quint32 MmText = 1;
constexpr quint32 MmIsotropic = 7;
constexpr quint32 MmAnisotropic = 8;
constexpr qsizetype EmfHeaderMin = 88;

// The size an enhanced metafile asks for: its frame (hundredths of a
// millimetre), or where the frame is empty its bounds in device pixels.
QSize EmfNaturalSize(QByteArrayView bytes)
{
    const qint64 frameWidth = qint64(LeAt<qint32>(bytes, 32)) - LeAt<qint32>(bytes, 24);
    const qint64 frameHeight = qint64(LeAt<qint32>(bytes, 36)) - LeAt<qint32>(bytes, 28);
    QSize size(ToPixels(frameWidth, 2540.0), ToPixels(frameHeight, 2540.0));
    if (frameWidth > 0 && frameHeight > 0 && SensibleSize(size))
        return size;
    const qint64 boundsWidth = qint64(LeAt<qint32>(bytes, 16)) - LeAt<qint32>(bytes, 8) + 1;
    const qint64 boundsHeight = qint64(LeAt<qint32>(bytes, 20)) - LeAt<qint32>(bytes, 12) + 1;
    return QSize(int(std::clamp<qint64>(boundsWidth, 0, MaxNaturalExtent + 1)),
                 int(std::clamp<qint64>(boundsHeight, 0, MaxNaturalExtent + 1)));
}

// The converter copies strings of the metafile into its SVG as they are:
// texts inside CDATA sections, font names inside attribute values. Characters
// that would end those, and those XML does not allow at all, are replaced in
// the record first, so that every text becomes well-formed XML that says
// only what the metafile says.
class TEmfStrings
{
public:
    explicit TEmfStrings(QByteArray &contents)
        : m_contents(contents)
    {
    }

    void CleanRecord(quint32 type, qsizetype at, qsizetype size)
    {
        switch (type) {
        case EmrExtCreateFontIndirectW:
            // ihFont, then LOGFONTW whose face name of 32 units starts 28 bytes in.
            CleanWide(at, size, at + 12 + 28, 32, true);
            break;
        case EmrExtTextOutA:
        case EmrExtTextOutW: CleanEmrText(type == EmrExtTextOutW, at, size, at + 36); break;
        case EmrPolyTextOutA:
        case EmrPolyTextOutW: {
            if (size < 40)
                return;
            const quint32 count = LeAt<quint32>(m_contents, at + 36);
            for (quint64 i = 0; i < count && 40 + (i + 1) * 40 <= quint64(size); ++i)
                CleanEmrText(type == EmrPolyTextOutW, at, size, at + 40 + qsizetype(i) * 40);
            break;
        }
        case EmrSmallTextOut: {
            if (size < 36)
                return;
            constexpr quint32 NoRect = 0x100;
            constexpr quint32 SmallChars = 0x200;
            const quint32 count = LeAt<quint32>(m_contents, at + 16);
            const quint32 options = LeAt<quint32>(m_contents, at + 20);
            const qsizetype text = at + 36 + ((options & NoRect) ? 0 : 16);
            if (options & SmallChars)
                CleanNarrow(at, size, text, count);
            else
                CleanWide(at, size, text, count, false);
            break;
        }
        default: break;
        }
    }

private:
    // An EMRTEXT at `text`: its string is nChars units at offString from the
    // record's start.
    void CleanEmrText(bool wide, qsizetype at, qsizetype size, qsizetype text)
    {
        if (text + 40 > at + size)
            return;
        const quint32 count = LeAt<quint32>(m_contents, text + 8);
        const quint32 offset = LeAt<quint32>(m_contents, text + 12);
        if (wide)
            CleanWide(at, size, at + qsizetype(offset), count, false);
        else
            CleanNarrow(at, size, at + qsizetype(offset), count);
    }

    // Code units inside the record only; an attribute value loses quotes and
    // markup characters too.
    void CleanWide(qsizetype at, qsizetype size, qsizetype from, quint64 count, bool attribute)
    {
        if (from < at || from > at + size)
            return;
        const qsizetype units = qsizetype(std::min<quint64>(count, quint64(at + size - from) / 2));
        char16_t previous[2] = {0, 0};
        for (qsizetype i = 0; i < units; ++i) {
            const qsizetype where = from + 2 * i;
            char16_t unit = LeAt<quint16>(m_contents, where);
            const bool high = unit >= 0xD800 && unit <= 0xDBFF;
            const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
            const bool nextLow = i + 1 < units && LeAt<quint16>(m_contents, where + 2) >= 0xDC00 &&
                                 LeAt<quint16>(m_contents, where + 2) <= 0xDFFF;
            const bool pairedLow = low && previous[1] >= 0xD800 && previous[1] <= 0xDBFF;
            if (unit == 0 && attribute)
                break; // the end of the name
            if ((unit < 0x20 && unit != 0x09 && unit != 0x0A && unit != 0x0D) || unit == 0xFFFE ||
                unit == 0xFFFF)
                unit = u' ';
            else if ((high && !nextLow) || (low && !pairedLow))
                unit = 0xFFFD;
            else if (attribute && (unit == u'"' || unit == u'\'' || unit == u'<' || unit == u'>' ||
                                   unit == u'&'))
                unit = u' ';
            else if (unit == u'>' && previous[0] == u']' && previous[1] == u']')
                unit = 0x203A; // "]]>" would end the CDATA section
            SetLeAt<quint16>(m_contents, where, unit);
            previous[0] = previous[1];
            previous[1] = unit;
        }
    }

    void CleanNarrow(qsizetype at, qsizetype size, qsizetype from, quint64 count)
    {
        if (from < at || from > at + size)
            return;
        const qsizetype bytes = qsizetype(std::min<quint64>(count, quint64(at + size - from)));
        for (qsizetype i = 0; i < bytes; ++i) {
            char &c = m_contents[from + i];
            const uchar u = uchar(c);
            if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
                c = ' ';
            else if (c == '>' && i >= 2 && m_contents[from + i - 1] == ']' &&
                     m_contents[from + i - 2] == ']')
                c = ')';
        }
    }

    QByteArray &m_contents;
};

constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype PlaceableHeaderSize = 22;
constexpr qsizetype WmfHeaderSize = 18;
// Header fields: the file size and the largest record, both in 16-bit words.
constexpr qsizetype WmfSizeOffset = 6;
constexpr qsizetype WmfMaxRecordOffset = 12;
constexpr quint16 MetaEof = 0;
constexpr quint16 MetaDibCreatePatternBrush = 0x0142;
constexpr quint16 MetaCreateBrushIndirect = 0x02FC;
constexpr quint16 BsNull = 1;
constexpr quint16 BsPattern = 3;

// Where a Windows metafile record carries a device-independent bitmap, the
// offset of the bitmap from the record's start; 0 for records without one.
qsizetype WmfBitmapOffset(quint16 function, quint64 recordBytes)
{
    // Records of the bitblt family come in a shorter form without a bitmap.
    const bool shortForm = recordBytes == quint64((function >> 8) + 3) * 2;
    switch (function) {
    case 0x0F43: return 28;                 // META_STRETCHDIB
    case 0x0B41: return shortForm ? 0 : 26; // META_DIBSTRETCHBLT
    case 0x0940: return shortForm ? 0 : 22; // META_DIBBITBLT
    case 0x0D33: return 24;                 // META_SETDIBTODEV
    case MetaDibCreatePatternBrush: return 10;
    default: return 0;
    }
}

enum class TDib {
    Drawable,   // the converter reads it
    Undrawable, // a sound bitmap the converter cannot read (JPEG or PNG inside)
    Damaged,
};

// The converter's bitmap reader trusts the bitmap header: it must name a
// layout the converter knows (not the OS/2 header, nor the alpha bit fields)
// and its colour table and pixels must lie inside the record. Bitmaps that
// hold a JPEG or PNG image are sound but beyond the converter.
TDib CheckDib(QByteArrayView dib)
{
    const std::optional<TDibHeader> header = ParseDibHeader(dib);
    constexpr quint32 Os2HeaderSize = 64;
    if (!header || header->HeaderSize == Os2HeaderSize || header->Width > MaxNaturalExtent * 4 ||
        header->Height > MaxNaturalExtent * 4)
        return TDib::Damaged;
    if (header->Compression == DibJpeg || header->Compression == DibPng) {
        // The image's size in bytes follows the compression.
        return header->ImageSize > 0 && qint64(header->HeaderSize) + header->ImageSize <= dib.size()
                   ? TDib::Undrawable
                   : TDib::Damaged;
    }
    if (header->Compression == DibAlphaBitfields)
        return TDib::Damaged;
    qint64 needed = header->BitsOffset();
    if (header->Uncompressed())
        needed += header->BitsSize();
    else if (!RunLengthSizeBelievable(header->Width, header->Height, dib.size()))
        return TDib::Damaged;
    return needed <= dib.size() ? TDib::Drawable : TDib::Damaged;
}

// A brush that paints nothing, in place of a pattern brush the converter
// cannot read: the object keeps its place in the metafile's object table.
QByteArray HollowBrushRecord()
{
    QByteArray record(14, '\0');
    SetLeAt<quint32>(record, 0, 7); // words
    SetLeAt<quint16>(record, 4, MetaCreateBrushIndirect);
    SetLeAt<quint16>(record, 6, BsNull);
    return record;
}

TPreparedMetafile PrepareEmf(QByteArrayView bytes, bool checkOnly)
{
    if (bytes.size() > MaxMetafileBytes)
        return Rejected(QStringLiteral("the metafile is too large"));
    if (!LooksLikeEmf(bytes))
        return Rejected(QStringLiteral("the metafile has no enhanced metafile header"));
    const quint32 headerSize = LeAt<quint32>(bytes, 4);
    const quint32 totalBytes = LeAt<quint32>(bytes, 48);
    if (headerSize < EmfHeaderMin || headerSize > totalBytes || totalBytes > quint64(bytes.size()))
        return Rejected(QStringLiteral("the enhanced metafile's header does not fit its data"));

    // Every record must lie inside the metafile and the last must be EMR_EOF;
    // bytes after it are not the metafile's.
    qsizetype position = 0;
    bool ended = false;
    bool hasExtents = false;
    QList<qsizetype> mapModes;
    QList<std::pair<qsizetype, quint32>> records;
    while (!ended && position + 8 <= qsizetype(totalBytes)) {
        const quint32 type = LeAt<quint32>(bytes, position);
        const quint32 size = LeAt<quint32>(bytes, position + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(totalBytes - position))
            return Rejected(QStringLiteral("an enhanced metafile record runs past its end"));
        if (position == 0 && type != EmrHeader)
            return Rejected(QStringLiteral("the enhanced metafile has no header record"));
        if (type == EmrSetMapMode && size >= 12)
            mapModes.append(position + 8);
        hasExtents = hasExtents || type == EmrSetWindowExtEx || type == EmrSetViewportExtEx;
        records.append({position, size});
        ended = type == EmrEof;
        position += size;
    }
    if (!ended)
        return Rejected(QStringLiteral("the enhanced metafile has no end record"));

    const QSize natural = EmfNaturalSize(bytes);
    if (!SensibleSize(natural))
        return Rejected(QStringLiteral("the enhanced metafile has an impossible size"));
    if (checkOnly)
        return {{}, natural, true, {}};

    QByteArray contents(bytes.first(position).data(), position);
    TEmfStrings strings(contents);
    for (const auto &[at, size] : std::as_const(records))
        strings.CleanRecord(LeAt<quint32>(contents, at), at, size);
    // A scaling map mode without any extents keeps the default one-to-one
    // extents, which is text mode; the converter would divide by the missing
    // extents instead.
    if (!hasExtents) {
        for (qsizetype at : mapModes) {
            const quint32 mode = LeAt<quint32>(contents, at);
            if (mode == MmIsotropic || mode == MmAnisotropic)
                SetLeAt<quint32>(contents, at, MmText);
        }
    }
    return {contents, natural, true, {}};
}

TPreparedMetafile PrepareWmf(QByteArrayView bytes, bool checkOnly)
{
    if (bytes.size() > MaxMetafileBytes)
        return Rejected(QStringLiteral("the metafile is too large"));
    qsizetype header = 0;
    QSize natural;
    if (bytes.size() >= 4 && LeAt<quint32>(bytes, 0) == PlaceableKey) {
        if (bytes.size() < PlaceableHeaderSize + WmfHeaderSize)
            return Rejected(QStringLiteral("the Windows metafile is cut short"));
        const quint16 unitsPerInch = LeAt<quint16>(bytes, 14);
        if (unitsPerInch == 0)
            return Rejected(QStringLiteral("the Windows metafile has no scale"));
        natural =
            QSize(ToPixels(qint64(LeAt<qint16>(bytes, 10)) - LeAt<qint16>(bytes, 6), unitsPerInch),
                  ToPixels(qint64(LeAt<qint16>(bytes, 12)) - LeAt<qint16>(bytes, 8), unitsPerInch));
        if (!SensibleSize(natural))
            return Rejected(QStringLiteral("the Windows metafile has an impossible size"));
        header = PlaceableHeaderSize;
    }
    const QByteArrayView body = bytes.sliced(header);
    if (!LooksLikeWmf(body) || LeAt<quint32>(body, 0) == PlaceableKey)
        return Rejected(QStringLiteral("the Windows metafile has no valid header"));

    // Record sizes count 16-bit words; the last record is META_EOF. The
    // records are copied as they are, but for bitmaps the converter cannot
    // read: drawing records with one are left out, pattern brushes become
    // hollow brushes.
    QByteArray contents;
    if (!checkOnly) {
        contents.reserve(bytes.size());
        contents.append(bytes.first(header + WmfHeaderSize));
    }
    qsizetype position = WmfHeaderSize;
    bool ended = false;
    quint32 largestRecord = 0; // words
    while (!ended && position + 6 <= body.size()) {
        const quint64 size = quint64(LeAt<quint32>(body, position)) * 2;
        if (size < 6 || size > quint64(body.size() - position))
            return Rejected(QStringLiteral("a Windows metafile record runs past its end"));
        const quint16 function = LeAt<quint16>(body, position + 4);
        const QByteArrayView record = body.sliced(position, qsizetype(size));
        QByteArray replacement;
        bool leftOut = false;
        const qsizetype bitmap = WmfBitmapOffset(function, size);
        if (function == MetaDibCreatePatternBrush && size >= 10 &&
            LeAt<quint16>(record, 6) == BsPattern) {
            // This style carries an old device-dependent bitmap, not a DIB.
            replacement = HollowBrushRecord();
        } else if (bitmap > 0) {
            const TDib dib =
                quint64(bitmap) >= size ? TDib::Damaged : CheckDib(record.sliced(bitmap));
            if (dib == TDib::Damaged)
                return Rejected(QStringLiteral("a bitmap in the Windows metafile is damaged"));
            if (dib == TDib::Undrawable) {
                if (function == MetaDibCreatePatternBrush)
                    replacement = HollowBrushRecord();
                else
                    leftOut = true;
            }
        }
        if (!checkOnly && !replacement.isEmpty())
            contents += replacement;
        else if (!checkOnly && !leftOut)
            contents.append(record);
        if (!leftOut)
            largestRecord = std::max(largestRecord, quint32(replacement.isEmpty() ? size / 2 : 7));
        ended = function == MetaEof;
        position += qsizetype(size);
    }
    if (!ended)
        return Rejected(QStringLiteral("the Windows metafile has no end record"));
    if (checkOnly)
        return {{}, natural, false, {}};

    // The reader sizes its record buffer by the header's largest record and
    // its reading by the header's total size; both are taken from the records
    // kept, so that a header claiming gigabytes allocates nothing.
    SetLeAt<quint32>(contents, header + WmfMaxRecordOffset, largestRecord);
    SetLeAt<quint32>(contents, header + WmfSizeOffset, quint32((contents.size() - header) / 2));
    return {contents, natural, false, {}};
}

} // namespace

TPreparedMetafile PrepareMetafile(QByteArrayView bytes, TMetafilePreparation preparation)
{
    const bool checkOnly = preparation == TMetafilePreparation::CheckOnly;
    if (LooksLikeEmf(bytes))
        return PrepareEmf(bytes, checkOnly);
    if (LooksLikeWmf(bytes))
        return PrepareWmf(bytes, checkOnly);
    return Rejected(QStringLiteral("the picture is not a metafile"));
}
