// Windows and enhanced metafiles written record by record, for tests that
// need metafiles no program in the corpus made: hostile texts, bitmaps in
// JPEG and PNG, old pattern brushes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

class TBytes
{
public:
    TBytes &U16(quint16 value)
    {
        char b[2];
        qToLittleEndian(value, b);
        m_bytes.append(b, 2);
        return *this;
    }
    TBytes &I16(qint16 value) { return U16(quint16(value)); }
    TBytes &U32(quint32 value)
    {
        char b[4];
        qToLittleEndian(value, b);
        m_bytes.append(b, 4);
        return *this;
    }
    TBytes &I32(qint32 value) { return U32(quint32(value)); }
    TBytes &F32(float value)
    {
        quint32 bits;
        std::memcpy(&bits, &value, 4);
        return U32(bits);
    }
    TBytes &Raw(const QByteArray &bytes)
    {
        m_bytes += bytes;
        return *this;
    }
    TBytes &PadTo(int multiple)
    {
        while (m_bytes.size() % multiple)
            m_bytes += '\0';
        return *this;
    }
    const QByteArray &Bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// A Windows metafile with a placeable header at 96 units an inch, so that its
// natural size is `width` x `height` pixels and one unit is one pixel.
class TWmfWriter
{
public:
    TWmfWriter(qint16 width, qint16 height)
        : m_width(width)
        , m_height(height)
    {
        Record(0x020B, TBytes().I16(0).I16(0).Bytes());          // SETWINDOWORG y, x
        Record(0x020C, TBytes().I16(height).I16(width).Bytes()); // SETWINDOWEXT y, x
    }

    TWmfWriter &Record(quint16 function, const QByteArray &parameters)
    {
        QByteArray padded = parameters;
        if (padded.size() % 2)
            padded += '\0';
        const quint32 words = quint32(3 + padded.size() / 2);
        m_records += TBytes().U32(words).U16(function).Raw(padded).Bytes();
        m_largest = qMax(m_largest, words);
        if (function == 0x02FC || function == 0x0142 || function == 0x02FA || function == 0x02FB)
            ++m_objects;
        return *this;
    }
    // Objects take the lowest free slot, from 0.
    TWmfWriter &SolidBrush(quint32 colorRef)
    {
        return Record(0x02FC, TBytes().U16(0).U32(colorRef).U16(0).Bytes());
    }
    TWmfWriter &Select(quint16 object) { return Record(0x012D, TBytes().U16(object).Bytes()); }
    TWmfWriter &Rectangle(qint16 left, qint16 top, qint16 right, qint16 bottom)
    {
        return Record(0x041B, TBytes().I16(bottom).I16(right).I16(top).I16(left).Bytes());
    }
    TWmfWriter &Font(const QByteArray &face, qint16 height)
    {
        QByteArray name = face.left(31);
        name.append(QByteArray(32 - name.size(), '\0'));
        return Record(0x02FB, TBytes()
                                  .I16(-height)
                                  .I16(0)
                                  .I16(0)
                                  .I16(0)
                                  .I16(400)
                                  .U16(0)
                                  .U16(0)
                                  .U16(0)
                                  .U16(0)
                                  .Raw(name)
                                  .Bytes());
    }
    TWmfWriter &Text(qint16 x, qint16 y, const QByteArray &text)
    {
        TBytes parameters;
        parameters.U16(quint16(text.size())).Raw(text).PadTo(2).I16(y).I16(x);
        return Record(0x0521, parameters.Bytes());
    }
    // META_STRETCHDIB of a whole device-independent bitmap onto a rectangle.
    TWmfWriter &StretchDib(qint16 x, qint16 y, qint16 width, qint16 height, const QByteArray &dib)
    {
        return Record(0x0F43, TBytes()
                                  .U32(0x00CC0020) // SRCCOPY
                                  .U16(0)
                                  .I16(height)
                                  .I16(width)
                                  .I16(0)
                                  .I16(0)
                                  .I16(height)
                                  .I16(width)
                                  .I16(y)
                                  .I16(x)
                                  .Raw(dib)
                                  .Bytes());
    }

    QByteArray Bytes() const
    {
        const QByteArray end = TBytes().U32(3).U16(0).Bytes();
        const quint32 words = quint32(9 + (m_records.size() + end.size()) / 2);
        TBytes placeable;
        placeable.U32(0x9AC6CDD7).U16(0).I16(0).I16(0).I16(m_width).I16(m_height).U16(96).U32(0);
        quint16 checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= qFromLittleEndian<quint16>(placeable.Bytes().constData() + 2 * i);
        placeable.U16(checksum);
        TBytes header;
        header.U16(1).U16(9).U16(0x0300).U32(words).U16(m_objects).U32(m_largest).U16(0);
        return placeable.Bytes() + header.Bytes() + m_records + end;
    }

private:
    qint16 m_width;
    qint16 m_height;
    QByteArray m_records;
    quint32 m_largest = 3;
    quint16 m_objects = 0;
};

// An enhanced metafile of `width` x `height` device pixels.
class TEmfWriter
{
public:
    TEmfWriter(qint32 width, qint32 height)
        : m_width(width)
        , m_height(height)
    {
    }

    TEmfWriter &Record(quint32 type, const QByteArray &body)
    {
        TBytes padded;
        padded.Raw(body).PadTo(4);
        m_records +=
            TBytes().U32(type).U32(quint32(8 + padded.Bytes().size())).Bytes() + padded.Bytes();
        ++m_count;
        return *this;
    }
    TEmfWriter &Font(quint32 object, const QString &face, qint32 height)
    {
        QByteArray name(reinterpret_cast<const char *>(face.left(31).utf16()),
                        face.left(31).size() * 2);
        name.append(QByteArray(64 - name.size(), '\0'));
        return Record(82, TBytes()
                              .U32(object)
                              .I32(-height)
                              .I32(0)
                              .I32(0)
                              .I32(0)
                              .I32(400)
                              .U32(0)
                              .U32(0)
                              .Raw(name)
                              .Bytes());
    }
    TEmfWriter &Select(quint32 object) { return Record(37, TBytes().U32(object).Bytes()); }
    // EMR_EXTTEXTOUTW with the string right after the fixed part and one
    // advance of 10 units a character.
    TEmfWriter &Text(qint32 x, qint32 y, const QString &text)
    {
        const QByteArray string(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        const quint32 offString = 76;
        const quint32 offDx = offString + quint32((string.size() + 3) / 4 * 4);
        TBytes body;
        body.I32(0).I32(0).I32(m_width).I32(m_height).U32(1).F32(1).F32(1);
        body.I32(x).I32(y).U32(quint32(text.size())).U32(offString).U32(0);
        body.I32(0).I32(0).I32(m_width).I32(m_height).U32(offDx);
        body.Raw(string).PadTo(4);
        for (int i = 0; i < text.size(); ++i)
            body.I32(10);
        return Record(84, body.Bytes());
    }

    QByteArray Bytes() const
    {
        const QByteArray end = TBytes().U32(14).U32(20).U32(0).U32(16).U32(20).Bytes();
        TBytes header;
        header.U32(1).U32(88);
        header.I32(0).I32(0).I32(m_width - 1).I32(m_height - 1); // bounds
        // The frame in hundredths of a millimetre at 96 dots an inch.
        header.I32(0).I32(0).I32(m_width * 2540 / 96).I32(m_height * 2540 / 96);
        const quint32 total = quint32(88 + m_records.size() + end.size());
        header.U32(0x464D4520).U32(0x10000).U32(total).U32(quint32(m_count + 2));
        header.U16(8).U16(0).U32(0).U32(0).U32(0);
        header.I32(1024).I32(768).I32(270).I32(203);
        return header.Bytes() + m_records + end;
    }

private:
    qint32 m_width;
    qint32 m_height;
    QByteArray m_records;
    int m_count = 0;
};
