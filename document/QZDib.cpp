#include "QZDib.h"

#include "QZByteReader.h"

#include <limits>

namespace {

constexpr quint32 CoreHeaderSize = 12;
constexpr quint32 InfoHeaderSize = 40;
constexpr qint64 MaxPaletteEntries = 256;

bool KnownHeaderSize(quint32 size)
{
    switch (size) {
    case CoreHeaderSize:
    case InfoHeaderSize:
    case 52:  // with the RGB masks inside
    case 56:  // with the RGBA masks inside
    case 64:  // the OS/2 2.x header
    case 108: // version 4, with colour space
    case 124: // version 5, with profile
        return true;
    default: return false;
    }
}

bool KnownBitCount(quint16 bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

qint64 TDibHeader::MaskBytes() const
{
    if (HeaderSize != InfoHeaderSize)
        return 0;
    if (Compression == DibBitfields)
        return 12;
    if (Compression == DibAlphaBitfields)
        return 16;
    return 0;
}

std::optional<TDibHeader> ParseDibHeader(QByteArrayView dib, TDibFault *fault)
{
    const auto refuse = [fault](TDibFault why) -> std::optional<TDibHeader> {
        if (fault)
            *fault = why;
        return std::nullopt;
    };
    if (fault)
        *fault = TDibFault::None;
    TByteReader reader(dib);
    TDibHeader header;
    header.HeaderSize = reader.U32();
    if (reader.Failed() || !KnownHeaderSize(header.HeaderSize) || header.HeaderSize > dib.size())
        return refuse(TDibFault::Damaged);
    if (header.HeaderSize == CoreHeaderSize) {
        // Unsigned sizes, rows always bottom-up, colour entries of three bytes.
        header.Width = reader.U16();
        header.Height = reader.U16();
        header.Planes = reader.U16();
        header.BitCount = reader.U16();
        header.PaletteEntrySize = 3;
    } else {
        header.Width = reader.I32();
        const qint64 height = reader.I32();
        header.TopDown = height < 0;
        header.Height = height < 0 ? -height : height;
        header.Planes = reader.U16();
        header.BitCount = reader.U16();
        header.Compression = reader.U32();
        header.ImageSize = reader.U32();
        reader.Skip(8); // resolution
        header.ColorsUsed = reader.U32();
    }
    if (header.Width <= 0 || header.Height <= 0)
        return refuse(TDibFault::ImpossibleSize);

    const bool embedded = header.Compression == DibJpeg || header.Compression == DibPng;
    if (header.Compression > DibAlphaBitfields || (!embedded && !KnownBitCount(header.BitCount)))
        return refuse(TDibFault::Damaged);
    if (header.BitCount <= 8 && !embedded) {
        header.PaletteEntries =
            header.ColorsUsed != 0 ? qint64(header.ColorsUsed) : qint64(1) << header.BitCount;
        if (header.PaletteEntries > MaxPaletteEntries)
            return refuse(TDibFault::Damaged);
    } else {
        header.PaletteEntries = header.ColorsUsed;
    }
    // Width below 2^31 and at most 32 bits make a stride below 2^34: the
    // division keeps the product of stride and height from overflowing.
    if (header.Uncompressed() &&
        header.Height > qint64(std::numeric_limits<quint32>::max()) / header.Stride())
        return refuse(TDibFault::ImpossibleSize);
    return header;
}

QByteArray DibToBitmapFile(QByteArrayView dib)
{
    const std::optional<TDibHeader> header = ParseDibHeader(dib);
    if (!header || header->BitsOffset() > dib.size())
        return {};
    constexpr qsizetype FileHeaderSize = 14;
    QByteArray file;
    file.reserve(FileHeaderSize + dib.size());
    file.append("BM", 2);
    AppendLe<quint32>(file, quint32(qMin<qint64>(FileHeaderSize + dib.size(), 0xFFFFFFFF)));
    AppendLe<quint32>(file, 0);
    AppendLe<quint32>(file, quint32(FileHeaderSize + header->BitsOffset()));
    file.append(dib.data(), dib.size());
    return file;
}
