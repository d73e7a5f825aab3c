// corvtool's JSON: the demo packed, dumped and packed again, dumps that
// describe the file and convert to a screen, the listing of info, and page
// files through every command.
#include "QZCorvtoolRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <vector>

class TestCorvtoolDump : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void packDumpPackIsStable();
    void dumpDescribesDemo();
    void dumpConvertsToScreen_data();
    void dumpConvertsToScreen();
    void infoListsTitleAndPages();
    void settingsRoundTrip();
    void inputBoxSettingsRoundTrip();

    void pageFileRoundTrip();
    void payloadsThatShowNoPictureOrRtf();

private:
    QString FilePath(const QString &name) const { return m_folder.FilePath(name); }
    TPackedDemo m_demo; // examples/Demo.json packed
    TCorvtoolFolder m_folder;
};

void TestCorvtoolDump::initTestCase() { PackDemo(m_folder, m_demo); }

// ---------------------------------------------------------------------------
// JSON sources, dumps and listings

void TestCorvtoolDump::packDumpPackIsStable()
{
    const TRun dump = Corvtool({QStringLiteral("dump"), m_demo.Path});
    EXPECT_EXIT(dump, 0);
    const QString dumped = FilePath(QStringLiteral("Demo-dumped.json"));
    const QString repacked = FilePath(QStringLiteral("Demo-repacked.cvl"));
    QVERIFY(WriteFile(dumped, dump.Out));

    const TRun pack = Corvtool({QStringLiteral("pack"), dumped, QStringLiteral("-o"), repacked});
    EXPECT_EXIT(pack, 0);
    // Every key of a dump names a field: packing it warns of nothing.
    QVERIFY2(pack.Err.isEmpty(), qPrintable(pack.Err));
    const QByteArray bytes = ReadFile(repacked);
    QVERIFY2(bytes == m_demo.Bytes, qPrintable(SizeAndDifference(m_demo.Bytes, bytes)));
}

void TestCorvtoolDump::dumpDescribesDemo()
{
    const TRun run = Corvtool({QStringLiteral("dump"), m_demo.Path});
    EXPECT_EXIT(run, 0);
    QString error;
    const QJsonObject json = ParseObject(run.Out, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    QCOMPARE(json.value(QStringLiteral("format")).toString(), QStringLiteral("cvl"));
    QCOMPARE(json.value(QStringLiteral("fileVersion")).toInt(), CurrentVersion);
    QCOMPARE(
        json.value(QStringLiteral("test")).toObject().value(QStringLiteral("title")).toString(),
        QStringLiteral("Corvella Demo Test"));

    std::vector<TPageSpan> filePages;
    QVERIFY(ReadTestFilePages(m_demo.Bytes, filePages));
    const QJsonArray pages = json.value(QStringLiteral("pages")).toArray();
    const QJsonArray sourcePages = m_demo.Source.value(QStringLiteral("pages")).toArray();
    QVERIFY(pages.size() >= 6);
    QCOMPARE(qsizetype(filePages.size()), pages.size());
    QCOMPARE(sourcePages.size(), pages.size());

    int memos = 0;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const QJsonObject page = pages.at(p).toObject();
        const QJsonObject sourcePage = sourcePages.at(p).toObject();
        QCOMPARE(page.value(QStringLiteral("pageName")).toString(),
                 sourcePage.value(QStringLiteral("pageName")).toString());
        const QJsonArray objects = page.value(QStringLiteral("objects")).toArray();
        const QJsonArray sourceObjects = sourcePage.value(QStringLiteral("objects")).toArray();
        QCOMPARE(objects.size(), qsizetype(filePages[size_t(p)].ObjectCount));
        QCOMPARE(objects.size(), sourceObjects.size());
        for (qsizetype i = 0; i < objects.size(); ++i) {
            const QJsonObject object = objects.at(i).toObject();
            const QJsonObject sourceObject = sourceObjects.at(i).toObject();
            const QString className = object.value(QStringLiteral("class")).toString();
            QCOMPARE(className, sourceObject.value(QStringLiteral("class")).toString());
            QCOMPARE(object.value(QStringLiteral("type")).toInt(-1),
                     filePages[size_t(p)].Objects[size_t(i)].Tag);
            if (className != QLatin1String("TQZMemo"))
                continue;
            ++memos;
            const QJsonObject sourcePayload =
                sourceObject.value(QStringLiteral("payload")).toObject();
            if (!sourcePayload.contains(QStringLiteral("text")))
                continue; // a payload from a file: its bytes are checked elsewhere
            const QByteArray rtf = sourceObject.value(QStringLiteral("payload"))
                                       .toObject()
                                       .value(QStringLiteral("text"))
                                       .toString()
                                       .toLatin1();
            const QJsonObject payload = object.value(QStringLiteral("payload")).toObject();
            QCOMPARE(payload.value(QStringLiteral("length")).toInteger(-1), qint64(rtf.size()));
            QCOMPARE(payload.value(QStringLiteral("sha256")).toString().toLatin1(), Sha256Hex(rtf));
            QCOMPARE(QByteArray::fromBase64(
                         payload.value(QStringLiteral("base64")).toString().toLatin1()),
                     rtf);
            QCOMPARE(object.value(QStringLiteral("RtfLength")).toInt(), rtf.size());
            QCOMPARE(object.value(QStringLiteral("SavedEditHeight")).toInt(),
                     sourceObject.value(QStringLiteral("SavedEditHeight")).toInt());
        }
    }
    QVERIFY(memos >= 1);
}

void TestCorvtoolDump::dumpConvertsToScreen_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("fontHeight");

    QTest::newRow("stored") << QStringList() << 1000 << 750 << 2000 << 300 << -20;
    QTest::newRow("1024x768") << QStringList{QStringLiteral("--screen"), QStringLiteral("1024x768")}
                              << 500 << 375 << 1000 << 150 << -10;
    // Widths follow the screen width and heights the screen height.
    QTest::newRow("1536x768") << QStringList{QStringLiteral("--screen"), QStringLiteral("1536x768")}
                              << 750 << 375 << 1500 << 150 << -10;
}

void TestCorvtoolDump::dumpConvertsToScreen()
{
    QFETCH(QStringList, options);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, fontHeight);

    const QJsonObject font{{QStringLiteral("Name"), QStringLiteral("Arial")},
                           {QStringLiteral("Height"), -20},
                           {QStringLiteral("Charset"), 238}};
    const QJsonObject bigFont{{QStringLiteral("Height"), -40}};
    const QJsonArray objects{
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZBesedilo")},
                    {QStringLiteral("Left"), 1000},
                    {QStringLiteral("Top"), 750},
                    {QStringLiteral("Width"), 2000},
                    {QStringLiteral("Height"), 300},
                    {QStringLiteral("Text"), QStringLiteral("Scaled")},
                    {QStringLiteral("Font"), font}},
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZIzbire")},
                    {QStringLiteral("Left"), 1000},
                    {QStringLiteral("Top"), 750},
                    {QStringLiteral("Width"), 2000},
                    {QStringLiteral("QuestionFont"), font},
                    {QStringLiteral("ChoiceFont"), bigFont}},
        // The media record keeps its geometry behind its names.
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZMedia")},
                    {QStringLiteral("Left"), 1000},
                    {QStringLiteral("Top"), 750},
                    {QStringLiteral("Width"), 2000},
                    {QStringLiteral("Height"), 300}},
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZMemo")},
                    {QStringLiteral("Left"), 1000},
                    {QStringLiteral("Top"), 750},
                    {QStringLiteral("Width"), 2000},
                    {QStringLiteral("Height"), 300},
                    {QStringLiteral("SavedEditHeight"), 274},
                    {QStringLiteral("payload"),
                     QJsonObject{{QStringLiteral("text"), QStringLiteral("{\\rtf1 x}")}}}},
    };
    const QJsonObject source{
        {QStringLiteral("format"), QStringLiteral("cvl")},
        {QStringLiteral("pages"),
         QJsonArray{QJsonObject{{QStringLiteral("pageName"), QStringLiteral("Scaling")},
                                {QStringLiteral("objects"), objects}}}},
    };
    const QString packed = FilePath(QStringLiteral("scaling.cvl"));
    const TRun pack = m_folder.Pack(QStringLiteral("scaling.json"), source, packed);
    EXPECT_EXIT(pack, 0);
    QVERIFY2(pack.Err.isEmpty(), qPrintable(pack.Err));

    const TRun run = Corvtool(QStringList{QStringLiteral("dump"), packed} + options);
    EXPECT_EXIT(run, 0);
    QString error;
    const QJsonObject json = ParseObject(run.Out, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QJsonArray dumped = json.value(QStringLiteral("pages"))
                                  .toArray()
                                  .at(0)
                                  .toObject()
                                  .value(QStringLiteral("objects"))
                                  .toArray();
    QCOMPARE(dumped.size(), objects.size());
    const auto value = [&dumped](int index, const char *key) {
        return dumped.at(index).toObject().value(QLatin1String(key));
    };

    for (int i = 0; i < dumped.size(); ++i) {
        QCOMPARE(value(i, "Left").toInt(), left);
        QCOMPARE(value(i, "Top").toInt(), top);
        QCOMPARE(value(i, "Width").toInt(), width);
        if (i != 1) // the choices question stores no height
            QCOMPARE(value(i, "Height").toInt(), height);
    }
    QCOMPARE(value(0, "Font").toObject().value(QStringLiteral("Height")).toInt(), fontHeight);
    QCOMPARE(value(1, "QuestionFont").toObject().value(QStringLiteral("Height")).toInt(),
             fontHeight);
    QCOMPARE(value(1, "ChoiceFont").toObject().value(QStringLiteral("Height")).toInt(),
             2 * fontHeight);
    // The inner height of a rich text frame is pixels as written, never scaled.
    QCOMPARE(value(3, "SavedEditHeight").toInt(), 274);
}

void TestCorvtoolDump::infoListsTitleAndPages()
{
    const TRun run = Corvtool({QStringLiteral("info"), m_demo.Path});
    EXPECT_EXIT(run, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    const QString out = QString::fromUtf8(run.Out);
    QVERIFY2(out.contains(QStringLiteral("Title: Corvella Demo Test")), qPrintable(out));
    const auto pageCount = m_demo.Source.value(QStringLiteral("pages")).toArray().size();
    QVERIFY2(out.contains(QStringLiteral("Pages: %1").arg(pageCount)), qPrintable(out));
    qsizetype from = 0;
    for (const QJsonValue page : m_demo.Source.value(QStringLiteral("pages")).toArray()) {
        const QString name = page.toObject().value(QStringLiteral("pageName")).toString();
        const qsizetype at = out.indexOf(QLatin1Char('"') + name + QLatin1Char('"'), from);
        QVERIFY2(at >= 0,
                 qPrintable(
                     QStringLiteral("page \"%1\" missing or out of order in:\n%2").arg(name, out)));
        from = at + 1;
    }
}

// A test without settings has nothing after its pages through every
// command; one with settings has the block, which dump shows, pack writes
// and resave keeps, byte for byte.
void TestCorvtoolDump::settingsRoundTrip()
{
    const TRun plainDump = Corvtool({QStringLiteral("dump"), m_demo.Path});
    EXPECT_EXIT(plainDump, 0);
    QString error;
    QJsonObject json = ParseObject(plainDump.Out, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!json.contains(QStringLiteral("extensions")));
    const QString plainResaved = FilePath(QStringLiteral("plain-resaved.cvl"));
    EXPECT_EXIT(Corvtool({QStringLiteral("resave"), m_demo.Path, plainResaved}), 0);
    std::vector<TPageSpan> pages;
    QVERIFY(ReadTestFilePages(ReadFile(plainResaved), pages));

    const QJsonObject settings{{QStringLiteral("askStudentName"), true},
                               {QStringLiteral("recordAttempts"), false},
                               {QStringLiteral("future"), QJsonArray{1, 2}}};
    json.insert(QStringLiteral("extensions"), settings);
    const QString packed = FilePath(QStringLiteral("settings.cvl"));
    const TRun pack = m_folder.Pack(QStringLiteral("settings.json"), json, packed);
    EXPECT_EXIT(pack, 0);
    QVERIFY2(pack.Err.isEmpty(), qPrintable(pack.Err));
    const QByteArray bytes = ReadFile(packed);
    QVERIFY2(bytes.startsWith(m_demo.Bytes), qPrintable(SizeAndDifference(m_demo.Bytes, bytes)));
    const QByteArray block = bytes.mid(m_demo.Bytes.size());
    const QByteArray text = R"({"askStudentName":true,"future":[1,2],"recordAttempts":false})";
    QCOMPARE(block.left(10), QByteArray("CVLXTND\0\1\0", 10));
    QCOMPARE(Int32At(block, 10), qint32(text.size()));
    QCOMPARE(block.mid(14, text.size()), text);
    QCOMPARE(block.mid(14 + text.size()).toHex(), Sha256Hex(text));

    const TRun dump = Corvtool({QStringLiteral("dump"), packed});
    EXPECT_EXIT(dump, 0);
    const QJsonObject dumped = ParseObject(dump.Out, &error);
    QCOMPARE(dumped.value(QStringLiteral("extensions")).toObject(), settings);
    const QString repacked = FilePath(QStringLiteral("settings-repacked.cvl"));
    QVERIFY(WriteFile(FilePath(QStringLiteral("settings-dumped.json")), dump.Out));
    EXPECT_EXIT(Corvtool({QStringLiteral("pack"), FilePath(QStringLiteral("settings-dumped.json")),
                          QStringLiteral("-o"), repacked}),
                0);
    QCOMPARE(ReadFile(repacked), bytes);
    const QString resaved = FilePath(QStringLiteral("settings-resaved.cvl"));
    EXPECT_EXIT(Corvtool({QStringLiteral("resave"), packed, resaved}), 0);
    QVERIFY(ReadFile(resaved).endsWith(block));

    // A page file has no room for settings; settings that are no object are
    // refused.
    json.insert(QStringLiteral("format"), QStringLiteral("cvp"));
    json.insert(QStringLiteral("pages"), QJsonArray{json.value(QStringLiteral("pages"))[0]});
    const TRun page =
        m_folder.Pack(QStringLiteral("page.json"), json, FilePath(QStringLiteral("page.cvp")));
    EXPECT_EXIT(page, 0);
    QVERIFY2(page.Err.contains(QStringLiteral("a page file has room only for its page's settings "
                                              "in \"extensions\"; the test's settings were not "
                                              "written")),
             qPrintable(page.Err));
    QVERIFY(ReadPageFilePage(ReadFile(FilePath(QStringLiteral("page.cvp"))), pages));
    // A page file keeps its page's settings, as page 0, through pack and
    // dump; a test keeps those of its pages and objects, and entries that
    // name nothing are not written.
    const QJsonObject pageSettings = QJsonDocument::fromJson(R"({"pages":[{"page":0,
        "timeLimit":30,"objects":[{"object":1,"shuffle":true}]}]})")
                                         .object();
    json.insert(QStringLiteral("extensions"), pageSettings);
    EXPECT_EXIT(m_folder.Pack(QStringLiteral("page.json"), json,
                              FilePath(QStringLiteral("page-settings.cvp"))),
                0);
    const TRun pageDump =
        Corvtool({QStringLiteral("dump"), FilePath(QStringLiteral("page-settings.cvp"))});
    EXPECT_EXIT(pageDump, 0);
    QCOMPARE(ParseObject(pageDump.Out, &error).value(QStringLiteral("extensions")).toObject(),
             pageSettings);
    QJsonObject test = ParseObject(dump.Out, &error);
    QJsonObject testSettings = pageSettings;
    QJsonArray entries = testSettings.value(QStringLiteral("pages")).toArray();
    QJsonObject entry = entries.at(0).toObject();
    entry.insert(QStringLiteral("page"), 3);
    entries = {entry, QJsonObject{{QStringLiteral("page"), 8}, {QStringLiteral("timeLimit"), 9}}};
    testSettings.insert(QStringLiteral("pages"), entries);
    test.insert(QStringLiteral("extensions"), testSettings);
    const TRun testPack = m_folder.Pack(QStringLiteral("test-settings.json"), test,
                                        FilePath(QStringLiteral("test-settings.cvl")));
    EXPECT_EXIT(testPack, 0);
    QVERIFY2(testPack.Err.contains(
                 QStringLiteral("settings for page 9, which the test does not have; not written")),
             qPrintable(testPack.Err));
    const TRun testDump =
        Corvtool({QStringLiteral("dump"), FilePath(QStringLiteral("test-settings.cvl"))});
    entries.removeLast();
    testSettings.insert(QStringLiteral("pages"), entries);
    QCOMPARE(ParseObject(testDump.Out, &error).value(QStringLiteral("extensions")).toObject(),
             testSettings);

    json.insert(QStringLiteral("extensions"), true);
    const TRun refused =
        m_folder.Pack(QStringLiteral("page.json"), json, FilePath(QStringLiteral("page.cvp")));
    EXPECT_EXIT(refused, 1);
    QVERIFY2(refused.Err.contains(QStringLiteral("\"extensions\" must be a JSON object")),
             qPrintable(refused.Err));
}

// Every setting of an input box (the demo's, on its fourth page), with a key
// of a later version, through pack, dump, pack and resave, byte for byte.
void TestCorvtoolDump::inputBoxSettingsRoundTrip()
{
    const TRun plainDump = Corvtool({QStringLiteral("dump"), m_demo.Path});
    EXPECT_EXIT(plainDump, 0);
    QString error;
    QJsonObject json = ParseObject(plainDump.Out, &error);
    const QJsonObject box =
        json.value(QStringLiteral("pages"))[3][QStringLiteral("objects")][4].toObject();
    QCOMPARE(box.value(QStringLiteral("class")).toString(), QStringLiteral("TQZVnosnoOkno"));
    const QJsonObject settings = QJsonDocument::fromJson(R"({"pages":[{"page":3,"objects":[
        {"object":5,"ignoreSpaces":true,"ignoreAccents":true,"editDistance":2,
         "numberTolerance":0.125,"penalty":0.25,"later":[1]}]}]})")
                                     .object();
    json.insert(QStringLiteral("extensions"), settings);
    const QString packed = FilePath(QStringLiteral("input-settings.cvl"));
    const TRun pack = m_folder.Pack(QStringLiteral("input-settings.json"), json, packed);
    EXPECT_EXIT(pack, 0);
    QVERIFY2(pack.Err.isEmpty(), qPrintable(pack.Err));
    const QByteArray bytes = ReadFile(packed);
    QVERIFY(bytes.startsWith(m_demo.Bytes) && bytes.size() > m_demo.Bytes.size());

    const TRun dump = Corvtool({QStringLiteral("dump"), packed});
    EXPECT_EXIT(dump, 0);
    QCOMPARE(ParseObject(dump.Out, &error).value(QStringLiteral("extensions")).toObject(),
             settings);
    const QString dumped = FilePath(QStringLiteral("input-settings-dumped.json"));
    QVERIFY(WriteFile(dumped, dump.Out));
    const QString repacked = FilePath(QStringLiteral("input-settings-repacked.cvl"));
    EXPECT_EXIT(Corvtool({QStringLiteral("pack"), dumped, QStringLiteral("-o"), repacked}), 0);
    QCOMPARE(ReadFile(repacked), bytes);
    // Saving writes the pages as a save always has, and the block as read.
    const QString plainResaved = FilePath(QStringLiteral("input-plain-resaved.cvl"));
    EXPECT_EXIT(Corvtool({QStringLiteral("resave"), m_demo.Path, plainResaved}), 0);
    const QString resaved = FilePath(QStringLiteral("input-settings-resaved.cvl"));
    EXPECT_EXIT(Corvtool({QStringLiteral("resave"), packed, resaved}), 0);
    QCOMPARE(ReadFile(resaved), ReadFile(plainResaved) + bytes.mid(m_demo.Bytes.size()));
}

// ---------------------------------------------------------------------------
// Page files

void TestCorvtoolDump::pageFileRoundTrip()
{
    QByteArray picture = QByteArrayLiteral("\0\0\1\0\1\0");
    for (int i = 0; i < 200; ++i)
        picture += char(i * 7);
    const QByteArray ole =
        QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(64, '\x42');
    const QByteArray rtf = QByteArrayLiteral("{\\rtf1\\ansi One page\\par}");
    const QJsonArray objects{
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZBesedilo")},
                    {QStringLiteral("Left"), 10},
                    {QStringLiteral("Top"), 20},
                    {QStringLiteral("Text"), QStringLiteral("Hello")}},
        QJsonObject{
            {QStringLiteral("class"), QStringLiteral("TQZSlika")},
            {QStringLiteral("PictureKind"), 2},
            {QStringLiteral("payload"),
             QJsonObject{{QStringLiteral("base64"), QString::fromLatin1(picture.toBase64())}}}},
        // Saved as the frame height less two margins, so that a resave at
        // 2048 x 1536 leaves it as it is.
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZMemo")},
                    {QStringLiteral("Height"), 400},
                    {QStringLiteral("SavedEditHeight"), 400 - 2 * MarginAt2048},
                    {QStringLiteral("payload"),
                     QJsonObject{{QStringLiteral("text"), QString::fromLatin1(rtf)}}}},
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZOle")},
                    {QStringLiteral("IsEmpty"), 0},
                    {QStringLiteral("payload"),
                     QJsonObject{{QStringLiteral("base64"), QString::fromLatin1(ole.toBase64())}}}},
        QJsonObject{{QStringLiteral("class"), QStringLiteral("TQZOle")}},
    };
    const QJsonObject source{
        {QStringLiteral("format"), QStringLiteral("cvp")},
        {QStringLiteral("pages"),
         QJsonArray{QJsonObject{{QStringLiteral("pageName"), QStringLiteral("Single page")},
                                {QStringLiteral("correctTarget"), QStringLiteral("Next")},
                                {QStringLiteral("wrongTarget"), QStringLiteral("Again")},
                                {QStringLiteral("objects"), objects}}}},
    };
    const QString packed = FilePath(QStringLiteral("single.cvp"));
    const TRun pack = m_folder.Pack(QStringLiteral("single.json"), source, packed);
    EXPECT_EXIT(pack, 0);
    QVERIFY2(pack.Err.isEmpty(), qPrintable(pack.Err));

    // A page file is the page stream alone.
    const QByteArray bytes = ReadFile(packed);
    std::vector<TPageSpan> pages;
    QVERIFY(ReadPageFilePage(bytes, pages));
    QCOMPARE(pages[0].Name, QByteArray("Single page"));
    QCOMPARE(pages[0].ObjectCount, 5);
    const std::vector<TObjectSpan> &written = pages[0].Objects;
    QCOMPARE(written.size(), size_t(5));
    QCOMPARE(written[1].Payload, picture);
    QCOMPARE(written[2].Payload, rtf);
    QCOMPARE(written[3].Payload, ole);
    QVERIFY(!written[4].HasPayload);

    const TRun dump = Corvtool({QStringLiteral("dump"), packed});
    EXPECT_EXIT(dump, 0);
    QString error;
    const QJsonObject json = ParseObject(dump.Out, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(json.value(QStringLiteral("format")).toString(), QStringLiteral("cvp"));
    QVERIFY(!json.contains(QStringLiteral("test")));
    const QJsonArray dumpedPages = json.value(QStringLiteral("pages")).toArray();
    QCOMPARE(dumpedPages.size(), 1);
    QCOMPARE(dumpedPages.at(0).toObject().value(QStringLiteral("pageName")).toString(),
             QStringLiteral("Single page"));
    QCOMPARE(dumpedPages.at(0).toObject().value(QStringLiteral("objects")).toArray().size(), 5);

    const TRun info = Corvtool({QStringLiteral("info"), packed});
    EXPECT_EXIT(info, 0);
    QVERIFY2(info.Out.contains("Page file") && info.Out.contains("\"Single page\""),
             info.Out.constData());

    const QString resaved = FilePath(QStringLiteral("single-resaved.cvp"));
    const TRun resave = Corvtool({QStringLiteral("resave"), packed, resaved});
    EXPECT_EXIT(resave, 0);
    const QByteArray again = ReadFile(resaved);
    QVERIFY2(again == bytes, qPrintable(SizeAndDifference(bytes, again)));
}

// A picture of a kind that shows nothing keeps its bytes, and rich text that
// is not RTF reads as the text it is: dump describes both, resave keeps
// them.
void TestCorvtoolDump::payloadsThatShowNoPictureOrRtf()
{
    const QByteArray unknown = QByteArrayLiteral("kind 7\0bytes\xff");
    const auto memo = [](const QByteArray &payload) {
        return QJsonObject{
            {QStringLiteral("class"), QStringLiteral("TQZMemo")},
            {QStringLiteral("SavedEditHeight"), 200 - 2 * MarginAt2048},
            {QStringLiteral("payload"),
             QJsonObject{{QStringLiteral("base64"), QString::fromLatin1(payload.toBase64())}}}};
    };
    const QJsonArray objects{
        QJsonObject{
            {QStringLiteral("class"), QStringLiteral("TQZSlika")},
            {QStringLiteral("PictureKind"), 7},
            {QStringLiteral("payload"),
             QJsonObject{{QStringLiteral("base64"), QString::fromLatin1(unknown.toBase64())}}}},
        memo({}),
        memo("Plain \xe8"
             "a\r\nsecond line"),
        memo("{\\rtx not quite}"),
    };
    const QJsonObject source{
        {QStringLiteral("format"), QStringLiteral("cvp")},
        {QStringLiteral("pages"), QJsonArray{QJsonObject{{QStringLiteral("objects"), objects}}}},
    };
    const QString packed = FilePath(QStringLiteral("unshown.cvp"));
    EXPECT_EXIT(m_folder.Pack(QStringLiteral("unshown.json"), source, packed), 0);

    const TRun dump = Corvtool({QStringLiteral("dump"), packed});
    EXPECT_EXIT(dump, 0);
    QString error;
    const QJsonArray dumped = ParseObject(dump.Out, &error)
                                  .value(QStringLiteral("pages"))
                                  .toArray()
                                  .at(0)
                                  .toObject()
                                  .value(QStringLiteral("objects"))
                                  .toArray();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QJsonObject picture = dumped.at(0).toObject().value(QStringLiteral("payload")).toObject();
    QCOMPARE(picture.value(QStringLiteral("length")).toInt(), unknown.size());
    QCOMPARE(picture.value(QStringLiteral("sha256")).toString().toLatin1(), Sha256Hex(unknown));
    const auto textOf = [&dumped](int i) {
        const QJsonValue text = dumped.at(i).toObject().value(QStringLiteral("text"));
        return text.isString() ? text.toString() : QStringLiteral("<no text>");
    };
    QCOMPARE(textOf(1), QString());
    QCOMPARE(textOf(2), QStringLiteral("Plain \u010Da\nsecond line"));
    QCOMPARE(textOf(3), QStringLiteral("{\\rtx not quite}"));

    const QString resaved = FilePath(QStringLiteral("unshown-resaved.cvp"));
    EXPECT_EXIT(Corvtool({QStringLiteral("resave"), packed, resaved}), 0);
    const QByteArray before = ReadFile(packed);
    const QByteArray after = ReadFile(resaved);
    QVERIFY2(after == before, qPrintable(SizeAndDifference(before, after)));
}

QTEST_GUILESS_MAIN(TestCorvtoolDump)
#include "tst_corvtool_dump.moc"
