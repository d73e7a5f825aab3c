// Windows metafiles to SVG through libwmf.
#include "QZMetafile.h"
#include "QZMetafileBytes.h"

#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/svg.h>

using namespace MetafileBytes;

namespace {

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

TMetafileSvg Rejected(const QString &error) { return {{}, {}, error}; }

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
// known layout and its pixels must lie inside the record. Bitmaps that hold
// a JPEG or PNG image are sound but beyond the converter.
TDib CheckDib(QByteArrayView dib)
{
    if (dib.size() < 12)
        return TDib::Damaged;
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
            return TDib::Damaged;
        width = LeI32(dib, 4);
        height = std::abs(qint64(LeI32(dib, 8)));
        bitCount = Le16(dib, 14);
        compression = Le32(dib, 16);
        colours = Le32(dib, 32);
    } else {
        return TDib::Damaged;
    }
    if (width <= 0 || height <= 0 || width > MaxNaturalExtent * 4 || height > MaxNaturalExtent * 4)
        return TDib::Damaged;
    constexpr quint32 BiJpeg = 4;
    constexpr quint32 BiPng = 5;
    if (compression == BiJpeg || compression == BiPng) {
        // The image's size in bytes follows the compression.
        const quint32 imageBytes = headerSize >= 40 ? Le32(dib, 20) : 0;
        return imageBytes > 0 && qint64(headerSize) + imageBytes <= dib.size() ? TDib::Undrawable
                                                                               : TDib::Damaged;
    }
    if (compression > 3)
        return TDib::Damaged;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return TDib::Damaged;
    if (bitCount <= 8 && (colours == 0 || colours > (1 << bitCount)))
        colours = 1 << bitCount;
    qint64 needed = headerSize + colours * colourBytes;
    if (compression == 3 && headerSize == 40)
        needed += 12; // the colour masks
    if (compression == 0 || compression == 3)
        needed += (width * bitCount + 31) / 32 * 4 * height;
    else if (!RunLengthSizeBelievable(width, height, dib.size()))
        return TDib::Damaged;
    return needed <= dib.size() ? TDib::Drawable : TDib::Damaged;
}

// A brush that paints nothing, in place of a pattern brush the converter
// cannot read: the object keeps its place in the metafile's object table.
QByteArray HollowBrushRecord()
{
    QByteArray record(14, '\0');
    SetLe32(record, 0, 7); // words
    SetLe16(record, 4, MetaCreateBrushIndirect);
    SetLe16(record, 6, BsNull);
    return record;
}

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

// The SVG device writes a text record's string into the document as it is.
// It is handed the string escaped for XML instead, without the characters
// XML does not allow, so that a text can only ever be text.
void (*SvgDrawText)(wmfAPI *, wmfDrawText_t *) = nullptr;

void EscapedDrawText(wmfAPI *api, wmfDrawText_t *text)
{
    QByteArray escaped;
    for (const char *c = text->str; c && *c; ++c) {
        switch (*c) {
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '&': escaped += "&amp;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        default: escaped += (uchar(*c) < 0x20 && *c != '\t' && *c != '\n' && *c != '\r') ? ' ' : *c;
        }
    }
    char *original = text->str;
    text->str = escaped.data();
    SvgDrawText(api, text);
    text->str = original;
}

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
    auto *functions = static_cast<wmfFunctionReference *>(api->function_reference);
    SvgDrawText = functions->draw_text;
    functions->draw_text = EscapedDrawText;
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
        if (played && out && outLength > 0 && outLength <= quint64(MaxMetafileSvgBytes) / 2)
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
        SetLe16(probe, 0, 1);      // in memory
        SetLe16(probe, 2, 9);      // header words
        SetLe16(probe, 4, 0x0300); // version
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

    // Record sizes count 16-bit words; the last record is META_EOF. The
    // records are copied as they are, but for bitmaps the converter cannot
    // read: drawing records with one are left out, pattern brushes become
    // hollow brushes.
    QByteArray contents(bytes.first(header + WmfHeaderSize).data(), header + WmfHeaderSize);
    qsizetype position = WmfHeaderSize;
    bool ended = false;
    quint32 largestRecord = 0; // words
    while (!ended && position + 6 <= body.size()) {
        const quint64 size = quint64(Le32(body, position)) * 2;
        if (size < 6 || size > quint64(body.size() - position))
            return Rejected(QStringLiteral("a Windows metafile record runs past its end"));
        const quint16 function = Le16(body, position + 4);
        const QByteArrayView record = body.sliced(position, qsizetype(size));
        QByteArray replacement;
        bool leftOut = false;
        const qsizetype bitmap = WmfBitmapOffset(function, size);
        if (function == MetaDibCreatePatternBrush && size >= 10 && Le16(record, 6) == BsPattern) {
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
        if (!replacement.isEmpty())
            contents += replacement;
        else if (!leftOut)
            contents += record.toByteArray();
        if (!leftOut)
            largestRecord = std::max(largestRecord, quint32(replacement.isEmpty() ? size / 2 : 7));
        ended = function == MetaEof;
        position += qsizetype(size);
    }
    if (!ended)
        return Rejected(QStringLiteral("the Windows metafile has no end record"));

    // The reader sizes its record buffer by the header's largest record and
    // its reading by the header's total size; both are taken from the records
    // kept, so that a header claiming gigabytes allocates nothing.
    SetLe32(contents, header + WmfMaxRecordOffset, largestRecord);
    SetLe32(contents, header + WmfSizeOffset, quint32((contents.size() - header) / 2));
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
