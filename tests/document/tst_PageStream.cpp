// The page stream: framing of records and payloads, page records old and new,
// object tags, and showing and hiding a page.

#include "QZJson.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZStran.h"
#include "QZStream.h"
#include "QZTestData.h"
#include "QZTestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

// Writes page streams byte by byte, as another program could.
struct TStreamBuilder
{
    QByteArray Data;
    TPageRecord Page = NewPageRecord("Page", "(Forward)", "(Forward)");
    QList<QByteArray> Objects;

    void Add(int tag, QByteArray record, const QByteArray &payload = {})
    {
        Page.ObjectTypes[Page.ObjectCount] = quint8(tag);
        Page.ObjectCount = Page.ObjectCount + 1;
        Objects << record + payload;
    }

    QByteArray Bytes() const
    {
        QByteArray bytes = RecordToBytes(Page);
        for (const QByteArray &object : Objects)
            bytes += object;
        return bytes;
    }
};

template<typename Record> QByteArray Bytes(const Record &record) { return RecordToBytes(record); }

std::unique_ptr<TQZStran> ReadPage(const QByteArray &bytes, qint32 version = CurrentFileVersion)
{
    FileVersion = version;
    auto page = std::make_unique<TQZStran>();
    TQZReader reader(bytes);
    try {
        page->LoadFromStream(reader);
    } catch (...) {
        FileVersion = CurrentFileVersion;
        throw;
    }
    FileVersion = CurrentFileVersion;
    return page;
}

QByteArray WritePage(TQZStran &page)
{
    QByteArray stream;
    page.SaveToStream(stream);
    return stream;
}

TGumbRecord Button(const char *caption)
{
    auto button = RecordFromBytes<TGumbRecord>(NewObjectRecord(ObjGumb));
    button.Caption.SetBytes(caption);
    return button;
}

QByteArray CaptionOf(const TQZControl &object)
{
    return RecordFromBytes<TGumbRecord>(object.Record()).Caption.Bytes();
}

} // namespace

class PageStream : public QObject
{
    Q_OBJECT

private slots:
    void emptyPageIsItsRecordAlone()
    {
        TQZStran page;
        page.SetPageRecord(NewPageRecord("Empty", "", ""));
        const QByteArray bytes = WritePage(page);
        QCOMPARE(bytes.size(), 1292);
        QCOMPARE(ReadPage(bytes)->ObjectCount(), 0);
    }

    void payloadLengthsFrameTheNextRecord()
    {
        TStreamBuilder builder;
        auto memo = RecordFromBytes<TMemoRecord>(NewObjectRecord(ObjMemo));
        // The RTF document ends long before its length: the reader of the
        // text must not decide where the next record starts.
        QByteArray rtf = QByteArray("{\\rtf1 short}") + QByteArray(5000 - 13, ' ');
        memo.RtfLength = 5000;
        builder.Add(ObjMemo, Bytes(memo), rtf);
        builder.Add(ObjGumb, Bytes(Button("After the text")));
        const QByteArray bytes = builder.Bytes();
        QCOMPARE(bytes.size(), 1292 + 28 + 5000 + 804);

        const auto page = ReadPage(bytes);
        QCOMPARE(page->ObjectCount(), 2);
        QCOMPARE(page->Objects()[0]->Payload(), rtf);
        QCOMPARE(CaptionOf(*page->Objects()[1]), QByteArray("After the text"));
        QCOMPARE(WritePage(*page).size(), bytes.size());
    }

    // A kind outside the table loads no picture, but its bytes stay with the
    // object and the page is written back byte for byte.
    void pictureKindsOutsideTheTableKeepTheirBytes()
    {
        TStreamBuilder builder;
        auto metafile = RecordFromBytes<TSlikaRecord>(NewObjectRecord(ObjSlika));
        metafile.PictureKind = 1;
        metafile.PictureLength = 8;
        builder.Add(ObjSlika, Bytes(metafile),
                    QByteArray("\xd7\xcd\xc6\x9a"
                               "abcd",
                               8));
        auto unknown = metafile;
        unknown.PictureKind = 7;
        unknown.PictureLength = 6;
        builder.Add(ObjSlika, Bytes(unknown), "abcde!");
        builder.Add(ObjGumb, Bytes(Button("Next")));

        const auto page = ReadPage(builder.Bytes());
        QCOMPARE(page->ObjectCount(), 3);
        QCOMPARE(page->Objects()[0]->Payload().size(), 8);
        QCOMPARE(page->Objects()[1]->Payload(), QByteArray("abcde!"));
        QCOMPARE(CaptionOf(*page->Objects()[2]), QByteArray("Next"));
        QCOMPARE(WritePage(*page), builder.Bytes());
    }

    void emptyOleFrameHasNoPayload()
    {
        TStreamBuilder builder;
        auto empty = RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle));
        empty.IsEmpty = 1;
        empty.OleLength = 123456; // not significant
        builder.Add(ObjOle, Bytes(empty));
        auto full = empty;
        full.IsEmpty = 0;
        full.OleLength = 16;
        builder.Add(ObjOle, Bytes(full), QByteArray("BDOC") + QByteArray(12, '\1'));
        builder.Add(ObjGumb, Bytes(Button("Last")));

        const auto page = ReadPage(builder.Bytes());
        QCOMPARE(page->ObjectCount(), 3);
        QVERIFY(page->Objects()[0]->Payload().isEmpty());
        QCOMPARE(page->Objects()[1]->Payload().size(), 16);
        QCOMPARE(CaptionOf(*page->Objects()[2]), QByteArray("Last"));
        const QByteArray written = WritePage(*page);
        QCOMPARE(written, builder.Bytes()); // an empty frame keeps its OleLength
    }

    void typeTagsWithoutAClassReadNothing()
    {
        TStreamBuilder builder;
        builder.Add(ObjPage, {});
        builder.Add(11, {});
        builder.Add(200, {});
        builder.Add(ObjGumb, Bytes(Button("Only object")));
        const auto page = ReadPage(builder.Bytes());
        QCOMPARE(page->ObjectCount(), 1);
        QCOMPARE(CaptionOf(*page->Objects()[0]), QByteArray("Only object"));
        QCOMPARE(page->Objects()[0]->Tag(), 1);
    }

    void typeTagsWithoutAClassSurviveJson()
    {
        // A dump lists tags that make no object; packing it again must not
        // give them bytes that would shift the records after them.
        const QJsonObject source = QJsonDocument::fromJson(R"({"format": "cvp", "pages": [
            {"pageName": "P", "objects": [{"type": 9}, {"type": 11},
             {"class": "TQZBesedilo", "Left": 5, "Text": "after"}]}]})")
                                       .object();
        TQZNaloga test;
        TJsonPackContext context;
        QVERIFY(DocumentFromJson(test, source, context));
        QVERIFY(context.Warnings.isEmpty());
        const QByteArray bytes = test.PageToBytes(0);
        QCOMPARE(bytes.size(), 1292 + 544);
        const auto page = ReadPage(bytes);
        QCOMPARE(page->ObjectCount(), 1);
        const auto text = RecordFromBytes<TBesediloRecord>(page->Objects()[0]->Record());
        QCOMPARE(text.Left.Get(), 5);
        QCOMPARE(text.Text.Bytes(), QByteArray("after"));
        const QJsonArray objects =
            PageToJson(*page, false).value(QStringLiteral("objects")).toArray();
        QCOMPARE(objects.size(), 3);
        QCOMPARE(objects.at(1).toObject().value(QStringLiteral("type")).toInt(), 11);
    }

    void savedEditHeightNeverOverflows()
    {
        auto memo = RecordFromBytes<TMemoRecord>(NewObjectRecord(ObjMemo));
        memo.Height = std::numeric_limits<qint32>::min() + 3;
        TQZRecordObject object(ObjMemo, RecordToBytes(memo));
        QByteArray stream;
        object.SaveToStream(stream);
        QCOMPARE(RecordFromBytes<TMemoRecord>(stream).SavedEditHeight.Get(),
                 std::numeric_limits<qint32>::min());
    }

    void forwardTargetOfOlderVersions()
    {
        TStreamBuilder builder;
        builder.Page.WrongTarget.SetBytes("(Naprej)");
        builder.Page.CorrectTarget.SetBytes("(Naprej) ");
        QCOMPARE(ReadPage(builder.Bytes())->WrongTarget(), QStringLiteral("(Forward)"));
        QCOMPARE(ReadPage(builder.Bytes())->CorrectTarget(), QStringLiteral("(Naprej) "));

        // Files of version 512 and lower have the short page record, and keep
        // their targets as they are.
        auto old = ZeroRecord<TOldPageRecord>();
        old.PageName.SetBytes("Old page");
        old.WrongTarget.SetBytes("(Naprej)");
        old.ObjectCount = 1;
        old.ObjectTypes[0] = ObjGumb;
        old.PageColor = 0x00112233;
        const QByteArray bytes = Bytes(old) + Bytes(Button("Old button"));
        const auto page = ReadPage(bytes, 512);
        QCOMPARE(page->PageName(), QStringLiteral("Old page"));
        QCOMPARE(page->WrongTarget(), QStringLiteral("(Naprej)"));
        QCOMPARE(page->PageColor(), 0x00112233u);
        QCOMPARE(CaptionOf(*page->Objects()[0]), QByteArray("Old button"));
        // Written again, it is a page of the current layout.
        QCOMPARE(WritePage(*page).size(), 1292 + 804);
    }

    void atMost512ObjectsAreWritten()
    {
        TQZStran page;
        for (int i = 0; i < 600; ++i)
            page.AddObject(MakeObject(ObjBesedilo));
        const QByteArray bytes = WritePage(page);
        QCOMPARE(bytes.size(), 1292 + 512 * 544);
        QCOMPARE(ReadPage(bytes)->ObjectCount(), 512);
    }

    void objectCountsTheRecordHasNoRoomFor_data()
    {
        QTest::addColumn<qint32>("count");
        QTest::addColumn<qint32>("version");
        QTest::newRow("513") << 513 << 768;
        QTest::newRow("100000") << 100000 << 768;
        QTest::newRow("negative") << -1 << 768;
        QTest::newRow("53 in an old record") << 53 << 512;
    }

    void objectCountsTheRecordHasNoRoomFor()
    {
        QFETCH(qint32, count);
        QFETCH(qint32, version);
        QByteArray bytes;
        if (version > 512) {
            TStreamBuilder builder;
            builder.Page.ObjectCount = count;
            bytes = builder.Bytes();
        } else {
            auto old = ZeroRecord<TOldPageRecord>();
            old.ObjectCount = count;
            bytes = Bytes(old);
        }
        bytes += QByteArray(100000, '\0');
        QVERIFY_THROWS_EXCEPTION(TQZFileError, ReadPage(bytes, version));
    }

    void shortStreamsAreErrors()
    {
        TStreamBuilder builder;
        auto memo = RecordFromBytes<TMemoRecord>(NewObjectRecord(ObjMemo));
        memo.RtfLength = 100;
        builder.Add(ObjMemo, Bytes(memo), QByteArray(100, 'r'));
        const QByteArray bytes = builder.Bytes();
        QCOMPARE(ReadPage(bytes)->ObjectCount(), 1);
        QVERIFY_THROWS_EXCEPTION(TQZFileError, ReadPage(bytes.left(bytes.size() - 1)));
        QVERIFY_THROWS_EXCEPTION(TQZFileError, ReadPage(bytes.left(1292 + 27)));
        QVERIFY_THROWS_EXCEPTION(TQZFileError, ReadPage(bytes.left(1291)));

        memo.RtfLength = -5;
        TStreamBuilder negative;
        negative.Add(ObjMemo, Bytes(memo), QByteArray(100, 'r'));
        QVERIFY_THROWS_EXCEPTION(TQZFileError, ReadPage(negative.Bytes()));
    }

    void tagsNumberObjectsForTheLifeOfThePage()
    {
        TStreamBuilder builder;
        for (const char *caption : {"one", "two", "three"})
            builder.Add(ObjGumb, Bytes(Button(caption)));
        const auto page = ReadPage(builder.Bytes());
        QCOMPARE(page->Objects()[0]->Tag(), 1);
        QCOMPARE(page->Objects()[2]->Tag(), 3);
        QCOMPARE(CaptionOf(*page->FindObject(2)), QByteArray("two"));

        page->DeleteObject(2);
        QCOMPARE(page->FindObject(2), nullptr);
        QCOMPARE(page->AddObject(MakeObject(ObjGumb))->Tag(), 4);
        page->DeleteObject(99); // nothing to delete
        QCOMPARE(page->ObjectCount(), 3);
    }

    void recordsComeBackUnchanged()
    {
        // Random bytes stand for stale string tails and padding: at the design
        // size a record is written back exactly as it was read.
        TStreamBuilder builder;
        QByteArray record(RecordSize(ObjIzbire), Qt::Uninitialized);
        for (int i = 0; i < record.size(); ++i)
            record[i] = char((i * 73 + 11) & 0xff);
        builder.Add(ObjIzbire, record);
        QByteArray media(RecordSize(ObjMedia), '\x5a');
        media[0] = 100;
        builder.Add(ObjMedia, media);
        for (int i = 2; i < 512; ++i)
            builder.Page.ObjectTypes[i] = quint8(i); // not significant, kept
        builder.Page.Reserved[0] = 0x77;
        const auto page = ReadPage(builder.Bytes());
        QCOMPARE(WritePage(*page), builder.Bytes());
    }

    void objectsConvertBetweenScreenAndFile()
    {
        ScreenWidth = 1024;
        ScreenHeight = 768;
        TStreamBuilder builder;
        auto text = RecordFromBytes<TBesediloRecord>(NewObjectRecord(ObjBesedilo));
        text.Left = 1000;
        text.Top = 750;
        text.Height = 40; // even, so that it halves exactly
        text.Font.Height = -20;
        builder.Add(ObjBesedilo, Bytes(text));
        const auto page = ReadPage(builder.Bytes());
        const auto live = RecordFromBytes<TBesediloRecord>(page->Objects()[0]->Record());
        QCOMPARE(live.Left.Get(), 500);
        QCOMPARE(live.Top.Get(), 375);
        QCOMPARE(live.Font.Height.Get(), -10);
        const QByteArray written = WritePage(*page);
        ScreenWidth = DesignWidth;
        ScreenHeight = DesignHeight;
        QCOMPARE(written, builder.Bytes());
    }

    void showingAPage()
    {
        TFakeSurface surface;
        TQZStran page(&surface);
        page.SetPageRecord(NewPageRecord("Clips", "", ""));
        surface.Colors.clear();
        auto *broken =
            static_cast<TFakeObject *>(page.AddObject(std::make_unique<TFakeObject>(ObjMedia)));
        auto *working =
            static_cast<TFakeObject *>(page.AddObject(std::make_unique<TFakeObject>(ObjMedia)));
        auto *text =
            static_cast<TFakeObject *>(page.AddObject(std::make_unique<TFakeObject>(ObjBesedilo)));
        broken->MediaOpens = false;
        broken->MediaCloses = false;

        for (int shown = 1; shown <= 2; ++shown) {
            page.Activate();
            // One message per clip that fails, each time the page is shown.
            QCOMPARE(surface.Errors,
                     QStringList{QStringLiteral("I can not open the Media Player")});
            QCOMPARE(surface.Colors.last(), WindowColor);
            QVERIFY(text->Shown && broken->Shown && working->Shown);
            QCOMPARE(working->ResizeCount, shown);
            QCOMPARE(broken->OpenCount, shown);
            surface.Errors.clear();

            page.Deactivate();
            QCOMPARE(surface.Errors,
                     QStringList{QStringLiteral("I can not close the Media Player")});
            QVERIFY(!text->Shown && !broken->Shown);
            surface.Errors.clear();
        }
    }

    void evaluation()
    {
        TQZStran page;
        QVERIFY(page.AllAnswered());
        QVERIFY(page.AllCorrect());
        auto *first =
            static_cast<TFakeObject *>(page.AddObject(std::make_unique<TFakeObject>(ObjIzbire)));
        auto *second = static_cast<TFakeObject *>(
            page.AddObject(std::make_unique<TFakeObject>(ObjVnosnoOkno)));
        auto *button =
            static_cast<TFakeObject *>(page.AddObject(std::make_unique<TFakeObject>(ObjGumb)));
        // Only questions count: the button's answer state is never asked.
        button->Answered = false;
        first->Answered = second->Answered = true;
        first->Correct = true;
        first->Points = 2;
        first->Earned = 2;
        second->Points = -1;
        second->Earned = -1;
        button->Points = 100;
        QVERIFY(page.AllAnswered());
        QVERIFY(!page.AllCorrect());
        qint32 earned = 10;
        qint32 possible = 20;
        page.AddScores(earned, possible);
        QCOMPARE(earned, 11);
        QCOMPARE(possible, 21);
        page.ShowCorrectAnswers();
        QVERIFY(first->ShownCorrect && second->ShownCorrect && !button->ShownCorrect);
    }

    void objectsMadeWhileLoadingStartHidden()
    {
        TStreamBuilder builder;
        builder.Add(ObjGumb, Bytes(Button("b")));
        TestLoading = true;
        const auto hidden = ReadPage(builder.Bytes());
        TestLoading = false;
        QVERIFY(!static_cast<TQZRecordObject &>(*hidden->Objects()[0]).IsShown());
        hidden->ShowObjects(true);
        QVERIFY(static_cast<TQZRecordObject &>(*hidden->Objects()[0]).IsShown());
        QVERIFY(static_cast<TQZRecordObject &>(*ReadPage(builder.Bytes())->Objects()[0]).IsShown());
    }
};

CORVELLA_TEST(PageStream);

#include "tst_PageStream.moc"
