// Windows metafiles to SVG through libwmf.
#include "QZMetafile.h"
#include "QZMetafileBytes.h"

#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/svg.h>

using namespace MetafileBytes;

namespace {

constexpr qsizetype WmfHeaderSize = 18;
// Header fields: the file size and the largest record, both in 16-bit words.
constexpr qsizetype WmfSizeOffset = 6;
constexpr qsizetype WmfMaxRecordOffset = 12;
constexpr quint16 MetaEof = 0;

TMetafileSvg Rejected(const QString &error) { return {{}, {}, error}; }

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
        const auto append16 = [&probe](quint16 value) {
            AppendLe(probe, value);
        };
        const auto append32 = [&probe](quint32 value) {
            AppendLe(probe, value);
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
        SetLeAt<quint16>(probe, 0, 1);      // in memory
        SetLeAt<quint16>(probe, 2, 9);      // header words
        SetLeAt<quint16>(probe, 4, 0x0300); // version
        SetLeAt<quint32>(probe, WmfSizeOffset, quint32(probe.size() / 2));
        SetLeAt<quint32>(probe, WmfMaxRecordOffset, TextOutWords);
        QSize size;
        return PlayWmf(probe, size).isEmpty();
    }();
    return missing;
}

} // namespace

TMetafileSvg WmfToSvg(QByteArrayView bytes)
{
    const TPreparedMetafile prepared = PrepareMetafile(bytes);
    if (!prepared.Error.isEmpty())
        return Rejected(prepared.Error);
    if (prepared.Enhanced)
        return Rejected(QStringLiteral("the Windows metafile has no valid header"));
    QByteArray contents = prepared.Contents;
    const QSize natural = prepared.NaturalSize;
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
