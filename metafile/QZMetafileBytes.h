// Sizes of metafile pictures, for the converters' own checks. The records'
// little-endian fields are read with LeAt (QZByteReader.h).
#pragma once

#include "QZByteReader.h"

#include <QSize>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace MetafileBytes {

// Pictures larger than this many pixels a side are surely damaged headers.
inline constexpr int MaxNaturalExtent = 16384;
inline constexpr double ScreenDpi = 96.0;

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
