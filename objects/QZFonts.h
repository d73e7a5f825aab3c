// Fonts and colours of object faces. Tests are made with Windows fonts; their
// faces map to metric-compatible free fonts so that texts take the same room.
#pragma once

#include "QZRecords.h"

#include <QColor>
#include <QFont>
#include <QString>

// The free font family that stands in for a Windows face name, with its
// script suffix (" CE", " Cyr" ...) removed: "Arial CE" gives
// "Liberation Sans". Other names come back without the suffix.
QString FreeFamilyOf(const QString &windowsFace);

// The Qt font of a font record, on the free family of its face.
QFont FaceFont(const TFontRecord &record);
QColor FaceColor(quint32 value);
