// Enhanced metafiles and Windows metafiles turned into SVG documents that Qt's
// SVG renderer draws. The converting libraries are C code that trusts its
// input, so every metafile is first walked record by record here: a header
// that does not describe the bytes, a record that runs past the end or a
// missing end record rejects the metafile before a library sees it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QString>

// The largest metafile handed to a converter; larger ones are rejected.
inline constexpr qsizetype MaxMetafileBytes = 32 * 1024 * 1024;

struct TMetafileSvg
{
    QByteArray Svg;    // an SVG document, empty when the metafile was rejected
    QSize NaturalSize; // the picture's own size in pixels at 96 dots per inch
    QString Error;     // why the metafile was rejected
};

// True when the bytes begin like an enhanced metafile (EMR_HEADER with the
// " EMF" signature) or a Windows metafile (placeable or bare memory header).
// Whether a run-length coded bitmap of `bytes` bytes can hold width x height
// pixels: a run takes two bytes for up to 255 pixels and, with the escapes
// that skip ahead, real pictures stay far below 512 pixels a byte. Readers
// allocate by the header alone, so a header promising more is damaged.
bool RunLengthSizeBelievable(qint64 width, qint64 height, qint64 bytes);

bool LooksLikeEmf(QByteArrayView bytes);
bool LooksLikeWmf(QByteArrayView bytes);

// Converts an enhanced metafile or a Windows metafile (with or without its
// placeable header), whichever the bytes are.
TMetafileSvg MetafileToSvg(QByteArrayView bytes);
TMetafileSvg EmfToSvg(QByteArrayView bytes);
TMetafileSvg WmfToSvg(QByteArrayView bytes);
