// Enhanced metafiles to SVG through libemf2svg.
#include "QZMetafile.h"
#include "QZMetafileBytes.h"

#include <QList>

#include <emf2svg.h>

using namespace MetafileBytes;

// libemf2svg shuts fontconfig down with FcFini after looking up a font for a
// text record, while Qt still holds fontconfig's caches: fontconfig then
// aborts or Qt reads freed memory. Defined here, FcFini takes the place of
// fontconfig's own for the whole program and leaves fontconfig running; its
// memory goes back when the process ends.
extern "C" void FcFini(void) {}

namespace {

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

TMetafileSvg Rejected(const QString &error) { return {{}, {}, error}; }

// The size an enhanced metafile asks for: its frame (hundredths of a
// millimetre), or where the frame is empty its bounds in device pixels.
QSize EmfNaturalSize(QByteArrayView bytes)
{
    const qint64 frameWidth = qint64(LeI32(bytes, 32)) - LeI32(bytes, 24);
    const qint64 frameHeight = qint64(LeI32(bytes, 36)) - LeI32(bytes, 28);
    QSize size(ToPixels(frameWidth, 2540.0), ToPixels(frameHeight, 2540.0));
    if (frameWidth > 0 && frameHeight > 0 && SensibleSize(size))
        return size;
    const qint64 boundsWidth = qint64(LeI32(bytes, 16)) - LeI32(bytes, 8) + 1;
    const qint64 boundsHeight = qint64(LeI32(bytes, 20)) - LeI32(bytes, 12) + 1;
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
            const quint32 count = Le32(m_contents, at + 36);
            for (quint64 i = 0; i < count && 40 + (i + 1) * 40 <= quint64(size); ++i)
                CleanEmrText(type == EmrPolyTextOutW, at, size, at + 40 + qsizetype(i) * 40);
            break;
        }
        case EmrSmallTextOut: {
            if (size < 36)
                return;
            constexpr quint32 NoRect = 0x100;
            constexpr quint32 SmallChars = 0x200;
            const quint32 count = Le32(m_contents, at + 16);
            const quint32 options = Le32(m_contents, at + 20);
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
        const quint32 count = Le32(m_contents, text + 8);
        const quint32 offset = Le32(m_contents, text + 12);
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
            char16_t unit = Le16(m_contents, where);
            const bool high = unit >= 0xD800 && unit <= 0xDBFF;
            const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
            const bool nextLow = i + 1 < units && Le16(m_contents, where + 2) >= 0xDC00 &&
                                 Le16(m_contents, where + 2) <= 0xDFFF;
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
            SetLe16(m_contents, where, unit);
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

} // namespace

TMetafileSvg EmfToSvg(QByteArrayView bytes)
{
    if (bytes.size() > MaxMetafileBytes)
        return Rejected(QStringLiteral("the metafile is too large"));
    if (!LooksLikeEmf(bytes))
        return Rejected(QStringLiteral("the metafile has no enhanced metafile header"));
    const quint32 headerSize = Le32(bytes, 4);
    const quint32 totalBytes = Le32(bytes, 48);
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
        const quint32 type = Le32(bytes, position);
        const quint32 size = Le32(bytes, position + 4);
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

    QByteArray contents(bytes.first(position).data(), position);
    TEmfStrings strings(contents);
    for (const auto &[at, size] : std::as_const(records))
        strings.CleanRecord(Le32(contents, at), at, size);
    // A scaling map mode without any extents keeps the default one-to-one
    // extents, which is text mode; the converter would divide by the missing
    // extents instead.
    if (!hasExtents) {
        for (qsizetype at : mapModes) {
            const quint32 mode = Le32(contents, at);
            if (mode == MmIsotropic || mode == MmAnisotropic)
                SetLe32(contents, at, MmText);
        }
    }
    generatorOptions options{};
    options.nameSpace = const_cast<char *>("");
    options.verbose = false;
    options.emfplus = false;
    options.svgDelimiter = true;
    options.imgWidth = natural.width();
    options.imgHeight = natural.height();
    char *out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(contents.data(), size_t(contents.size()), &out, &outLength, &options);
    TMetafileSvg result;
    if (ok && out && outLength > 0 && outLength <= size_t(MaxMetafileSvgBytes))
        result.Svg = QByteArray(out, qsizetype(outLength));
    const bool tooLarge = ok && outLength > size_t(MaxMetafileSvgBytes);
    std::free(out);
    if (tooLarge)
        return Rejected(QStringLiteral("the enhanced metafile's drawing is too large"));
    if (result.Svg.isEmpty())
        return Rejected(QStringLiteral("the enhanced metafile could not be drawn"));
    result.NaturalSize = natural;
    return result;
}
