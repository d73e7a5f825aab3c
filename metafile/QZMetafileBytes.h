// Little-endian fields of metafile records, for the converters' own checks.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace MetafileBytes {

// Pictures larger than this many pixels a side are surely damaged headers.
inline constexpr int MaxNaturalExtent = 16384;
inline constexpr double ScreenDpi = 96.0;

inline quint16 Le16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}
inline qint16 LeI16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint16>(bytes.data() + at);
}
inline quint32 Le32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}
inline qint32 LeI32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<qint32>(bytes.data() + at);
}
inline void SetLe16(QByteArray &bytes, qsizetype at, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes.data() + at);
}
inline void SetLe32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

inline bool SensibleSize(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= MaxNaturalExtent &&
           size.height() <= MaxNaturalExtent;
}

inline int ToPixels(qint64 extent, double unitsPerInch)
{
    return int(std::lround(std::min(double(std::abs(extent)) * ScreenDpi / unitsPerInch, 1e9)));
}

} // namespace MetafileBytes
