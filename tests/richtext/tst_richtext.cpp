// Tests of the RTF reader and writer: real documents of other programs, the
// code pages, lists, pictures, the written dialect and its round trip,
// hostile input, and the rescaling of font sizes.
#include "QZMarkupTest.h"
#include "QZRtf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace {

const QString CorpusDir = QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus");

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// The corpus's RTF files with their validity, from its manifest.
QList<std::pair<QString, QString>> CorpusRtf()
{
    QList<std::pair<QString, QString>> files;
    const QList<QByteArray> lines =
        ReadFile(CorpusDir + QStringLiteral("/MANIFEST.tsv")).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> columns = line.split('\t');
        if (columns.size() > 2 && columns.at(1) == "rtf")
            files.append({QString::fromUtf8(columns.at(0)), QString::fromUtf8(columns.at(2))});
    }
    return files;
}

// Whitespace, list markers and direction marks are where extractors differ;
// the letters and their order must agree.
QString Normalised(const QString &text)
{
    static const QRegularExpression marker(
        QStringLiteral("^(?:[•·▪○◦\\-*–]|\\d+[.)]|[a-zA-Z][.)]|[ivxIVX]+[.)])\\s+"));
    static const QRegularExpression directionMarks(QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-"
                                                                  "\\x{202E}\\x{FEFF}\\x{00AD}]"));
    QString cleaned = text;
    cleaned.remove(directionMarks);
    cleaned.replace(QChar::Nbsp, QLatin1Char(' '));
    QStringList lines = cleaned.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        line = line.trimmed();
        line.remove(marker);
    }
    return lines.join(QLatin1Char(' ')).simplified();
}

std::unique_ptr<QTextDocument> Read(const QByteArray &rtf)
{
    auto document = std::make_unique<QTextDocument>();
    QString error;
    if (!ReadRtf(rtf, *document, &error))
        qWarning("ReadRtf: %s", qPrintable(error));
    return document;
}

// Everything the writer must keep, one line per block and run.
QStringList Describe(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        QString list;
        if (const QTextList *textList = block.textList())
            list = QStringLiteral(" list %1 item %2")
                       .arg(int(textList->format().style()))
                       .arg(textList->itemNumber(block));
        lines << QStringLiteral("block align %1 left %2 right %3 first %4%5")
                     .arg(int(format.alignment() & Qt::AlignHorizontal_Mask))
                     .arg(format.leftMargin())
                     .arg(format.rightMargin())
                     .arg(format.textIndent())
                     .arg(list);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            lines << QStringLiteral("  \"%1\" %2 %3pt b%4 i%5 u%6 s%7 fg %8 bg %9 v%10")
                         .arg(it.fragment().text(), f.fontFamilies().toStringList().join(u','))
                         .arg(f.fontPointSize())
                         .arg(f.fontWeight() >= QFont::DemiBold)
                         .arg(f.fontItalic())
                         .arg(f.fontUnderline())
                         .arg(f.fontStrikeOut())
                         .arg(f.hasProperty(QTextFormat::ForegroundBrush)
                                  ? f.foreground().color().name()
                                  : QStringLiteral("-"),
                              f.hasProperty(QTextFormat::BackgroundBrush)
                                  ? f.background().color().name()
                                  : QStringLiteral("-"))
                         .arg(int(f.verticalAlignment()));
        }
    }
    return lines;
}

QList<double> PointSizes(const QTextDocument &document)
{
    QList<double> sizes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            sizes << it.fragment().charFormat().fontPointSize();
    return sizes;
}

const QByteArray Formatted =
    "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}"
    "{\\f1\\froman\\fcharset238 Times New Roman;}{\\f2\\fmodern\\fcharset204 Courier New;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;\\red255\\green255\\blue0;}\n"
    "\\pard\\qc\\f0\\fs32\\b Naslov\\b0\\par\n"
    "\\pard\\qj\\li720\\ri360\\fi-240\\f1\\fs24 Navadno \\i le\\'9ee\\'e8e\\i0 , \\ul pod\\'e8rtano"
    "\\ulnone , \\strike pre\\'e8rtano\\strike0 , \\cf1 rde\\'e8e\\cf0  in \\highlight3 ozadje"
    "\\highlight0 , H\\sub 2\\nosupersub O.\\par\n"
    "\\pard{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 \\f0\\cf2 Prva "
    "to\\'e8ka\\par Druga to\\'e8ka\\par\n"
    "\\pard\\f2\\fs20 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\line second line\\tab end\\par\n}";

} // namespace

class TestRichText : public QObject
{
    Q_OBJECT

private slots:
    void corpusPlainText_data();
    void corpusPlainText();
    void corpusBroken();
    void codePages_data();
    void codePages();
    void structure();
    void listTable();
    void pictures();
    void writtenDialect();
    void roundTrip_data();
    void roundTrip();
    void hostileInput_data();
    void hostileInput();
    void namesNothingOutside();
    void rescale();
};

void TestRichText::corpusPlainText_data()
{
    QTest::addColumn<QString>("name");
    for (const auto &[path, validity] : CorpusRtf())
        if (validity == QLatin1String("valid"))
            QTest::newRow(qPrintable(path)) << path;
}

void TestRichText::corpusPlainText()
{
    QFETCH(QString, name);
    const QByteArray rtf = ReadFile(CorpusDir + u'/' + name);
    QString expectedPath = CorpusDir + u'/' + name;
    expectedPath.replace(QStringLiteral(".rtf"), QStringLiteral(".txt"));
    const QString expected = QString::fromUtf8(ReadFile(expectedPath));

    QString error;
    const std::optional<QString> text = RtfToPlainText(rtf, &error);
    QVERIFY2(text, qPrintable(error));
    QCOMPARE(Normalised(*text), Normalised(expected));

    // The document holds the same text as the plain reading.
    const auto document = Read(rtf);
    QCOMPARE(Normalised(document->toPlainText().remove(QChar::ObjectReplacementCharacter)),
             Normalised(*text));
}

void TestRichText::corpusBroken()
{
    int broken = 0;
    for (const auto &[path, validity] : CorpusRtf()) {
        if (validity == QLatin1String("valid"))
            continue;
        const QByteArray rtf = ReadFile(CorpusDir + u'/' + path);
        QTextDocument document;
        QString error;
        const bool read = ReadRtf(rtf, document, &error);
        if (validity == QLatin1String("malformed")) {
            ++broken;
            QVERIFY2(!read, qPrintable(path));
            QVERIFY(!error.isEmpty());
            QVERIFY(!RtfToPlainText(rtf));
        }
        // Questionable files either read or are refused with a reason.
        QVERIFY(read || !error.isEmpty());
    }
    QVERIFY(broken > 0);
}

void TestRichText::codePages_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("ansicpg1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}")
                                 << QStringLiteral("При");
    QTest::newRow("font charset over ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset238 Arial;}"
                      "{\\f1\\fcharset0 Arial;}}\\f0 \\'e8\\'9a\\f1 \\'e8\\'9a}")
        << QStringLiteral("čšè\u0161");
    QTest::newRow("cpg of a font")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg1253 X;}}\\f0\\'e1}") << QStringLiteral("α");
    QTest::newRow("unicode with fallback")
        << QByteArray("{\\rtf1\\ansi\\uc1 a\\u269?b\\uc2\\u-3856\\'3f\\'3fc}")
        << QStringLiteral("ačb\uF0F0c");
    QTest::newRow("fallback ends at group")
        << QByteArray("{\\rtf1\\uc3{\\u353 x}yz}") << QStringLiteral("šyz");
    QTest::newRow("surrogate pair")
        << QByteArray("{\\rtf1\\u-10179?\\u-8694?}") << QStringLiteral("\U0001F60A");
    QTest::newRow("symbols") << QByteArray("{\\rtf1 \\{a\\}\\\\\\emdash\\endash\\~\\bullet"
                                           "\\lquote\\rquote\\ldblquote\\rdblquote}")
                             << QStringLiteral("{a}\\—–\u00A0•‘’“”");
    QTest::newRow("mac") << QByteArray("{\\rtf1\\mac \\'8a}") << QStringLiteral("ä");
    // Double-byte code pages: a lead byte and its trail byte are one
    // character, escaped or raw, also where the trail looks like syntax and
    // where a \uN fallback is skipped (\uc1 counting characters, \uc2
    // bytes).
    const QByteArray japanese =
        "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\fnil\\fcharset128 MS Gothic;}}";
    QTest::newRow("932 escaped pairs")
        << japanese + "\\f1 \\'81\\'67Hello\\'81\\'68 \\'93\\'fa\\'96\\'7b}"
        << QStringLiteral("“Hello” 日本");
    QTest::newRow("932 raw pairs, trail bytes \\ { }") << japanese + "\\f1 \x83\x5c\x81\x7b\x81\x7d"
                                                                     "A}"
                                                       << QStringLiteral("ソ＋±A");
    QTest::newRow("932 fallbacks of one character")
        << japanese + "\\f1\\uc1 \\u8220\\'81\\'67Hello\\u8221\x81\x68!}"
        << QStringLiteral("“Hello”!");
    QTest::newRow("932 fallbacks of two bytes")
        << japanese + "\\f1\\uc2 \\u8220\\'81\\'67Hello\\u8221\\'81\\'68!}"
        << QStringLiteral("“Hello”!");
    QTest::newRow("932 Western font: a lone byte is a Western character")
        << japanese + "\\f0 \\'93Hello\\'94 \\'81\\'67}" << QStringLiteral("“Hello” “");
    QTest::newRow("932 pair across a line end")
        << japanese + "\\f1 \\'81\r\n\\'67}" << QStringLiteral("“");
    QTest::newRow("936 fallback")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0\\uc1 "
                      "\\u8220\\'a1\\'b0Hello\\'d6\\'d0}")
        << QStringLiteral("“Hello中");
    QTest::newRow("949") << QByteArray("{\\rtf1\\ansi\\ansicpg949{\\fonttbl{\\f0\\fcharset129 "
                                       "Gulim;}}\\f0 \\'c7\\'d1\\'b1\\'db \\uc1\\u8220\\'a1\\'b0A}")
                         << QStringLiteral("한글 “A");
    QTest::newRow("950 raw") << QByteArray("{\\rtf1\\ansicpg950{\\fonttbl{\\f0\\fcharset136 "
                                           "MingLiU;}}\\f0 \xa4\xa4\xa4\xe5\xa5\x5c!}")
                             << QStringLiteral("中文功!");
    QTest::newRow("upr takes the unicode side")
        << QByteArray("{\\rtf1{\\upr{ansi}{\\*\\ud{uni\\u269?}}}}") << QStringLiteral("unič");
}

void TestRichText::codePages()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(RtfToPlainText(rtf).value_or(QStringLiteral("<refused>")), text);
}

void TestRichText::structure()
{
    const QByteArray rtf =
        "{\\rtf1{\\*\\generator Gen;}{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}"
        "{\\field{\\*\\fldinst HYPERLINK \"http://example.com\"}{\\fldrslt link}} "
        "{\\field{\\fldinst INCLUDEPICTURE \"/etc/passwd\"}{\\fldrslt x}}\\par"
        "\\trowd\\cellx100\\cellx200\\intbl A\\cell B\\cell\\row"
        "\\pard {\\*\\unknowndest hidden}{\\unknownword shown}\\v invisible\\v0  end"
        "{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict\\wmetafile8 00}}"
        "\\par\\page after\\par}";
    QCOMPARE(*RtfToPlainText(rtf), QStringLiteral("link x\nA\tB\nshown end\n\nafter"));

    // A trailing \par closes the last paragraph without opening another; text
    // after it is a paragraph of its own.
    QCOMPARE(Read("{\\rtf1 a\\par}")->blockCount(), 1);
    QCOMPARE(Read("{\\rtf1 a\\par b}")->blockCount(), 2);
    QCOMPARE(Read("{\\rtf1 a\\par\\par}")->blockCount(), 2);

    const auto document = Read(Formatted);
    const QStringList lines = Describe(*document);
    QCOMPARE(lines.value(0), QStringLiteral("block align 4 left 0 right 0 first 0"));
    QCOMPARE(lines.value(1), QStringLiteral("  \"Naslov\" Arial 16pt b1 i0 u0 s0 fg - bg - v0"));
    QCOMPARE(lines.value(2), QStringLiteral("block align 8 left 48 right 24 first -16"));
    QVERIFY(lines.contains(QStringLiteral("  \"ležeče\" Times New Roman 12pt b0 i1 u0 s0 fg - "
                                          "bg - v0")));
    QVERIFY(lines.contains(QStringLiteral("  \"rdeče\" Times New Roman 12pt b0 i0 u0 s0 fg "
                                          "#ff0000 bg - v0")));
    QVERIFY(lines.contains(QStringLiteral("  \"ozadje\" Times New Roman 12pt b0 i0 u0 s0 fg - "
                                          "bg #ffff00 v0")));
    QVERIFY(lines.contains(QStringLiteral("  \"2\" Times New Roman 12pt b0 i0 u0 s0 fg - bg - "
                                          "v2")));
    QVERIFY(lines.contains(QStringLiteral("  \"podčrtano\" Times New Roman 12pt b0 i0 u1 s0 fg - "
                                          "bg - v0")));
    QVERIFY(lines.contains(QStringLiteral("  \"prečrtano\" Times New Roman 12pt b0 i0 u0 s1 fg - "
                                          "bg - v0")));
    const QTextBlock bullet = document->findBlockByNumber(2);
    QVERIFY(bullet.textList());
    QCOMPARE(bullet.textList()->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(bullet.textList(), document->findBlockByNumber(3).textList());
    QCOMPARE(document->findBlockByNumber(4).textList(), nullptr);
    QCOMPARE(document->findBlockByNumber(4).text(), QStringLiteral("Привет\u2028second line\tend"));
}

void TestRichText::listTable()
{
    const QByteArray rtf =
        "{\\rtf1{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0{\\leveltext "
        "\\'02\\'00.;}}{\\listlevel\\levelnfc4}\\listid7}{\\list{\\listlevel\\levelnfc23}"
        "\\listid8}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride"
        "\\listid8\\ls2}}\\pard\\ls1 one\\par two\\par\\ilvl1 sub\\par\\pard\\ls2 dot\\par"
        "\\pard plain\\par}";
    const auto document = Read(rtf);
    QCOMPARE(document->toPlainText(), QStringLiteral("one\ntwo\nsub\ndot\nplain"));
    const auto styleOf = [&](int block) {
        const QTextList *list = document->findBlockByNumber(block).textList();
        return list ? list->format().style() : QTextListFormat::ListStyleUndefined;
    };
    QCOMPARE(styleOf(0), QTextListFormat::ListDecimal);
    QCOMPARE(document->findBlockByNumber(1).textList()->itemNumber(document->findBlockByNumber(1)),
             1);
    QCOMPARE(styleOf(2), QTextListFormat::ListLowerAlpha);
    QCOMPARE(styleOf(3), QTextListFormat::ListDisc);
    QCOMPARE(styleOf(4), QTextListFormat::ListStyleUndefined);

    // Numbers and bullets are drawn left of the first line: list paragraphs
    // written at the margin move in to make room for them, others stay put.
    const auto leftOf = [](const QTextDocument &in, int block) {
        return in.findBlockByNumber(block).blockFormat().leftMargin();
    };
    QCOMPARE(leftOf(*document, 0), document->indentWidth());
    QCOMPARE(leftOf(*document, 3), document->indentWidth());
    QCOMPARE(leftOf(*document, 4), 0.0);
    const auto formatted = Read(Formatted);
    QCOMPARE(leftOf(*formatted, 2), 48.0);

    // The marker takes its font from its own paragraph's first run, not from
    // a heading before it.
    const auto marked = Read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\f1\\fs40 Big"
                             "\\par\\pard{\\*\\pn\\pnlvlbody\\pndec}\\f0\\fs20 small\\par}");
    const QTextCharFormat marker = marked->findBlockByNumber(1).charFormat();
    QCOMPARE(marker.fontPointSize(), 10.0);
    QCOMPARE(marker.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    QVERIFY(marked->findBlockByNumber(1).textList());
}

void TestRichText::pictures()
{
    // A PNG picture of the corpus shows inline at its goal size.
    const auto png = Read(ReadFile(CorpusDir + QStringLiteral("/rtf/rtfjs_png_pict.rtf")));
    int images = 0;
    for (QTextBlock block = png->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
                const QImage image =
                    png->resource(QTextDocument::ImageResource, QUrl(format.name()))
                        .value<QImage>();
                QVERIFY(!image.isNull());
                QVERIFY(format.width() > 0);
                ++images;
            }
    QCOMPARE(images, 1);

    // A device-independent bitmap: a BMP file without its 14-byte header.
    QImage source(3, 2, QImage::Format_RGB32);
    source.fill(Qt::red);
    source.setPixel(1, 1, qRgb(0, 0, 255));
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(source.save(&buffer, "BMP"));
    const QByteArray rtf = "{\\rtf1 a{\\pict\\dibitmap0\\picwgoal1500\\pichgoal1000 " +
                           bmp.mid(14).toHex() + "}b{\\pict\\jpegblip\\bin3 {}}}c}";
    const auto dib = Read(rtf);
    QCOMPARE(dib->toPlainText(), QStringLiteral("a\uFFFCbc"));
    const QTextImageFormat format =
        dib->begin().begin().fragment().charFormat().isImageFormat() ? QTextImageFormat() : [&] {
            auto it = dib->begin().begin();
            ++it;
            return it.fragment().charFormat().toImageFormat();
        }();
    QCOMPARE(format.width(), 100.0);
    QCOMPARE(format.height(), 66.0 + 2.0 / 3.0);
    const QImage image =
        dib->resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.pixel(1, 1), qRgb(0, 0, 255));

    // The old 12-byte core header: 16-bit sizes, the bit count at byte 10 and
    // colours of three bytes (here dark green and yellow) before the rows,
    // which alternate from the bottom up.
    QByteArray core = QByteArray::fromHex("0c000000"
                                          "0200"
                                          "1000"
                                          "0100"
                                          "0100"
                                          "64c804"
                                          "00ffff");
    for (int row = 0; row < 16; ++row)
        core += QByteArray::fromHex(row % 2 ? "80000000" : "40000000");
    const auto coreDib = Read("{\\rtf1{\\pict\\dibitmap0 " + core.toHex() + "}}");
    const auto coreImage = [&coreDib] {
        for (auto it = coreDib->begin().begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return coreDib
                    ->resource(QTextDocument::ImageResource,
                               QUrl(it.fragment().charFormat().toImageFormat().name()))
                    .value<QImage>();
        return QImage();
    }();
    QCOMPARE(coreImage.size(), QSize(2, 16));
    const QRgb green = qRgb(4, 200, 100);
    const QRgb yellow = qRgb(255, 255, 0);
    for (int y = 0; y < 16; ++y) {
        const bool odd = (15 - y) % 2;
        QCOMPARE(coreImage.pixel(0, y), odd ? yellow : green);
        QCOMPARE(coreImage.pixel(1, y), odd ? green : yellow);
    }

    // Written as PNG, it reads back as the same picture.
    const auto again = Read(WriteRtf(*dib));
    QCOMPARE(again->toPlainText(), dib->toPlainText());
    auto it = again->begin().begin();
    ++it;
    const QTextImageFormat written = it.fragment().charFormat().toImageFormat();
    QCOMPARE(written.width(), 100.0);
    QCOMPARE(again->resource(QTextDocument::ImageResource, QUrl(written.name()))
                 .value<QImage>()
                 .pixel(1, 1),
             qRgb(0, 0, 255));
}

void TestRichText::writtenDialect()
{
    const auto document = Read(Formatted);
    const QByteArray rtf = WriteRtf(*document);
    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 "
                            "Arial;}"),
             rtf.constData());
    QVERIFY(rtf.contains("{\\colortbl ;"));
    // Letters of the font's code page as bytes, others as \uN with a fallback.
    QVERIFY(rtf.contains("le\\'9ee\\'e8e"));
    QVERIFY(rtf.contains("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2"));
    QVERIFY(!QString::fromLatin1(rtf).contains(QRegularExpression(QStringLiteral("\\\\u-?\\d"))));
    QTextDocument mixed;
    mixed.setPlainText(QStringLiteral("Ž and Ж"));
    const QByteArray mixedRtf = WriteRtf(mixed);
    QVERIFY(mixedRtf.contains("\\'8e and \\u1046?"));
    QCOMPARE(*RtfToPlainText(mixedRtf), QStringLiteral("Ž and Ж"));
    QCOMPARE(QString::fromLatin1(rtf).count(QRegularExpression(QStringLiteral("\\\\par(?![a-z])"))),
             document->blockCount());
    // Everything above 127 is escaped: the RTF is 7-bit text.
    for (const char c : rtf)
        QVERIFY(uchar(c) < 128);

    // Text typed without a size of its own keeps the size of the box's font
    // (19 pixels: 14.25 points, written as 28 half-points).
    QTextDocument typed;
    QFont boxFont(QStringLiteral("Liberation Sans"));
    boxFont.setPixelSize(19);
    typed.setDefaultFont(boxFont);
    typed.setPlainText(QStringLiteral("typed"));
    QVERIFY(WriteRtf(typed).contains("\\fs28 "));
}

void TestRichText::roundTrip_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("formatted") << Formatted;
    for (const char *name :
         {"lo74_features_B", "lo74_ce_fcharset238_B", "abiword305_B", "richedit_riched20_list_crlf",
          "word_cp1251_russian", "wordpad_msftedit_cp1250_sl_agreement_e", "latex2rtf_B"})
        QTest::newRow(name) << ReadFile(CorpusDir +
                                        QStringLiteral("/rtf/%1.rtf").arg(QLatin1String(name)));
    QTest::newRow("empty") << QByteArray("{\\rtf1}");
    QTest::newRow("empty paragraphs") << QByteArray("{\\rtf1\\fs40\\par\\fs20\\par x\\par\\par}");
}

void TestRichText::roundTrip()
{
    QFETCH(QByteArray, rtf);
    const auto first = Read(rtf);
    const QByteArray written = WriteRtf(*first);
    const auto second = Read(written);
    QCOMPARE(Describe(*second), Describe(*first));
    // Writing is stable: the same document writes the same bytes.
    QCOMPARE(WriteRtf(*second), written);
}

void TestRichText::hostileInput_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("deep nesting") << QByteArray("{\\rtf1 a") + QByteArray(200000, '{') + "x" +
                                         QByteArray(200000, '}') + "b}"
                                  << QStringLiteral("ab");
    QTest::newRow("unclosed groups")
        << QByteArray("{\\rtf1 a{\\b b{\\i c") << QStringLiteral("abc");
    QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999999999\\u99999999999 "
                                                "\\uc99999999999\\li-99999999999999 a}")
                                  << QStringLiteral("\uFFFFa");
    QTest::newRow("bin past the end")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xy") << QStringLiteral("a");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << QStringLiteral("ab");
    QTest::newRow("long word") << QByteArray("{\\rtf1 \\") + QByteArray(100000, 'a') + " b}"
                               << QStringLiteral("b");
    QTest::newRow("cut escape") << QByteArray("{\\rtf1 a\\'4") << QStringLiteral("a");
    QTest::newRow("backslash at end") << QByteArray("{\\rtf1 a\\") << QStringLiteral("a");
    QTest::newRow("text after the end") << QByteArray("{\\rtf1 a}b}}{c") << QStringLiteral("a");
    QTest::newRow("odd hex picture")
        << QByteArray("{\\rtf1{\\pict\\pngblip abc}z}") << QStringLiteral("z");
    QTest::newRow("colour index past table")
        << QByteArray("{\\rtf1{\\colortbl;\\red999\\green-4;}\\cf55\\highlight-3\\f77 q}")
        << QStringLiteral("q");
    QTest::newRow("leading blanks") << QByteArray(" \r\n{\\rtf1 ok}") << QStringLiteral("ok");
}

void TestRichText::hostileInput()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(RtfToPlainText(rtf).value_or(QStringLiteral("<refused>")), text);
    QTextDocument document;
    QVERIFY(ReadRtf(rtf, document));
    QCOMPARE(document.toPlainText().remove(QChar::ObjectReplacementCharacter), text);
    QVERIFY(!WriteRtf(document).isEmpty());
}

// Links and pictures named by address or file stay out: laying the document
// out reads no file (a FIFO named everywhere would be read), and what shows
// is only the words.
void TestRichText::namesNothingOutside()
{
    TMarkupTestFile file;
    QVERIFY(file.IsValid());
    const QByteArray fifo = QFile::encodeName(file.Fifo());
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(dot.save(&buffer, "PNG"));
    const QByteArray rtf = "{\\rtf1 <img src=\"" + fifo +
                           "\">{\\field{\\*\\fldinst HYPERLINK \"file://" + fifo +
                           "\"}{\\fldrslt link}}{\\field{\\*\\fldinst INCLUDEPICTURE \"" + fifo +
                           "\" \\\\d}{\\fldrslt }}{\\*\\htmltag84 <img src=\"" + fifo +
                           "\">}{\\pict\\pngblip " + png.toHex() + "}\\par}";
    QTextDocument document;
    QVERIFY(ReadRtf(rtf, document));
    QCOMPARE(document.toPlainText(), QStringLiteral("<img src=\"%1\">link\uFFFC").arg(file.Fifo()));
    int pictures = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QVERIFY(!format.isAnchor());
            QVERIFY(format.anchorHref().isEmpty());
            if (format.isImageFormat()) {
                // A picture the document holds itself.
                const QUrl name(format.toImageFormat().name());
                QCOMPARE(name.scheme(), QStringLiteral("rtfpicture"));
                const QVariant picture = document.resource(QTextDocument::ImageResource, name);
                QCOMPARE(picture.value<QImage>().pixel(0, 0), qRgb(255, 0, 0));
                ++pictures;
            }
        }
    }
    QCOMPARE(pictures, 1);
    QVERIFY(document.documentLayout()->documentSize().width() > 0);
    QCOMPARE(file.FifoReads(), 0);
}

void TestRichText::rescale()
{
    const QByteArray mixed = "{\\rtf1 \\fs20 ten\\fs24 twelve\\par\\fs22 eleven\\fs20 ten}";
    {
        // Saved from a 200-pixel box, shown in a 100-pixel one: every run is
        // halved in whole pixels at 96 dots per inch and taken back to whole
        // points, ties to even: 10 pt is 13 px, 6.5 gives 6 px, 4.5 pt gives 4.
        const auto document = Read(mixed);
        QCOMPARE(RescaleRichTextFonts(*document, 100, 200), 4);
        QCOMPARE(PointSizes(*document), (QList<double>{4, 6, 6, 4}));
        QCOMPARE(document->toPlainText(), QStringLiteral("tentwelve\neleventen"));
    }
    {
        const auto document = Read("{\\rtf1 \\fs24 twelve {\\b bold} twelve\\par again}");
        QCOMPARE(RescaleRichTextFonts(*document, 300, 200), 1);
        QCOMPARE(PointSizes(*document), (QList<double>{18, 18, 18, 18}));
        QCOMPARE(document->begin().next().begin().fragment().charFormat().fontWeight(),
                 int(QFont::Normal));
    }
    {
        const auto document = Read("{\\rtf1 \\fs20 a\\fs24 b\\fs20 c}");
        QCOMPARE(RescaleRichTextFonts(*document, 300, 200), 3);
        QCOMPARE(PointSizes(*document), (QList<double>{15, 18, 15}));
    }
    {
        // 7 pt at half: 9 px, 4.5 gives 4 px, which is 3 pt (not 3.5 rounded
        // to 4); at 120 dots per inch 12 px, 6 px, 3.6 pt gives 4.
        auto document = Read("{\\rtf1 \\fs14 seven}");
        RescaleRichTextFonts(*document, 100, 200);
        QCOMPARE(PointSizes(*document), (QList<double>{3}));
        document = Read("{\\rtf1 \\fs14 seven}");
        RescaleRichTextFonts(*document, 100, 200, 120);
        QCOMPARE(PointSizes(*document), (QList<double>{4}));
    }
    for (const int saved : {0, -5}) {
        const auto document = Read(mixed);
        RescaleRichTextFonts(*document, 100, saved);
        QCOMPARE(PointSizes(*document), (QList<double>{10, 12, 11, 10}));
    }
    {
        // Each paragraph's own size (its list marker, an empty line) scales
        // from what it was, whatever runs cross its start.
        const auto document = Read("{\\rtf1\\fs72 Head\\par\\pard{\\*\\pn\\pnlvlblt}\\fs44 one\\par"
                                   " two\\par\\pard\\par\\fs20 end}");
        RescaleRichTextFonts(*document, 100, 200);
        QList<double> blockSizes;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            blockSizes << block.charFormat().fontPointSize();
        QCOMPARE(blockSizes, (QList<double>{18, 10, 10, 10, 4}));
        QCOMPARE(PointSizes(*document), (QList<double>{18, 10, 10, 4}));
    }
    {
        // Tiny boxes never make a size of 0.
        const auto document = Read(mixed);
        RescaleRichTextFonts(*document, 1, 1000);
        const QList<double> sizes = PointSizes(*document);
        QVERIFY(std::all_of(sizes.cbegin(), sizes.cend(), [](double size) { return size == 1; }));
    }
}

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
