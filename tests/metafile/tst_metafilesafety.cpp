// Metafiles from a stranger's test: their texts stay text, the drawing the
// converters make cannot reach a file, sound metafiles the converters cannot
// wholly draw are drawn in part, and a helper that crashes, hangs, floods or
// runs out of memory gives an unreadable picture, never a stuck program.
#include "QZControls.h"
#include "QZMetafileSandbox.h"
#include "QZMetafileWriter.h"
#include "QZNaloga.h"
#include "QZPicture.h"
#include "QZRecordFields.h"
#include "QZStran.h"
#include "QZSurface.h"
#include "QZSvgSanitizer.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

const QString Stopped = QStringLiteral("the metafile converter stopped on this metafile (a fault "
                                       "in it, or more time or memory than a picture needs)");

QByteArray Encoded(const QImage &image, const char *format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// A device-independent bitmap header followed by a JPEG or PNG image.
QByteArray CompressedDib(quint32 compression, const char *format)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QByteArray data = Encoded(image, format);
    return TBytes()
               .U32(40)
               .I32(8)
               .I32(8)
               .U16(1)
               .U16(0) // bit count: given by the image
               .U32(compression)
               .U32(quint32(data.size()))
               .I32(0)
               .I32(0)
               .U32(0)
               .U32(0)
               .Bytes() +
           data;
}

// What an SVG document says as text, and the names of its elements.
struct TSvgContent
{
    QString Text;
    QStringList Elements;
};

TSvgContent ContentOf(const QByteArray &svg)
{
    TSvgContent content;
    QXmlStreamReader reader(svg);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement())
            content.Elements << reader.qualifiedName().toString();
        else if (reader.isCharacters())
            content.Text += reader.text();
    }
    return content;
}

bool HasColour(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) && qAlpha(image.pixel(x, y)))
                return true;
    return false;
}

// The metafile helpers this process started.
QList<qint64> HelperProcesses()
{
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == getpid() &&
            line.contains("(corvmetafilehel"))
            found << pid;
    }
    return found;
}

QString ProcLine(qint64 pid, const QString &file, const QString &start)
{
    QFile proc(QStringLiteral("/proc/%1/%2").arg(pid).arg(file));
    if (!proc.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : proc.readAll().split('\n'))
        if (line.startsWith(start.toLatin1()))
            return QString::fromLatin1(line).simplified();
    return {};
}

// A folder holding a red picture and a FIFO, and metafiles whose texts name
// both in markup.
struct THostileFolder
{
    THostileFolder()
    {
        Sentinel = Path(QStringLiteral("sentinel.png"));
        QImage red(200, 100, QImage::Format_RGB32);
        red.fill(Qt::red);
        Fifo = Path(QStringLiteral("fifo"));
        Made = red.save(Sentinel) && mkfifo(QFile::encodeName(Fifo).constData(), 0600) == 0;
        // One text record a line: the Windows metafile converter garbles
        // long lines.
        Lines = QStringList{
            QStringLiteral("]]></text>"),
            QStringLiteral("<image xlink:href=\"%1\" width=\"200\"/>").arg(Sentinel),
            QStringLiteral("<image xlink:href=\"%1\"/>").arg(Fifo),
            QStringLiteral("<a href=\"https://example.org/\">link</a> & \"Q&A\""),
        };
    }

    bool IsValid() const { return Folder.isValid() && Made; }
    QString Path(const QString &name) const { return Folder.filePath(name); }

    QByteArray Metafile(bool enhanced) const
    {
        const QString face = QStringLiteral("Arial\" style=\"fill:url(%1)").arg(Sentinel);
        if (enhanced) {
            TEmfWriter writer(200, 100);
            writer.Font(1, face, 12).Select(1);
            for (qsizetype i = 0; i < Lines.size(); ++i)
                writer.Text(2, 20 + 20 * qint32(i), Lines[i]);
            return writer.Bytes();
        }
        TWmfWriter writer(200, 100);
        writer.Font(face.toLatin1(), 12).Select(0);
        for (qsizetype i = 0; i < Lines.size(); ++i)
            writer.Text(2, qint16(20 + 20 * i), Lines[i].toLatin1());
        return writer.Bytes();
    }

    QTemporaryDir Folder;
    QString Sentinel;
    QString Fifo;
    QStringList Lines;
    bool Made = false;
};

} // namespace

class TestMetafileSafety : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        SetMetafileHelperProgram({});
        SetMetafileSandboxLimits({});
    }

    void hostileTexts_data();
    void hostileTexts();
    void hostileTestFile();
    void sanitizer_data();
    void sanitizer();
    void soundMetafilesDraw();
    void helperFailures_data();
    void helperFailures();
    void helperLimits();
};

void TestMetafileSafety::hostileTexts_data()
{
    QTest::addColumn<bool>("enhanced");
    QTest::newRow("Windows metafile") << false;
    QTest::newRow("enhanced metafile") << true;
}

// A text that closes its element and links a picture file and a FIFO: the
// drawing shows it as text, loads neither and does not block.
void TestMetafileSafety::hostileTexts()
{
    QFETCH(bool, enhanced);
    const THostileFolder folder;
    QVERIFY(folder.IsValid());
    const QByteArray metafile = folder.Metafile(enhanced);

    const TMetafileSvg converted = ConvertMetafile(metafile);
    QVERIFY2(converted.Error.isEmpty(), qPrintable(converted.Error));
    const TSvgContent content = ContentOf(converted.Svg);
    QVERIFY2(!content.Elements.contains(QStringLiteral("image")), converted.Svg.constData());
    QVERIFY(!content.Elements.contains(QStringLiteral("a")));
    // "]]>" cannot stand in the character data the enhanced converter writes.
    QString shown = folder.Lines.join(QString());
    if (enhanced)
        shown.replace(0, 3, QStringLiteral("]]\u203A"));
    QVERIFY2(content.Text.simplified() == shown.simplified(), converted.Svg.constData());
    QVERIFY(!converted.Svg.contains("=\"" + folder.Sentinel.toUtf8()));

    TQZPicture picture;
    QString error;
    QVERIFY2(picture.Load(metafile, TPictureKind::Metafile, &error), qPrintable(error));
    QVERIFY(!HasColour(picture.Rendered(QSize(200, 100)), qRgb(255, 0, 0)));
}

// The same metafiles as pictures of a test beside the sentinel and the FIFO:
// the player shows the page and corvtool checks the file, without a hang and
// without drawing the sentinel.
void TestMetafileSafety::hostileTestFile()
{
    const THostileFolder folder;
    QVERIFY(folder.IsValid());
    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord("Pictures", "(Forward)", "(Forward)"));
    for (const bool enhanced : {false, true}) {
        auto record = RecordFromBytes<TSlikaRecord>(NewObjectRecord(ObjSlika));
        record.PictureKind = quint8(TPictureKind::Metafile);
        record.Stretch = 1;
        record.Left = enhanced ? 1024 : 0;
        record.Width = 1024;
        record.Height = 512;
        auto object = std::make_unique<TQZRecordObject>(ObjSlika, RecordToBytes(record));
        object->SetPayload(folder.Metafile(enhanced));
        page->AddObject(std::move(object));
    }
    test.AddPage(std::move(page));
    const QString file = folder.Path(QStringLiteral("hostile.cvl"));
    test.SaveTestFile(file);

    QProcess check;
    check.start(QStringLiteral(CORVTOOL_PATH), {QStringLiteral("check"), file});
    QVERIFY(check.waitForFinished(60000));
    QCOMPARE(check.exitCode(), 0);

    TQZPageSurface surface;
    surface.resize(1024, 768);
    TQZNaloga shown(&surface, &WidgetObjectFactory());
    shown.LoadTestFile(file);
    shown.GoToPage(0);
    QVERIFY(!HasColour(surface.grab().toImage(), qRgb(255, 0, 0)));
}

void TestMetafileSafety::sanitizer_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<QByteArray>("cleaned"); // empty: refused

    const QByteArray png = "data:image/png;base64,iVBORw0KGgo=";
    QTest::newRow("drawing kept") << QByteArray("<svg width=\"2\" height=\"2\"><g transform=\"x\">"
                                                "<path d=\"M0 0\" style=\"fill:url(#p1)\"/></g>"
                                                "<text x=\"1\">a &lt; b</text></svg>")
                                  << QByteArray("<svg width=\"2\" height=\"2\"><g transform=\"x\">"
                                                "<path d=\"M0 0\" style=\"fill:url(#p1)\"/></g>"
                                                "<text x=\"1\">a &lt; b</text></svg>");
    QTest::newRow("document type and entities")
        << QByteArray("<!DOCTYPE svg [<!ENTITY x SYSTEM \"file:///etc/hostname\">"
                      "<!ENTITY y \"yy\">]><svg><text>&y;&x;</text></svg>")
        << QByteArray("<svg><text>yy</text></svg>");
    QTest::newRow("links to files and pages")
        << QByteArray("<svg><image xlink:href=\"/etc/hostname\" width=\"1\"/>"
                      "<image href=\"http://example.org/a.png\"/><image xlink:href=\"" +
                      png + "\"/></svg>")
        << QByteArray("<svg><image width=\"1\"/><image/><image xlink:href=\"" + png + "\"/></svg>");
    QTest::newRow("an SVG picture inside")
        << QByteArray("<svg><image xlink:href=\"data:image/svg+xml;base64,PHN2Zy8+\"/></svg>")
        << QByteArray("<svg><image/></svg>");
    QTest::newRow("scripts, styles and foreign content")
        << QByteArray("<svg><script>x()</script><style>@import url(/a.css);</style>"
                      "<foreignObject><p>p</p></foreignObject><a href=\"/x\"><text>t</text></a>"
                      "<text onclick=\"x()\" class=\"c\">u</text></svg>")
        << QByteArray("<svg><text>u</text></svg>");
    QTest::newRow("references outside the document")
        << QByteArray("<svg><path d=\"M0 0\" fill=\"url(file:///x#p)\" "
                      "style=\"fill: url( 'http://e/x' )\" clip-path=\"url(#c)\"/></svg>")
        << QByteArray("<svg><path d=\"M0 0\" clip-path=\"url(#c)\"/></svg>");
    QTest::newRow("not a drawing") << QByteArray("<html><svg/></html>") << QByteArray();
    QTest::newRow("not well-formed") << QByteArray("<svg><text>a < b</text></svg>") << QByteArray();
}

void TestMetafileSafety::sanitizer()
{
    QFETCH(QByteArray, svg);
    QFETCH(QByteArray, cleaned);
    QString error;
    const QByteArray result = SanitizedSvg(svg, &error);
    if (cleaned.isEmpty()) {
        QVERIFY(result.isEmpty());
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(result, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + cleaned + "\n");
}

// Bitmaps holding JPEG or PNG images and a pattern brush of the old kind are
// sound; the converter cannot draw them, and draws everything else.
void TestMetafileSafety::soundMetafilesDraw()
{
    const QByteArray pattern = TBytes()
                                   .U16(3) // BS_PATTERN
                                   .U16(0)
                                   .I16(0)
                                   .I16(8)
                                   .I16(8)
                                   .I16(2)
                                   .Raw(QByteArray(1, '\1'))
                                   .Raw(QByteArray(1, '\1'))
                                   .Raw(QByteArray(16, '\x55'))
                                   .Bytes();
    const QByteArray pngBrush = TBytes().U16(5).U16(0).Raw(CompressedDib(5, "PNG")).Bytes();
    const QByteArray metafile = TWmfWriter(100, 50)
                                    .Record(0x0142, pattern) // object 0
                                    .Select(0)
                                    .Rectangle(0, 0, 50, 50)
                                    .Record(0x0142, pngBrush) // object 1
                                    .Select(1)
                                    .Rectangle(0, 0, 50, 50)
                                    .StretchDib(0, 0, 50, 50, CompressedDib(4, "JPEG"))
                                    .StretchDib(0, 0, 50, 50, CompressedDib(5, "PNG"))
                                    .SolidBrush(0x0000FF) // object 2, red
                                    .Select(2)
                                    .Rectangle(50, 0, 100, 50)
                                    .Bytes();
    TQZPicture picture;
    QString error;
    QVERIFY2(picture.Load(metafile, TPictureKind::Metafile, &error), qPrintable(error));
    QCOMPARE(picture.NaturalSize(), QSize(100, 50));
    const QImage drawn = picture.Rendered(QSize(100, 50));
    QCOMPARE(drawn.pixel(75, 25) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);
}

void TestMetafileSafety::helperFailures_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("error");
    QTest::newRow("crashes") << QStringLiteral("kill -SEGV $$") << Stopped;
    QTest::newRow("hangs") << QStringLiteral("exec sleep 60")
                           << QStringLiteral("the metafile converter took too long over this "
                                             "metafile");
    QTest::newRow("floods") << QStringLiteral("exec yes")
                            << QStringLiteral("the metafile converter gave an answer that is "
                                              "not a drawing");
    QTest::newRow("answers twice")
        << QStringLiteral("head -c 4 >/dev/null; printf '\\001\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0"
                          "\\0\\0\\0\\0\\001\\0\\0\\0\\0\\0\\0\\0'; exec sleep 60")
        << QStringLiteral("the metafile converter gave an answer that is not a drawing");
}

// A helper that fails in any way gives an unreadable picture in bounded
// time, and the next metafile gets a new helper.
void TestMetafileSafety::helperFailures()
{
    QFETCH(QString, script);
    QFETCH(QString, error);
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("helper"));
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + script.toUtf8() + "\n");
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    SetMetafileHelperProgram(program);
    TMetafileSandboxLimits limits;
    limits.WaitMs = 1500;
    SetMetafileSandboxLimits(limits);

    const QByteArray metafile = TWmfWriter(10, 10).SolidBrush(0xFF).Rectangle(0, 0, 5, 5).Bytes();
    QElapsedTimer timer;
    timer.start();
    TQZPicture picture;
    QString reason;
    QVERIFY(!picture.Load(metafile, TPictureKind::Metafile, &reason));
    QCOMPARE(reason, error);
    QVERIFY(timer.elapsed() < 10000);

    SetMetafileHelperProgram(folder.filePath(QStringLiteral("missing")));
    QVERIFY(!picture.Load(metafile, TPictureKind::Metafile, &reason));
    QVERIFY2(reason.startsWith(QStringLiteral("the metafile converter ")) &&
                 reason.contains(QStringLiteral("could not be started")),
             qPrintable(reason));

    SetMetafileHelperProgram({});
    QVERIFY2(picture.Load(metafile, TPictureKind::Metafile, &reason), qPrintable(reason));
}

// The real helper runs with its limits, and one that runs out of memory is
// an unreadable picture.
void TestMetafileSafety::helperLimits()
{
    const QByteArray small = TWmfWriter(10, 10).SolidBrush(0xFF).Rectangle(0, 0, 5, 5).Bytes();
    TQZPicture picture;
    QVERIFY(picture.Load(small, TPictureKind::Metafile));
    const QList<qint64> helpers = HelperProcesses();
    QCOMPARE(helpers.size(), 1);
    const qint64 helper = helpers.constFirst();
    QCOMPARE(ProcLine(helper, QStringLiteral("limits"), QStringLiteral("Max file size")),
             QStringLiteral("Max file size 0 0 bytes"));
    QCOMPARE(ProcLine(helper, QStringLiteral("limits"), QStringLiteral("Max core file size")),
             QStringLiteral("Max core file size 0 0 bytes"));
    if (Sanitized)
        QSKIP("the sanitizers need the address space open");
    QCOMPARE(ProcLine(helper, QStringLiteral("limits"), QStringLiteral("Max address space")),
             QStringLiteral("Max address space 1073741824 1073741824 bytes"));

    // A limit just above what the helper uses, and a metafile larger than
    // what is left.
    const QString size = ProcLine(helper, QStringLiteral("status"), QStringLiteral("VmSize:"));
    const long usedMb = size.section(QLatin1Char(' '), 1, 1).toLong() / 1024;
    QVERIFY(usedMb > 0);
    TMetafileSandboxLimits limits;
    limits.MemoryMb = usedMb + 16;
    SetMetafileSandboxLimits(limits);
    const QByteArray large =
        TWmfWriter(10, 10).Record(0x0626, QByteArray(30 * 1024 * 1024, '\0')).Bytes();
    QString reason;
    QVERIFY(!picture.Load(large, TPictureKind::Metafile, &reason));
    QCOMPARE(reason, Stopped);
}

QTEST_MAIN(TestMetafileSafety)
#include "tst_metafilesafety.moc"
