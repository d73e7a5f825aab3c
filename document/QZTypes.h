// Byte-exact building blocks of the persistent records: little-endian integers,
// length-prefixed short strings of fixed capacity and 256-element bit sets.
//
// Every type here has alignment 1 and no padding, so a record built from them
// has exactly the layout of the file and is read and written with one memcpy.
#pragma once

#include <QByteArray>
#include <QtEndian>
#include <QtGlobal>

#include <cstring>
#include <type_traits>

// A 32-bit little-endian integer as it stands in a file.
template<typename T> struct TLittleEndian32
{
    static_assert(sizeof(T) == 4);
    unsigned char Bytes[4];

    T Get() const { return qFromLittleEndian<T>(Bytes); }
    void Set(T value) { qToLittleEndian<T>(value, Bytes); }
    operator T() const { return Get(); }
    TLittleEndian32 &operator=(T value)
    {
        Set(value);
        return *this;
    }
};

using TInt32 = TLittleEndian32<qint32>;
// A colour value: 0x00BBGGRR, or 0x80000000 + n for system colour n.
using TColor = TLittleEndian32<quint32>;

// string[N]: a length byte and exactly N character bytes. Only the first
// Length bytes count; the rest is carried unchanged through a read and a write.
template<int N> struct TShortString
{
    static constexpr int Capacity = N;
    quint8 Length;
    char Chars[N];

    // The meaningful bytes. A length byte past the capacity (a damaged record)
    // is read as the capacity.
    QByteArray Bytes() const { return QByteArray(Chars, Length < N ? Length : N); }

    // Stores the first N bytes of value; bytes past them keep what they held.
    void SetBytes(const QByteArray &value)
    {
        const int n = value.size() < N ? int(value.size()) : N;
        std::memcpy(Chars, value.constData(), size_t(n));
        Length = quint8(n);
    }

    bool operator==(const QByteArray &value) const { return Bytes() == value; }
};

// A Pascal "set of Byte": element i is present when bit (i mod 8) of byte
// (i div 8) is set.
struct TByteSet
{
    quint8 Bits[32];

    bool Contains(int element) const
    {
        return element >= 0 && element < 256 && (Bits[element / 8] >> (element % 8)) & 1;
    }
    void Include(int element, bool present = true)
    {
        if (element < 0 || element >= 256)
            return;
        if (present)
            Bits[element / 8] |= quint8(1u << (element % 8));
        else
            Bits[element / 8] &= quint8(~(1u << (element % 8)));
    }
};

static_assert(sizeof(TInt32) == 4 && alignof(TInt32) == 1);
static_assert(sizeof(TShortString<255>) == 256 && alignof(TShortString<255>) == 1);
static_assert(sizeof(TShortString<100>) == 101);
static_assert(sizeof(TByteSet) == 32);
static_assert(std::is_trivially_copyable_v<TInt32> && std::is_standard_layout_v<TInt32>);
static_assert(std::is_trivially_copyable_v<TShortString<255>>);

// Reads a whole record from raw bytes and back; records are never validated.
template<typename Record> Record RecordFromBytes(const char *data)
{
    static_assert(std::is_trivially_copyable_v<Record>);
    Record record;
    std::memcpy(&record, data, sizeof(Record));
    return record;
}

template<typename Record> Record RecordFromBytes(const QByteArray &data)
{
    Q_ASSERT(data.size() >= qsizetype(sizeof(Record)));
    return RecordFromBytes<Record>(data.constData());
}

template<typename Record> QByteArray RecordToBytes(const Record &record)
{
    static_assert(std::is_trivially_copyable_v<Record>);
    return QByteArray(reinterpret_cast<const char *>(&record), sizeof(Record));
}

// A record with every byte zero, the state of a record made in memory.
template<typename Record> Record ZeroRecord()
{
    static_assert(std::is_trivially_copyable_v<Record>);
    Record record;
    std::memset(&record, 0, sizeof(Record));
    return record;
}
