// Little-endian reading of bytes that come from outside (test files,
// pictures, metafiles, OLE storages, RTF), never past their end.
//
// A read that would pass the end fails cleanly: LeAt gives its fallback, and
// TByteReader gives zeros or an empty view and stays failed from then on, so
// that a parser reads a whole structure and looks at Failed() once. Callers
// that report failures by exception (the page stream's TQZReader) raise on
// top of this.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>

#include <type_traits>

// The little-endian integer of type T at byte `at` of `bytes`; `fallback`
// when it does not lie wholly inside them.
template<typename T> T LeAt(QByteArrayView bytes, qint64 at, T fallback = T(0))
{
    static_assert(std::is_integral_v<T>);
    if (at < 0 || at > bytes.size() - qint64(sizeof(T)))
        return fallback;
    return qFromLittleEndian<T>(bytes.data() + at);
}

// Stores `value` little-endian at byte `at` of `bytes`; false (and nothing
// written) when it does not fit inside them.
template<typename T> bool SetLeAt(QByteArray &bytes, qint64 at, T value)
{
    static_assert(std::is_integral_v<T>);
    if (at < 0 || at > bytes.size() - qint64(sizeof(T)))
        return false;
    qToLittleEndian<T>(value, bytes.data() + at);
    return true;
}

template<typename T> void AppendLe(QByteArray &bytes, T value)
{
    static_assert(std::is_integral_v<T>);
    char data[sizeof(T)];
    qToLittleEndian<T>(value, data);
    bytes.append(data, qsizetype(sizeof(T)));
}

// Reads forward through bytes it does not own (they must outlive it).
class TByteReader
{
public:
    explicit TByteReader(QByteArrayView data)
        : m_data(data)
    {
    }

    bool Failed() const { return m_failed; }
    qsizetype Position() const { return m_position; }
    qsizetype Size() const { return m_data.size(); }
    qsizetype Remaining() const { return m_data.size() - m_position; }
    QByteArrayView Data() const { return m_data; }

    template<typename T> T Le()
    {
        static_assert(std::is_integral_v<T>);
        const QByteArrayView bytes = Take(qint64(sizeof(T)));
        return m_failed ? T(0) : qFromLittleEndian<T>(bytes.data());
    }
    quint8 U8() { return Le<quint8>(); }
    quint16 U16() { return Le<quint16>(); }
    quint32 U32() { return Le<quint32>(); }
    qint32 I32() { return Le<qint32>(); }

    // The next `size` bytes; a negative size or one past the end fails and
    // moves nothing.
    QByteArrayView Take(qint64 size)
    {
        if (m_failed || size < 0 || size > Remaining()) {
            m_failed = true;
            return {};
        }
        const QByteArrayView bytes = m_data.sliced(m_position, qsizetype(size));
        m_position += qsizetype(size);
        return bytes;
    }
    void Skip(qint64 size) { Take(size); }
    // The bytes up to the next zero byte, which is consumed too; fails when
    // there is none.
    QByteArrayView ZeroTerminated()
    {
        const qsizetype end = m_failed ? -1 : m_data.sliced(m_position).indexOf('\0');
        if (end < 0) {
            m_failed = true;
            return {};
        }
        const QByteArrayView bytes = m_data.sliced(m_position, end);
        m_position += end + 1;
        return bytes;
    }
    // Moves to `position` (0 to Size()); anywhere else fails.
    void Seek(qint64 position)
    {
        if (m_failed || position < 0 || position > m_data.size()) {
            m_failed = true;
            return;
        }
        m_position = qsizetype(position);
    }

private:
    QByteArrayView m_data;
    qsizetype m_position = 0;
    bool m_failed = false;
};
