// The bounded little-endian reader and the bitmap header parser that every
// reader of outside bytes shares: reads past the end, the header versions,
// truncations and sizes no memory could hold.
#include "QZByteReader.h"
#include "QZDib.h"
#include "QZTestMain.h"

#include <QImage>
#include <QTest>

#include <limits>

namespace {

// A bitmap header of `size` bytes (12 the core header), zero where unset.
QByteArray DibHeader(quint32 size, qint32 width, qint32 height, quint16 bits,
                     quint32 compression = DibRgb, quint32 colorsUsed = 0, quint32 imageSize = 0)
{
    QByteArray header;
    AppendLe<quint32>(header, size);
    if (size == 12) {
        AppendLe<quint16>(header, quint16(width));
        AppendLe<quint16>(header, quint16(height));
        AppendLe<quint16>(header, 1);
        AppendLe<quint16>(header, bits);
        return header;
    }
    AppendLe<qint32>(header, width);
    AppendLe<qint32>(header, height);
    AppendLe<quint16>(header, 1);
    AppendLe<quint16>(header, bits);
    AppendLe<quint32>(header, compression);
    AppendLe<quint32>(header, imageSize);
    AppendLe<quint64>(header, 0); // resolution
    AppendLe<quint32>(header, colorsUsed);
    header.resize(qsizetype(size), '\0');
    return header;
}

} // namespace

class Bytes : public QObject
{
    Q_OBJECT

private slots:
    void reader();
    void dibHeader_data();
    void dibHeader();
    void bitmapFile();
};

void Bytes::reader()
{
    const QByteArray data = QByteArray::fromHex("0102030405060708");
    QCOMPARE(LeAt<quint32>(data, 4), 0x08070605u);
    QCOMPARE(LeAt<qint16>(data, 6), qint16(0x0807));
    // Past the end, before the start, and so far out that adding would wrap.
    QCOMPARE(LeAt<quint32>(data, 5), 0u);
    QCOMPARE(LeAt<quint32>(data, 5, 0xFFFFFFFFu), 0xFFFFFFFFu);
    QCOMPARE(LeAt<quint8>(data, -1), quint8(0));
    QCOMPARE(LeAt<quint32>(data, std::numeric_limits<qint64>::max()), 0u);
    QCOMPARE(LeAt<quint16>(QByteArrayView(), 0), quint16(0));

    QByteArray target(2, 'x');
    QVERIFY(!SetLeAt<quint32>(target, 0, 1));
    QCOMPARE(target, QByteArray("xx"));

    // A failed read moves nothing and gives zeros; the reader stays failed.
    TByteReader reader(data);
    QCOMPARE(reader.U16(), quint16(0x0201));
    QCOMPARE(reader.Take(5), QByteArrayView(data).sliced(2, 5));
    QCOMPARE(reader.U16(), quint16(0));
    QVERIFY(reader.Failed());
    QCOMPARE(reader.Position(), 7);
    QCOMPARE(reader.U8(), quint8(0));

    TByteReader negative(data);
    QVERIFY(negative.Take(-1).isEmpty());
    QVERIFY(negative.Failed());

    const QByteArray text("ab\0cd", 5);
    TByteReader strings(text);
    QCOMPARE(strings.ZeroTerminated(), QByteArrayView("ab"));
    QVERIFY(strings.ZeroTerminated().isEmpty());
    QVERIFY(strings.Failed());
}

void Bytes::dibHeader_data()
{
    QTest::addColumn<QByteArray>("dib");
    QTest::addColumn<int>("fault");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<qint64>("paletteBytes");
    QTest::addColumn<qint64>("bitsOffset");
    QTest::addColumn<qint64>("bitsSize");

    const int none = int(TDibFault::None);
    const int damaged = int(TDibFault::Damaged);
    const int impossible = int(TDibFault::ImpossibleSize);
    const qint32 most = std::numeric_limits<qint32>::max();

    // The core header counts colours of three bytes, its bit count at byte 10.
    QTest::newRow("core 1 bit") << DibHeader(12, 3, 2, 1) << none << 2LL << false << 6LL << 18LL
                                << 8LL;
    QTest::newRow("core 8 bits") << DibHeader(12, 5, 1, 8) << none << 1LL << false << 768LL << 780LL
                                 << 8LL;
    QTest::newRow("core 24 bits") << DibHeader(12, 3, 3, 24) << none << 3LL << false << 0LL << 12LL
                                  << 36LL;
    // No colours used means all of them up to 8 bits; above, an optional table.
    QTest::newRow("info 8 bits all colours")
        << DibHeader(40, 4, 4, 8) << none << 4LL << false << 1024LL << 1064LL << 16LL;
    QTest::newRow("info 4 bits 5 colours")
        << DibHeader(40, 9, 2, 4, DibRgb, 5) << none << 2LL << false << 20LL << 60LL << 16LL;
    QTest::newRow("info 24 bits optional table")
        << DibHeader(40, 1, 1, 24, DibRgb, 3) << none << 1LL << false << 12LL << 52LL << 4LL;
    QTest::newRow("top-down") << DibHeader(40, 2, -7, 32) << none << 7LL << true << 0LL << 40LL
                              << 56LL;
    // Masks follow a 40-byte header; the later headers hold them inside.
    QTest::newRow("info bit fields")
        << DibHeader(40, 2, 2, 16, DibBitfields) << none << 2LL << false << 0LL << 52LL << 8LL;
    QTest::newRow("info alpha bit fields")
        << DibHeader(40, 1, 1, 32, DibAlphaBitfields) << none << 1LL << false << 0LL << 56LL << 4LL;
    QTest::newRow("v5 bit fields")
        << DibHeader(124, 1, 1, 32, DibBitfields) << none << 1LL << false << 0LL << 124LL << 4LL;
    QTest::newRow("run-length") << DibHeader(40, 100, 100, 8, DibRle8, 2, 77) << none << 100LL
                                << false << 8LL << 48LL << 77LL;
    QTest::newRow("PNG inside") << DibHeader(40, 10, 10, 0, DibPng, 0, 500) << none << 10LL << false
                                << 0LL << 40LL << 500LL;

    QTest::newRow("empty") << QByteArray() << damaged << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("cut in the size")
        << QByteArray("\x28\x00", 2) << damaged << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("cut in the header")
        << DibHeader(40, 1, 1, 8).left(39) << damaged << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("core cut") << DibHeader(12, 1, 1, 8).left(11) << damaged << 0LL << false << 0LL
                              << 0LL << 0LL;
    QTest::newRow("unknown header size")
        << DibHeader(44, 1, 1, 8) << damaged << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("bit count 3") << DibHeader(40, 1, 1, 3) << damaged << 0LL << false << 0LL << 0LL
                                 << 0LL;
    QTest::newRow("unknown compression")
        << DibHeader(40, 1, 1, 8, 7) << damaged << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("257 colours for 8 bits")
        << DibHeader(40, 1, 1, 8, DibRgb, 257) << damaged << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("no width") << DibHeader(40, 0, 1, 8) << impossible << 0LL << false << 0LL << 0LL
                              << 0LL;
    QTest::newRow("negative width")
        << DibHeader(40, -4, 1, 8) << impossible << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("core no height")
        << DibHeader(12, 1, 0, 8) << impossible << 0LL << false << 0LL << 0LL << 0LL;
    // Sizes no 32-bit field can describe, refused before anything multiplies
    // out of range or allocates.
    QTest::newRow("most negative height") << DibHeader(40, 1, std::numeric_limits<qint32>::min(), 1)
                                          << impossible << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("largest sides")
        << DibHeader(40, most, most, 32) << impossible << 0LL << false << 0LL << 0LL << 0LL;
    QTest::newRow("just over 4 GiB") << DibHeader(40, 1 << 14, (1 << 16) + 1, 32) << impossible
                                     << 0LL << false << 0LL << 0LL << 0LL;
    // A table this long is refused by its users, against what they hold.
    QTest::newRow("absurd optional table")
        << DibHeader(40, 1, 1, 24, DibRgb, 0xFFFFFFFF) << none << 1LL << false << 0x3FFFFFFFCLL
        << 0x3FFFFFFFCLL + 40 << 4LL;
}

void Bytes::dibHeader()
{
    QFETCH(QByteArray, dib);
    QFETCH(int, fault);
    TDibFault why = TDibFault::Damaged;
    const std::optional<TDibHeader> header = ParseDibHeader(dib, &why);
    QCOMPARE(int(why), fault);
    QCOMPARE(header.has_value(), fault == int(TDibFault::None));
    if (!header)
        return;
    QFETCH(qint64, height);
    QFETCH(bool, topDown);
    QFETCH(qint64, paletteBytes);
    QFETCH(qint64, bitsOffset);
    QFETCH(qint64, bitsSize);
    QCOMPARE(header->Height, height);
    QCOMPARE(header->TopDown, topDown);
    QCOMPARE(header->PaletteBytes(), paletteBytes);
    QCOMPARE(header->BitsOffset(), bitsOffset);
    QCOMPARE(header->BitsSize(), bitsSize);
}

void Bytes::bitmapFile()
{
    // A core-header bitmap of two colours: the file header points past the
    // three-byte colours, and the picture reads with them.
    QByteArray dib = DibHeader(12, 2, 2, 1);
    dib += QByteArray::fromHex("64c808"
                               "00ffff"); // blue, green, red
    dib += QByteArray::fromHex("40000000"
                               "80000000"); // bottom row first
    const QByteArray file = DibToBitmapFile(dib);
    QCOMPARE(LeAt<quint32>(file, 2), quint32(14 + dib.size()));
    QCOMPARE(LeAt<quint32>(file, 10), 14u + 12u + 6u);
    const QImage image = QImage::fromData(file, "BMP");
    QCOMPARE(image.size(), QSize(2, 2));
    QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 0));
    QCOMPARE(image.pixel(1, 0), qRgb(8, 200, 100));
    QCOMPARE(image.pixel(0, 1), qRgb(8, 200, 100));

    // Colours or masks running past the end give no file.
    QVERIFY(DibToBitmapFile(dib.left(12 + 5)).isEmpty());
    QVERIFY(DibToBitmapFile(DibHeader(40, 1, 1, 16, DibBitfields)).isEmpty());
    QVERIFY(DibToBitmapFile(DibHeader(40, 1, 1, 24, DibRgb, 0xFFFFFFFF)).isEmpty());
}

CORVELLA_TEST(Bytes);

#include "tst_Bytes.moc"
