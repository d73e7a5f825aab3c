// What every side of the metafile layer agrees on: how a metafile is told
// from its first bytes, the size limits, and the converted drawing.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>

// The largest metafile handed to a converter; larger ones are rejected.
inline constexpr qsizetype MaxMetafileBytes = 32 * 1024 * 1024;
// The largest drawing a converter may hand back.
inline constexpr qsizetype MaxMetafileSvgBytes = 64 * 1024 * 1024;

struct TMetafileSvg
{
    QByteArray Svg;    // an SVG document, empty when the metafile was rejected
    QSize NaturalSize; // the picture's own size in pixels at 96 dots per inch
    QString Error;     // why the metafile was rejected
};

// True when the bytes begin like an enhanced metafile (EMR_HEADER with the
// " EMF" signature) or a Windows metafile (placeable or bare memory header).
bool LooksLikeEmf(QByteArrayView bytes);
bool LooksLikeWmf(QByteArrayView bytes);

// Whether a run-length coded bitmap of `bytes` bytes can hold width x height
// pixels: a run takes two bytes for up to 255 pixels and, with the escapes
// that skip ahead, real pictures stay far below 512 pixels a byte. Readers
// allocate by the header alone, so a header promising more is damaged.
bool RunLengthSizeBelievable(qint64 width, qint64 height, qint64 bytes);
