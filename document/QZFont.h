// Colour values and font records as Qt colours and fonts, and the text
// comparison of typed answers.
#pragma once

#include "QZRecords.h"

#include <QColor>
#include <QFont>
#include <QString>

constexpr quint32 SystemColorFlag = 0x80000000u;

// 0x00BBGGRR, or 0x80000000 + n for system colour n, which takes the matching
// colour of the application's palette (the default palette without one).
QColor ColorFromValue(quint32 value);
// The RGB colour value of a colour (never a system colour).
quint32 ValueFromColor(const QColor &color);

// A font as a font record describes it: face (its name without surrounding
// blanks), height, style and character set. A negative height is the
// character height in pixels, a positive one the height of the whole cell.
struct TRecordFont
{
    QFont Font;
    QColor Color;
    quint8 Charset = 1;
};

TRecordFont RecordToFont(const TFontRecord &record);
// The inverse: colour, face name (cut to 255 bytes), height as a character
// height, style and character set. Texts of the face name outside the code
// page of the character set become "?".
TFontRecord FontToRecord(const QFont &font, quint32 color, quint8 charset);

// Compares two texts without leading and trailing blanks and control
// characters; without caseSensitive, after upper-casing both in the current
// locale, so that accented letters match their capitals.
bool SameText(const QString &a, const QString &b, bool caseSensitive);
