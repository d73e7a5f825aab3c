// Writes the example test's pictures into a folder: a bitmap, an icon and a
// placeable Windows metafile, all drawn here so that the example carries no
// picture made by another program.
//
// Usage: corvpicturesamples FOLDER
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {

// A landscape: sky, sun, hills and a house, 200 x 120 pixels.
QImage Landscape()
{
    QImage image(200, 120, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 80);
    sky.setColorAt(0, QColor(40, 110, 200));
    sky.setColorAt(1, QColor(190, 225, 250));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 210, 40));
    painter.drawEllipse(QPointF(160, 28), 16, 16);
    painter.setBrush(QColor(60, 150, 60));
    painter.drawEllipse(QPointF(50, 130), 110, 50);
    painter.setBrush(QColor(90, 175, 70));
    painter.drawEllipse(QPointF(170, 135), 90, 45);
    painter.setBrush(QColor(200, 80, 60));
    painter.drawRect(70, 62, 40, 30);
    painter.setBrush(QColor(120, 50, 40));
    painter.drawPolygon(QPolygonF({QPointF(64, 64), QPointF(90, 44), QPointF(116, 64)}));
    painter.setBrush(QColor(250, 240, 200));
    painter.drawRect(84, 72, 12, 20);
    return image;
}

// A 32 x 32 icon: a yellow star on a transparent background.
QImage Star()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double radius = i % 2 ? 6.5 : 15.0;
        star << QPointF(16 + radius * std::cos(angle), 16.5 + radius * std::sin(angle));
    }
    painter.setPen(QPen(QColor(150, 90, 0), 1.2));
    painter.setBrush(QColor(255, 200, 0));
    painter.drawPolygon(star);
    return image;
}

// Builds a placeable Windows metafile from records of 16-bit words; colours
// are 0x00BBGGRR in two words, low word first.
class TWmfWriter
{
public:
    void Record(quint16 function, std::initializer_list<qint32> words)
    {
        QList<quint16> record{0, 0, function};
        for (qint32 word : words)
            record << quint16(word);
        record[0] = quint16(record.size());
        record[1] = 0;
        if (record.size() > m_maxRecord)
            m_maxRecord = record.size();
        m_records << record;
    }

    QByteArray Bytes(qint16 width, qint16 height, quint16 unitsPerInch, quint16 objects) const
    {
        QList<quint16> words;
        // Placeable header: key, handle, bounding box, units, reserved, checksum.
        words << 0xCDD7 << 0x9AC6 << 0 << 0 << 0 << quint16(width) << quint16(height)
              << unitsPerInch << 0 << 0;
        quint16 checksum = 0;
        for (quint16 word : words)
            checksum ^= word;
        words << checksum;
        qint32 size = 9 + 3; // header and the end record
        for (const auto &record : m_records)
            size += record.size();
        words << 1 << 9 << 0x0300 << quint16(size & 0xFFFF) << quint16(size >> 16) << objects
              << quint16(m_maxRecord & 0xFFFF) << quint16(m_maxRecord >> 16) << 0;
        for (const auto &record : m_records)
            words << record;
        words << 3 << 0 << 0; // META_EOF
        QByteArray bytes(words.size() * 2, '\0');
        for (qsizetype i = 0; i < words.size(); ++i)
            qToLittleEndian<quint16>(words[i], bytes.data() + 2 * i);
        return bytes;
    }

private:
    QList<QList<quint16>> m_records;
    qint32 m_maxRecord = 3;
};

constexpr quint16 MetaSetWindowOrg = 0x020B;
constexpr quint16 MetaSetWindowExt = 0x020C;
constexpr quint16 MetaCreateBrushIndirect = 0x02FC;
constexpr quint16 MetaCreatePenIndirect = 0x02FA;
constexpr quint16 MetaSelectObject = 0x012D;
constexpr quint16 MetaRectangle = 0x041B;
constexpr quint16 MetaEllipse = 0x0418;
constexpr quint16 MetaPolygon = 0x0324;

// A chart as a metafile: a frame, three bars, a pie and a triangle, on a
// window of 2000 x 1500 units at 1000 units an inch.
QByteArray Chart()
{
    TWmfWriter wmf;
    wmf.Record(MetaSetWindowOrg, {0, 0});
    wmf.Record(MetaSetWindowExt, {1500, 2000});
    const auto brush = [&wmf](quint32 colour) {
        wmf.Record(MetaCreateBrushIndirect, {0, qint32(colour & 0xFFFF), qint32(colour >> 16), 0});
    };
    wmf.Record(MetaCreatePenIndirect, {0, 20, 0, 0x2010, 0x0060}); // dark blue, 20 wide
    brush(0x00F0F8FF);
    wmf.Record(MetaSelectObject, {0});
    wmf.Record(MetaSelectObject, {1});
    wmf.Record(MetaRectangle, {1480, 1980, 20, 20});
    const quint32 colours[] = {0x003030E0, 0x0030B030, 0x00E08030};
    for (int i = 0; i < 3; ++i) {
        brush(colours[i]);
        wmf.Record(MetaSelectObject, {2 + i});
        const int left = 150 + i * 260;
        wmf.Record(MetaRectangle, {1350, left + 200, 1250 - i * 300, left});
    }
    brush(0x0000C0F0);
    wmf.Record(MetaSelectObject, {5});
    wmf.Record(MetaEllipse, {700, 1850, 150, 1300});
    brush(0x00A040A0);
    wmf.Record(MetaSelectObject, {6});
    wmf.Record(MetaPolygon, {3, 1300, 1350, 1850, 1350, 1575, 850});
    return wmf.Bytes(2000, 1500, 1000, 7);
}

bool Write(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    // Offscreen: the samples are drawn on a build machine without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("Usage: corvpicturesamples FOLDER\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path()) ||
        !Landscape().save(folder.filePath(QStringLiteral("landscape.bmp")), "BMP") ||
        !Star().save(folder.filePath(QStringLiteral("star.ico")), "ICO") ||
        !Write(folder.filePath(QStringLiteral("chart.wmf")), Chart())) {
        std::fputs("corvpicturesamples: cannot write the pictures\n", stderr);
        return 1;
    }
    return 0;
}
