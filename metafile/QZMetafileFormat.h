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

// A metafile checked record by record and made ready for a converter: a
// header that does not describe the bytes, a record that runs past the end, a
// missing end record or a damaged bitmap reject it. The contents are the
// metafile's own records up to its end, but that texts are made safe to stand
// in XML (the converters copy them into their SVG as they are), and that
// sound bitmaps the Windows converter cannot read (JPEG and PNG inside, old
// device-dependent pattern bitmaps) are left out, pattern brushes becoming
// hollow brushes. Checking needs no converter: the programs check metafiles
// as a test is read and convert them only when they are shown.
struct TPreparedMetafile
{
    QByteArray Contents;
    QSize NaturalSize; // unknown (invalid) for a Windows metafile without placeable header
    bool Enhanced = false;
    QString Error; // why the metafile was rejected; empty when it was not
};

// CheckOnly leaves the contents empty: the checks and the natural size alone.
enum class TMetafilePreparation { Convert, CheckOnly };
TPreparedMetafile PrepareMetafile(QByteArrayView bytes,
                                  TMetafilePreparation preparation = TMetafilePreparation::Convert);

// True when the bytes begin like an enhanced metafile (EMR_HEADER with the
// " EMF" signature) or a Windows metafile (placeable or bare memory header).
bool LooksLikeEmf(QByteArrayView bytes);
bool LooksLikeWmf(QByteArrayView bytes);

// Whether a run-length coded bitmap of `bytes` bytes can hold width x height
// pixels: a run takes two bytes for up to 255 pixels and, with the escapes
// that skip ahead, real pictures stay far below 512 pixels a byte. Readers
// allocate by the header alone, so a header promising more is damaged.
bool RunLengthSizeBelievable(qint64 width, qint64 height, qint64 bytes);
