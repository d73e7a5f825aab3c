// Device-independent bitmaps as pictures, OLE presentations, metafile records
// and RTF carry them: a header, then colour masks, a colour table and the
// pixels, packed one after the other.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The compression field of the info headers.
enum : quint32 {
    DibRgb = 0,
    DibRle8 = 1,
    DibRle4 = 2,
    DibBitfields = 3,
    DibJpeg = 4,
    DibPng = 5,
    DibAlphaBitfields = 6,
};

// What the header says, with the layout that follows from it. Sizes and
// offsets are in bytes, offsets from the start of the header.
struct TDibHeader
{
    quint32 HeaderSize = 0; // 12 (the old core header), 40, 52, 56, 64, 108 or 124
    qint64 Width = 0;       // pixels, above 0
    qint64 Height = 0;      // rows, above 0 whatever the sign stored
    bool TopDown = false;   // a negative stored height: the top row comes first
    quint16 Planes = 0;
    quint16 BitCount = 0;        // 1, 4, 8, 16, 24 or 32; 0 for JPEG and PNG inside
    quint32 Compression = 0;     // DibRgb … DibAlphaBitfields; always DibRgb for core
    quint32 ImageSize = 0;       // as stored (0 is allowed for uncompressed pixels)
    quint32 ColorsUsed = 0;      // as stored; the core header has none
    qint64 PaletteEntries = 0;   // ColorsUsed, or when 0 all 2^BitCount up to 8 bits
    qint64 PaletteEntrySize = 4; // 3 for the core header's RGBTRIPLE

    // The three or four masks a 40-byte header is followed by for the
    // bit-field compressions; the longer headers hold them inside.
    qint64 MaskBytes() const;
    qint64 PaletteBytes() const { return PaletteEntries * PaletteEntrySize; }
    qint64 BitsOffset() const { return HeaderSize + MaskBytes() + PaletteBytes(); }
    // Bytes of a row of uncompressed pixels, rounded up to whole 32-bit words.
    qint64 Stride() const { return (Width * BitCount + 31) / 32 * 4; }
    bool Uncompressed() const
    {
        return Compression == DibRgb || Compression == DibBitfields ||
               Compression == DibAlphaBitfields;
    }
    bool RunLength() const { return Compression == DibRle8 || Compression == DibRle4; }
    // The rows of uncompressed pixels, else the stored image size.
    qint64 BitsSize() const { return Uncompressed() ? Stride() * Height : qint64(ImageSize); }
};

// Why a header was refused.
enum class TDibFault {
    None,
    Damaged,        // cut short, or a size, bit count or colour table no bitmap has
    ImpossibleSize, // no pixels (zero width or height), or more than 4 GiB of them
};

// The header at the start of `dib`; nothing, with the reason in `fault`, when
// it is cut short, of a size no version has, without pixels, of an
// impossible bit count or compression, with a colour table of more than 256
// entries for up to 8 bits, or with uncompressed pixels of more than 4 GiB
// (which no 32-bit size field describes). The pixels themselves are not
// looked at, nor whether they are all there: callers compare BitsOffset()
// and BitsSize() with what they hold, and set their own limits on the size.
std::optional<TDibHeader> ParseDibHeader(QByteArrayView dib, TDibFault *fault = nullptr);

// A packed DIB (say a clipboard DIB or an RTF \dibitmap) as the bytes of a
// bitmap file, whose file header points at the pixels; empty when the header
// does not parse or its masks and colour table run past the end.
QByteArray DibToBitmapFile(QByteArrayView dib);
