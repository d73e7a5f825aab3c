// What the document knows about each object type beyond its record layout:
// class and clipboard format names, where the geometry fields stand, the
// records new objects and tests start with, and a table of named fields for
// tools that show or build records field by field.
#pragma once

#include "QZRecords.h"

#include <QByteArray>
#include <QString>

#include <span>

// Class name of a type tag ("TQZIzbire" ...), empty for tags without a class.
QString ClassNameOfType(int typeTag);
// Clipboard format name of a type tag ("QZC_IZBI" ...; tag 9 is the page).
QString ClipboardFormatOfType(int typeTag);
// A short English description ("choices", "button" ...).
QString DescriptionOfType(int typeTag);

// Record offsets of the geometry fields of a type; Height is -1 for the
// question records, which store no height.
struct TGeometryOffsets
{
    int Left;
    int Top;
    int Width;
    int Height;
};
TGeometryOffsets GeometryOffsets(int typeTag);

// Record offset of the Points field of a question type, -1 for other types.
int PointsOffset(int typeTag);

// The font of a new object: the main window's font at start-up.
TFontRecord WindowFontRecord();
constexpr quint32 WindowColor = 0x00C0C0C0; // silver

// The record a newly inserted object of the type starts with, in pixels.
QByteArray NewObjectRecord(int typeTag);

// The header of a new test: title "Untitled", wrong-answer mode 1 and the
// eight default comments.
TTestRecord NewTestRecord();
QString DefaultComment(int index);

// A page record with the given name and targets, coloured in the window colour.
TPageRecord NewPageRecord(const QByteArray &name, const QByteArray &correctTarget,
                          const QByteArray &wrongTarget);

// Named record fields, for dumping and building records field by field.
enum class TFieldKind {
    Int32,
    Color,
    Byte,
    Bool,
    String,      // string[Capacity]
    StringArray, // Count x string[Capacity], back to back
    Font,        // TFontRecord
    ByteSet,     // TByteSet
};

struct TRecordField
{
    const char *Name;
    int Offset;
    TFieldKind Kind;
    int Capacity = 0;
    int Count = 1;
    // Offset of the font record whose character set decodes this text; -1 for
    // texts in the default code page.
    int FontOffset = -1;
};

std::span<const TRecordField> RecordFields(int typeTag);
