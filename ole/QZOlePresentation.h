// Drawing an OLE object in its container: the four size modes and the
// presentations: a cached bitmap or metafile of the content; the icon and name
// of the file the object opens as, as the desktop draws that file, for
// objects shown as an icon or without a picture of their content; or a frame
// naming the object's type when there is nothing else to draw.
#pragma once

#include "QZOleObject.h"

#include <QRect>
#include <QSize>

class QPainter;

// The container's size modes as the OLE record stores them.
enum TOleSizeMode : quint8 {
    OleSizeNormal = 0,       // natural size from the top-left corner, clipped
    OleSizeCentred = 1,      // natural size, centred, clipped
    OleSizeProportional = 2, // scaled to fit, keeping proportions, centred
    OleSizeStretch = 3,      // scaled to the whole area
};

// Where a presentation of `natural` size goes in `area` (pixels). Values
// other than the four modes draw as OleSizeNormal, since records are not
// validated.
QRect OlePresentationRect(const QRect &area, const QSize &natural, int sizeMode);

// The size the object draws at when not scaled, in pixels on a device of the
// given resolution; empty when it has nothing of its own to draw.
QSize OleNaturalSize(const TOleObject &object, qreal dpiX, qreal dpiY);

// Draws the object in `area` by the size mode, clipped to `area`.
void DrawOleObject(QPainter &painter, const QRect &area, const TOleObject &object, int sizeMode);

// The text the type-name frame shows.
QString OleFrameText(const TOleObject &object);

// A metafile presentation is drawn by the renderer installed here, if any;
// without one it shows as the type-name frame. Returns the renderer installed
// before. `metafile` holds the records of a Windows metafile without a
// placeable header; `extent` is in 0.01 mm.
using TOleMetafileRenderer = QImage (*)(const QByteArray &metafile, const QSize &extent,
                                        const QSize &pixels);
TOleMetafileRenderer SetOleMetafileRenderer(TOleMetafileRenderer renderer);
