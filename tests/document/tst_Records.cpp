// Records, screen scaling and code pages.

#include "QZCodePage.h"
#include "QZFont.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZTestMain.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

#include <set>

namespace {

// Restores the screen size a test changed.
struct TScreenScope
{
    TScreenScope(qint32 width, qint32 height)
    {
        ScreenWidth = width;
        ScreenHeight = height;
    }
    ~TScreenScope()
    {
        ScreenWidth = DesignWidth;
        ScreenHeight = DesignHeight;
    }
};

} // namespace

class Records : public QObject
{
    Q_OBJECT

private slots:
    void shortStringsKeepTheirTails()
    {
        auto record = ZeroRecord<TDaNeRecord>();
        record.FirstText.SetBytes("An old and longer answer");
        record.FirstText.SetBytes("Yes");
        QCOMPARE(record.FirstText.Bytes(), QByteArray("Yes"));
        // The stale text past the length stays in the record as it was.
        QCOMPARE(QByteArray(record.FirstText.Chars, 24), QByteArray("Yesold and longer answer"));

        // A length byte past the capacity reads as the capacity.
        auto input = ZeroRecord<TVnosnoOknoRecord>();
        input.Answers[1].Length = 200;
        QCOMPARE(input.Answers[1].Bytes().size(), 100);

        // Full capacity fits.
        const QByteArray full(255, 'x');
        record.SecondText.SetBytes(full + "overflow");
        QCOMPARE(record.SecondText.Bytes(), full);
    }

    void correctSetIsAPascalSet()
    {
        const auto record = RecordFromBytes<TIzbireRecord>(NewObjectRecord(ObjIzbire));
        QCOMPARE(record.CorrectSet.Bits[0], quint8(0x02));
        for (int i = 1; i < 32; ++i)
            QCOMPARE(record.CorrectSet.Bits[i], quint8(0));
        auto set = ZeroRecord<TByteSet>();
        set.Include(255);
        set.Include(9);
        QCOMPARE(set.Bits[31], quint8(0x80));
        QCOMPARE(set.Bits[1], quint8(0x02));
        QVERIFY(set.Contains(9) && !set.Contains(8));
    }

    void integersAreLittleEndian()
    {
        auto record = ZeroRecord<TTestRecord>();
        record.PageCount = 0x01020304;
        const QByteArray bytes = RecordToBytes(record);
        QCOMPARE(bytes.mid(2396, 4), QByteArray("\x04\x03\x02\x01", 4));
        record.FileVersion = -2;
        QCOMPARE(RecordToBytes(record).mid(52, 4), QByteArray("\xfe\xff\xff\xff", 4));
    }

    void newObjectDefaults()
    {
        const auto input = RecordFromBytes<TVnosnoOknoRecord>(NewObjectRecord(ObjVnosnoOkno));
        QCOMPARE(input.AnswerCount.Get(), 1);
        QCOMPARE(input.Answers[1].Length, quint8(0));
        QCOMPARE(input.Width.Get(), 300);
        const auto text = RecordFromBytes<TPanelBesediloRecord>(NewObjectRecord(ObjPanelBesedilo));
        QCOMPARE(text.Height.Get(), 32);
        QCOMPARE(text.Font.Name.Bytes(), QByteArray("Arial CE"));
        QCOMPARE(text.Font.Height.Get(), -19);
        QCOMPARE(text.Font.Charset, quint8(238));
        QCOMPARE(text.Color.Get(), 0x00C0C0C0u);
        const auto ole = RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle));
        QCOMPARE(ole.IsEmpty, quint8(1));
        QCOMPARE(ole.SizeMode, quint8(2));
        const TTestRecord test = NewTestRecord();
        QCOMPARE(test.Title.Bytes(), QByteArray("Untitled"));
        QCOMPARE(test.WrongAnswerMode, quint8(1));
        QCOMPARE(test.Comments[7].Bytes(), QByteArray("Excellent!!! Your knowledge is brilliant!"));
    }

    void converters_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("storedX");
        QTest::addColumn<int>("storedY");
        QTest::addColumn<int>("screenX");
        QTest::addColumn<int>("screenY");
        QTest::newRow("half size") << 1024 << 768 << 1000 << 750 << 500 << 375;
        QTest::newRow("800x600") << 800 << 600 << 1000 << 750 << 391 << 293;
        QTest::newRow("half goes to even, down") << 1024 << 768 << 1 << 1 << 0 << 0;
        QTest::newRow("half goes to even, up") << 3072 << 2304 << 1 << 1 << 2 << 2;
        QTest::newRow("negative font height") << 1024 << 768 << -20 << -20 << -10 << -10;
        QTest::newRow("design size") << 2048 << 1536 << 1234 << -567 << 1234 << -567;
    }

    void converters()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, storedX);
        QFETCH(int, storedY);
        QFETCH(int, screenX);
        QFETCH(int, screenY);
        TScreenScope screen(width, height);
        QCOMPARE(ToScreenX(storedX), screenX);
        QCOMPARE(ToScreenY(storedY), screenY);
    }

    void roundTripsThroughTheScreen()
    {
        {
            TScreenScope screen(1024, 768);
            QCOMPARE(FromScreenX(ToScreenX(1)), 0); // 0.5 went to 0 and stays there
            QCOMPARE(FromScreenY(ToScreenY(-20)), -20);
            QCOMPARE(FromScreenX(391), 782);
        }
        QCOMPARE(RoundHalfEven(2.5), 2);
        QCOMPARE(RoundHalfEven(3.5), 4);
        QCOMPARE(RoundHalfEven(-0.5), 0);
        QCOMPARE(RoundHalfEven(-1.5), -2);
        QCOMPARE(RoundHalfEven(1e12), std::numeric_limits<qint32>::max());
        {
            // Huge stored values do not overflow on a large screen.
            TScreenScope screen(4096, 3072);
            QCOMPARE(ToScreenX(std::numeric_limits<qint32>::max()),
                     std::numeric_limits<qint32>::max());
        }
    }

    void metrics()
    {
        {
            TScreenScope screen(1024, 768);
            QCOMPARE(Margin(), 6);              // 6.4
            QCOMPARE(AnswerButtonHeight(), 38); // 38.4
            QCOMPARE(GridStep(), 9);            // 9.216
            QCOMPARE(SurfaceFontHeight(), 31);  // 30.72
        }
        {
            TScreenScope screen(1280, 1000);
            QCOMPARE(Margin(), 8); // 8.0
            QCOMPARE(AnswerButtonHeight(), 50);
        }
        TScreenScope screen(2048, 1536);
        QCOMPARE(Margin(), 13); // 12.8
    }

    // Every type converts exactly the fields of its table and no other byte.
    void conversionTouchesOnlyScaledFields_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QList<int>>("fields");
        QTest::newRow("choices") << 0 << QList<int>{0, 4, 8, 2108, 2376};
        QTest::newRow("input box") << 1 << QList<int>{0, 4, 8, 892};
        QTest::newRow("alternative") << 2 << QList<int>{0, 4, 8};
        QTest::newRow("text") << 3 << QList<int>{0, 4, 8, 12, 536};
        QTest::newRow("panel text") << 4 << QList<int>{0, 4, 8, 12, 532};
        QTest::newRow("rich text") << 5 << QList<int>{0, 4, 8, 12};
        QTest::newRow("picture") << 6 << QList<int>{0, 4, 8, 12};
        QTest::newRow("media") << 7 << QList<int>{360, 364, 368, 372};
        QTest::newRow("OLE") << 8 << QList<int>{12, 16, 20, 24};
        QTest::newRow("button") << 10 << QList<int>{0, 4, 8, 12, 532};
    }

    void conversionTouchesOnlyScaledFields()
    {
        QFETCH(int, tag);
        QFETCH(QList<int>, fields);
        TScreenScope screen(1024, 768);
        const QByteArray original(RecordSize(tag), '\x10');
        const QByteArray converted = ConvertedRecord(tag, original, TScaleDirection::ToScreen);
        std::set<int> changed;
        for (int i = 0; i < original.size(); ++i)
            if (original[i] != converted[i])
                changed.insert(i & ~3);
        QCOMPARE(QList<int>(changed.begin(), changed.end()), fields);
        // Each converted field holds half of 0x10101010.
        for (int offset : fields) {
            TInt32 value;
            std::memcpy(&value, converted.constData() + offset, 4);
            QCOMPARE(value.Get(), 0x10101010 / 2);
        }
    }

    void textsDecodeInTheirFontsCodePage()
    {
        const QByteArray bytes("\x8a\xe8\x9e", 3);
        QCOMPARE(DecodeText(bytes, CodePageOfCharset(238)), QStringLiteral("Ščž"));
        QCOMPARE(DecodeText(bytes, CodePageOfCharset(0)), QStringLiteral("Šèž"));
        QCOMPARE(DecodeText("\xc0\xe1", CodePageOfCharset(204)), QStringLiteral("Аб"));
        QCOMPARE(DecodeText("\xc1", CodePageOfCharset(161)), QStringLiteral("Α"));
        QCOMPARE(CodePageOfCharset(186), QByteArray("windows-1257"));
        QCOMPARE(CodePageOfCharset(1), DefaultCodePage());
    }

    void defaultCodePageFollowsTheEnvironment()
    {
        const QByteArray saved = qgetenv("CORVELLA_CODEPAGE");
        qunsetenv("CORVELLA_CODEPAGE");
        ResetDefaultCodePage();
        QCOMPARE(DefaultCodePage(), QByteArray("windows-1250"));
        qputenv("CORVELLA_CODEPAGE", "1252");
        ResetDefaultCodePage();
        QCOMPARE(DefaultCodePage(), QByteArray("windows-1252"));
        QCOMPARE(DecodeDefault("\xe8"), QStringLiteral("è"));
        qputenv("CORVELLA_CODEPAGE", "no-such-code-page");
        ResetDefaultCodePage();
        QCOMPARE(DefaultCodePage(), QByteArray("windows-1250"));
        if (saved.isNull())
            qunsetenv("CORVELLA_CODEPAGE");
        else
            qputenv("CORVELLA_CODEPAGE", saved);
        ResetDefaultCodePage();
    }

    void unencodableCharactersAreReported()
    {
        QString lost;
        const QByteArray bytes =
            EncodeText(QStringLiteral("Čaj 中 € Ω"), QByteArray("windows-1250"), &lost);
        QCOMPARE(bytes, QByteArray("\xc8"
                                   "aj ? \x80 ?"));
        QCOMPARE(lost, QStringLiteral("中Ω"));
        lost.clear();
        QCOMPARE(EncodeText(QStringLiteral("plain"), "windows-1250", &lost), QByteArray("plain"));
        QVERIFY(lost.isEmpty());
        // A character outside the basic plane is one character, not two.
        EncodeText(QStringLiteral("a\U0001F600b"), "windows-1252", &lost);
        QCOMPARE(lost, QStringLiteral("\U0001F600"));
    }

    void colourValues()
    {
        QCOMPARE(ColorFromValue(0x00336699u), QColor(0x99, 0x66, 0x33));
        QCOMPARE(ValueFromColor(QColor(0x99, 0x66, 0x33)), 0x00336699u);
        const QPalette palette = QGuiApplication::palette();
        QCOMPARE(ColorFromValue(0x80000008u), palette.color(QPalette::Active, QPalette::Text));
        QCOMPARE(ColorFromValue(0x8000000Fu), palette.color(QPalette::Active, QPalette::Button));
        // A system colour number past the table still gives a colour.
        QVERIFY(ColorFromValue(0x800000FFu).isValid());
    }

    void fontRecords()
    {
        TFontRecord record = WindowFontRecord();
        record.Name.SetBytes("  Arial ");
        record.Style = FontBold | FontStrikeOut;
        record.Height = -20;
        const TRecordFont font = RecordToFont(record);
        QCOMPARE(font.Font.family(), QStringLiteral("Arial"));
        QCOMPARE(font.Font.pixelSize(), 20);
        QVERIFY(font.Font.bold() && font.Font.strikeOut() && !font.Font.italic());
        QCOMPARE(font.Charset, quint8(238));

        const TFontRecord back = FontToRecord(font.Font, record.Color, font.Charset);
        QCOMPARE(back.Name.Bytes(), QByteArray("Arial"));
        QCOMPARE(back.Height.Get(), -20);
        QCOMPARE(back.Style, quint8(FontBold | FontStrikeOut));
        QCOMPARE(back.Color.Get(), 0x80000008u);

        // A positive height is the whole line: the characters come out smaller.
        record.Height = 30;
        const TRecordFont cell = RecordToFont(record);
        QVERIFY(cell.Font.pixelSize() > 0 && cell.Font.pixelSize() <= 30);
    }

    void sameText()
    {
        QVERIFY(SameText(QStringLiteral(" Paris "), QStringLiteral("paris"), false));
        QVERIFY(!SameText(QStringLiteral(" Paris "), QStringLiteral("paris"), true));
        QVERIFY(SameText(QStringLiteral("\tParis\r\n"), QStringLiteral("Paris"), true));
        QVERIFY(SameText(QStringLiteral("žaba"), QStringLiteral("ŽABA"), false));
        QVERIFY(!SameText(QStringLiteral("Pariz"), QStringLiteral("Paris"), false));
    }
};

CORVELLA_TEST(Records);

#include "tst_Records.moc"
