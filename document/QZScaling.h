// Screen scaling: stored positions, sizes and font heights are virtual units of
// a 2048 x 1536 area; live objects hold them in pixels of the surface.
#pragma once

#include "QZRecords.h"

#include <QByteArray>

constexpr qint32 DesignWidth = 2048;
constexpr qint32 DesignHeight = 1536;

// Pixel size of the surface that stands for the virtual area. Set once per run
// before the first object is built; both start as the virtual size, so that a
// headless load and save keeps every value.
extern qint32 ScreenWidth;
extern qint32 ScreenHeight;

// Rounds to the nearest integer with halves to the even neighbour, clamped to
// the 32-bit range.
qint32 RoundHalfEven(double value);

qint32 ToScreenX(qint32 v);
qint32 ToScreenY(qint32 v);
qint32 FromScreenX(qint32 v);
qint32 FromScreenY(qint32 v);

// Metrics derived from the surface size, in pixels.
qint32 Margin();
qint32 AnswerButtonHeight();
qint32 SurfaceFontHeight();
qint32 GridStep();

enum class TScaleDirection { ToScreen, FromScreen };

// Converts, in place, exactly the position, size and font height fields of a
// record of the given type tag. `record` must hold at least RecordSize(tag)
// bytes; tags without a record are left alone.
void ConvertRecordBytes(int tag, char *record, TScaleDirection direction);

inline QByteArray ConvertedRecord(int tag, QByteArray record, TScaleDirection direction)
{
    if (record.size() >= RecordSize(tag))
        ConvertRecordBytes(tag, record.data(), direction);
    return record;
}

template<typename Record> constexpr int TypeTagOf();
template<> constexpr int TypeTagOf<TIzbireRecord>() { return ObjIzbire; }
template<> constexpr int TypeTagOf<TVnosnoOknoRecord>() { return ObjVnosnoOkno; }
template<> constexpr int TypeTagOf<TDaNeRecord>() { return ObjDaNe; }
template<> constexpr int TypeTagOf<TBesediloRecord>() { return ObjBesedilo; }
template<> constexpr int TypeTagOf<TPanelBesediloRecord>() { return ObjPanelBesedilo; }
template<> constexpr int TypeTagOf<TMemoRecord>() { return ObjMemo; }
template<> constexpr int TypeTagOf<TSlikaRecord>() { return ObjSlika; }
template<> constexpr int TypeTagOf<TMediaRecord>() { return ObjMedia; }
template<> constexpr int TypeTagOf<TOleRecord>() { return ObjOle; }
template<> constexpr int TypeTagOf<TGumbRecord>() { return ObjGumb; }

// A converted copy of a record; the input is not changed.
template<typename Record> Record ToScreen(Record record)
{
    static_assert(sizeof(Record) == RecordSize(TypeTagOf<Record>()));
    ConvertRecordBytes(TypeTagOf<Record>(), reinterpret_cast<char *>(&record),
                       TScaleDirection::ToScreen);
    return record;
}

template<typename Record> Record FromScreen(Record record)
{
    static_assert(sizeof(Record) == RecordSize(TypeTagOf<Record>()));
    ConvertRecordBytes(TypeTagOf<Record>(), reinterpret_cast<char *>(&record),
                       TScaleDirection::FromScreen);
    return record;
}
