#include "QZMetafileFormat.h"

#include "QZByteReader.h"

#include <algorithm>

namespace {

constexpr quint32 EmrHeader = 1;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"
constexpr qsizetype EmfHeaderMin = 88;
constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype WmfHeaderSize = 18;

} // namespace

bool LooksLikeEmf(QByteArrayView bytes)
{
    return bytes.size() >= EmfHeaderMin && LeAt<quint32>(bytes, 0) == EmrHeader &&
           LeAt<quint32>(bytes, 40) == EmfSignature;
}

bool LooksLikeWmf(QByteArrayView bytes)
{
    if (bytes.size() >= 4 && LeAt<quint32>(bytes, 0) == PlaceableKey)
        return true;
    if (bytes.size() < WmfHeaderSize)
        return false;
    const quint16 type = LeAt<quint16>(bytes, 0);
    const quint16 version = LeAt<quint16>(bytes, 4);
    return (type == 1 || type == 2) && LeAt<quint16>(bytes, 2) == 9 &&
           (version == 0x0100 || version == 0x0300);
}

bool RunLengthSizeBelievable(qint64 width, qint64 height, qint64 bytes)
{
    constexpr qint64 MaxPixelsPerByte = 512;
    constexpr qint64 SmallPicture = 1 << 20;
    return width * height <= std::max(MaxPixelsPerByte * bytes, SmallPicture);
}
