#include "QZMetafile.h"

#include <QList>
#include <QtEndian>

#include <cmath>
#include <cstdlib>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

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
constexpr quint32 MmText = 1;
constexpr quint32 MmIsotropic = 7;
constexpr quint32 MmAnisotropic = 8;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"
constexpr qsizetype EmfHeaderMin = 88;
constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype PlaceableHeaderSize = 22;
constexpr qsizetype WmfHeaderSize = 18;
// Header fields: the file size and the largest record, both in 16-bit words.
constexpr qsizetype WmfSizeOffset = 6;
constexpr qsizetype WmfMaxRecordOffset = 12;
constexpr quint16 MetaEof = 0;
// Pictures larger than this many pixels a side are surely damaged headers.
constexpr int MaxNaturalExtent = 16384;
constexpr double ScreenDpi = 96.0;

quint16 Le16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}
qint16 LeI16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint16>(bytes.data() + at);
}
quint32 Le32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}
qint32 LeI32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint32>(bytes.data() + at);
}
void SetLe32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

TMetafileSvg Rejected(const QString &error) { return {{}, {}, error}; }

bool SensibleSize(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxNaturalExtent &&
           size.height() <= MaxNaturalExtent;
}

int ToPixels(qint64 extent, double unitsPerInch)
{
    return int(std::lround(std::min(double(std::abs(extent)) * ScreenDpi / unitsPerInch, 1e9)));
}

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
    case 0x0142: return 10;                 // META_DIBCREATEPATTERNBRUSH
    default: return 0;
    }
}

// The converter's bitmap reader trusts the bitmap header: it must name a
// known layout and its pixels must lie inside the record.
bool SensibleDib(QByteArrayView dib)
{
    if (dib.size() < 12)
        return false;
    const quint32 headerSize = Le32(dib, 0);
    qint64 width = 0;
    qint64 height = 0;
    quint16 bitCount = 0;
    quint32 compression = 0;
    qint64 colours = 0;
    int colourBytes = 4;
    if (headerSize == 12) {
        width = Le16(dib, 4);
        height = Le16(dib, 6);
        bitCount = Le16(dib, 10);
        colourBytes = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (dib.size() < 40)
            return false;
        width = LeI32(dib, 4);
        height = std::abs(qint64(LeI32(dib, 8)));
        bitCount = Le16(dib, 14);
        compression = Le32(dib, 16);
        colours = Le32(dib, 32);
    } else {
        return false;
    }
    if (width <= 0 || height <= 0 || width > MaxNaturalExtent * 4 ||
        height > MaxNaturalExtent * 4 || compression > 3)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return false;
    if (bitCount <= 8 && (colours == 0 || colours > (1 << bitCount)))
        colours = 1 << bitCount;
    qint64 needed = headerSize + colours * colourBytes;
    if (compression == 3 && headerSize == 40)
        needed += 12; // the colour masks
    if (compression == 0 || compression == 3)
        needed += (width * bitCount + 31) / 32 * 4 * height;
    else if (!RunLengthSizeBelievable(width, height, dib.size()))
        return false;
    return needed <= dib.size();
}

} // namespace

bool RunLengthSizeBelievable(qint64 width, qint64 height, qint64 bytes)
{
    constexpr qint64 MaxPixelsPerByte = 512;
    constexpr qint64 SmallPicture = 1 << 20;
    return width * height <= std::max(MaxPixelsPerByte * bytes, SmallPicture);
}

bool LooksLikeEmf(QByteArrayView bytes)
{
    return bytes.size() >= EmfHeaderMin && Le32(bytes, 0) == EmrHeader &&
           Le32(bytes, 40) == EmfSignature;
}

bool LooksLikeWmf(QByteArrayView bytes)
{
    if (bytes.size() >= 4 && Le32(bytes, 0) == PlaceableKey)
        return true;
    return bytes.size() >= WmfHeaderSize && (Le16(bytes, 0) == 1 || Le16(bytes, 0) == 2) &&
           Le16(bytes, 2) == 9 && (Le16(bytes, 4) == 0x0100 || Le16(bytes, 4) == 0x0300);
}

TMetafileSvg MetafileToSvg(QByteArrayView bytes)
{
    if (LooksLikeEmf(bytes))
        return EmfToSvg(bytes);
    if (LooksLikeWmf(bytes))
        return WmfToSvg(bytes);
    return Rejected(QStringLiteral("the picture is not a metafile"));
}

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
        ended = type == EmrEof;
        position += size;
    }
    if (!ended)
        return Rejected(QStringLiteral("the enhanced metafile has no end record"));

    const QSize natural = EmfNaturalSize(bytes);
    if (!SensibleSize(natural))
        return Rejected(QStringLiteral("the enhanced metafile has an impossible size"));

    QByteArray contents(bytes.first(position).data(), position);
    // A scaling map mode without any extents keeps the default one-to-one
    // extents, which is text mode; the converter would divide by the missing
    // extents instead.
    if (!hasExtents) {
        for (qsizetype at : mapModes) {
            const quint32 mode = Le32(contents, at);
            if (mode == MmIsotropic || mode == MmAnisotropic)
                qToLittleEndian<quint32>(MmText, contents.data() + at);
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
    if (ok && out && outLength > 0)
        result.Svg = QByteArray(out, qsizetype(outLength));
    std::free(out);
    if (result.Svg.isEmpty())
        return Rejected(QStringLiteral("the enhanced metafile could not be drawn"));
    result.NaturalSize = natural;
    return result;
}

namespace {

// The converter sizes some buffers by fields deep in the records (pattern
// brushes, stretched bitmaps) that no header check covers; it is given an
// allocator that refuses any single block larger than a real picture needs,
// which it reports as out of memory and stops drawing.
constexpr size_t MaxWmfBlock = size_t(256) * 1024 * 1024;

void *WmfMalloc(void *, size_t size) { return size <= MaxWmfBlock ? std::malloc(size) : nullptr; }

void *WmfRealloc(void *, void *memory, size_t size)
{
    return size <= MaxWmfBlock ? std::realloc(memory, size) : nullptr;
}

void WmfFree(void *, void *memory) { std::free(memory); }

// Plays a checked Windows metafile into an SVG document; empty when the
// reader gives up. `size` is the size the metafile asks for at 96 dots per
// inch.
QByteArray PlayWmf(QByteArray &contents, QSize &size)
{
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    options.malloc = WmfMalloc;
    options.realloc = WmfRealloc;
    options.free = WmfFree;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_ALLOC | WMF_OPT_IGNORE_NONFATAL |
                                WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI *api = nullptr;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return {};
    }
    QByteArray svg;
    wmfD_Rect bbox{};
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char *>(contents.data()),
                     long(contents.size())) == wmf_E_None &&
        wmf_scan(api, 0, &bbox) == wmf_E_None &&
        wmf_display_size(api, &width, &height, ScreenDpi, ScreenDpi) == wmf_E_None) {
        wmf_svg_t *device = WMF_SVG_GetData(api);
        device->out = wmf_stream_create(api, nullptr);
        device->Description = const_cast<char *>("");
        device->bbox = bbox;
        device->width = width;
        device->height = height;
        device->flags |= WMF_SVG_INLINE_IMAGES;
        const bool played = device->out && wmf_play(api, 0, &bbox) == wmf_E_None;
        char *out = nullptr;
        unsigned long outLength = 0;
        wmf_stream_destroy(api, device->out, &out, &outLength);
        // Texts come out in the metafile's 8-bit code page, while the SVG
        // declares no encoding and so must be UTF-8; Latin-1 is the nearest
        // reading of those bytes that never fails.
        if (played && out && outLength > 0)
            svg = QString::fromLatin1(out, qsizetype(outLength)).toUtf8();
        wmf_mem_close(api);
    }
    // The API owns every buffer it handed out, the output included.
    wmf_api_destroy(api);
    size = QSize(int(width), int(height));
    return svg;
}

// The reader loads its fonts (the URW base 35 Type 1 fonts) as it starts on
// a metafile and gives up on any metafile, with or without text, when it
// finds none, exactly as on a damaged one. A metafile of one line of text,
// which draws wherever the fonts are there, tells the two apart.
bool WmfFontsMissing()
{
    static const bool missing = [] {
        const char text[] = "Aa";
        QByteArray probe(WmfHeaderSize, '\0');
        auto append16 = [&probe](quint16 value) {
            probe.append(char(value & 0xFF)).append(char(value >> 8));
        };
        auto append32 = [&](quint32 value) {
            append16(quint16(value & 0xFFFF));
            append16(quint16(value >> 16));
        };
        constexpr quint16 MetaTextOut = 0x0521;
        constexpr quint32 TextOutWords = 3 + 1 + (sizeof(text) - 1) / 2 + 2;
        append32(TextOutWords);
        append16(MetaTextOut);
        append16(sizeof(text) - 1);
        probe.append(text, sizeof(text) - 1);
        append16(10); // y
        append16(10); // x
        append32(3);  // META_EOF
        append16(MetaEof);
        qToLittleEndian<quint16>(1, probe.data());     // in memory
        qToLittleEndian<quint16>(9, probe.data() + 2); // header words
        qToLittleEndian<quint16>(0x0300, probe.data() + 4);
        SetLe32(probe, WmfSizeOffset, quint32(probe.size() / 2));
        SetLe32(probe, WmfMaxRecordOffset, TextOutWords);
        QSize size;
        return PlayWmf(probe, size).isEmpty();
    }();
    return missing;
}

} // namespace

TMetafileSvg WmfToSvg(QByteArrayView bytes)
{
    if (bytes.size() > MaxMetafileBytes)
        return Rejected(QStringLiteral("the metafile is too large"));
    qsizetype header = 0;
    QSize natural;
    if (bytes.size() >= 4 && Le32(bytes, 0) == PlaceableKey) {
        if (bytes.size() < PlaceableHeaderSize + WmfHeaderSize)
            return Rejected(QStringLiteral("the Windows metafile is cut short"));
        const quint16 unitsPerInch = Le16(bytes, 14);
        if (unitsPerInch == 0)
            return Rejected(QStringLiteral("the Windows metafile has no scale"));
        natural = QSize(ToPixels(qint64(LeI16(bytes, 10)) - LeI16(bytes, 6), unitsPerInch),
                        ToPixels(qint64(LeI16(bytes, 12)) - LeI16(bytes, 8), unitsPerInch));
        if (!SensibleSize(natural))
            return Rejected(QStringLiteral("the Windows metafile has an impossible size"));
        header = PlaceableHeaderSize;
    }
    const QByteArrayView body = bytes.sliced(header);
    if (!LooksLikeWmf(body) || Le32(body, 0) == PlaceableKey)
        return Rejected(QStringLiteral("the Windows metafile has no valid header"));

    // Record sizes count 16-bit words; the last record is META_EOF.
    qsizetype position = WmfHeaderSize;
    bool ended = false;
    quint32 largestRecord = 0; // words
    while (!ended && position + 6 <= body.size()) {
        const quint64 size = quint64(Le32(body, position)) * 2;
        if (size < 6 || size > quint64(body.size() - position))
            return Rejected(QStringLiteral("a Windows metafile record runs past its end"));
        largestRecord = std::max(largestRecord, quint32(size / 2));
        const quint16 function = Le16(body, position + 4);
        const qsizetype bitmap = WmfBitmapOffset(function, size);
        if (bitmap > 0 && (quint64(bitmap) >= size ||
                           !SensibleDib(body.sliced(position + bitmap, qsizetype(size) - bitmap))))
            return Rejected(QStringLiteral("a bitmap in the Windows metafile is damaged"));
        ended = function == MetaEof;
        position += qsizetype(size);
    }
    if (!ended)
        return Rejected(QStringLiteral("the Windows metafile has no end record"));

    QByteArray contents(bytes.first(header + position).data(), header + position);
    // The reader sizes its record buffer by the header's largest record and
    // its reading by the header's total size; both are taken from the records
    // just walked, so that a header claiming gigabytes allocates nothing.
    SetLe32(contents, header + WmfMaxRecordOffset, largestRecord);
    SetLe32(contents, header + WmfSizeOffset, quint32(position / 2));
    TMetafileSvg result;
    QSize played;
    result.Svg = PlayWmf(contents, played);
    if (result.Svg.isEmpty()) {
        if (WmfFontsMissing())
            return Rejected(QStringLiteral("the Windows metafile cannot be drawn: the metafile "
                                           "fonts are not installed (install the Debian "
                                           "package fonts-urw-base35)"));
        return Rejected(QStringLiteral("the Windows metafile could not be drawn"));
    }
    result.NaturalSize = natural.isValid() ? natural : played;
    if (!SensibleSize(result.NaturalSize))
        return Rejected(QStringLiteral("the Windows metafile has an impossible size"));
    return result;
}
