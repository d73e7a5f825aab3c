// The test document: its file, its page list, shuffling and the password.

#include "QZCodePage.h"
#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZStream.h"
#include "QZTestData.h"
#include "QZTestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <set>

namespace {

std::unique_ptr<TQZStran> NamedPage(const TQZNaloga &test, const QString &name)
{
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord(EncodeDefault(name), "(Forward)", "(Forward)"));
    return page;
}

std::unique_ptr<TQZNaloga> TestOfPages(const QStringList &names, TQZSurface *surface = nullptr)
{
    auto test = std::make_unique<TQZNaloga>(surface);
    test->TestRecord() = NewTestRecord();
    for (const QString &name : names)
        test->AddPage(NamedPage(*test, name));
    return test;
}

QStringList PageNames(const TQZNaloga &test)
{
    QStringList names;
    for (int i = 0; i < test.PageCount(); ++i)
        names << test.Page(i)->PageName();
    return names;
}

QStringList TenPages()
{
    return {QStringLiteral("/Intro"), QStringLiteral("A"), QStringLiteral("B"),
            QStringLiteral("C"),      QStringLiteral("D"), QStringLiteral("E"),
            QStringLiteral("F"),      QStringLiteral("G"), QStringLiteral("H"),
            QStringLiteral("/End")};
}

void WriteFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray ReadFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class Naloga : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestLoading = false;
        Saved = true;
    }

    void emptyTestIsItsHeaderAlone()
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("empty.cvl"));
        TQZNaloga test;
        test.TestRecord() = NewTestRecord();
        test.SaveTestFile(name);
        const QByteArray bytes = ReadFile(name);
        QCOMPARE(bytes.size(), 2400);
        QCOMPARE(RecordFromBytes<TTestRecord>(bytes).PageCount.Get(), 0);
        QVERIFY(Saved);

        TQZNaloga loaded;
        loaded.LoadTestFile(name);
        QCOMPARE(loaded.PageCount(), 0);
        QCOMPARE(loaded.Title(), QStringLiteral("Untitled"));
        QVERIFY(TestLoading);
    }

    void headerBytesSurviveASave()
    {
        auto header = NewTestRecord();
        header.Title.SetBytes("A much longer stale title");
        header.Title.SetBytes("Quiz");
        header.FileVersion = 512;
        header.Reserved = 0x33;
        header.Padding[1] = 0x44;
        header.Comments[3].Chars[200] = 'z';
        const QByteArray original = RecordToBytes(header);
        TQZNaloga test;
        test.LoadFromBytes(original);
        const QByteArray saved = test.ToBytes();
        QCOMPARE(saved.size(), 2400);
        const auto written = RecordFromBytes<TTestRecord>(saved);
        QCOMPARE(written.FileVersion.Get(), 768);
        QCOMPARE(written.Reserved, quint8(0));
        QCOMPARE(written.Banner.Bytes(), FileBanner);
        // Everything after the version and reserved byte is as it was read.
        QCOMPARE(saved.mid(56, 31), original.mid(56, 31));
        QCOMPARE(saved.mid(88), original.mid(88));
    }

    void versions_data()
    {
        QTest::addColumn<qint32>("version");
        QTest::addColumn<bool>("loads");
        QTest::newRow("256") << 256 << true;
        QTest::newRow("512") << 512 << true;
        QTest::newRow("768") << 768 << true;
        QTest::newRow("769") << 769 << false;
    }

    void versions()
    {
        QFETCH(qint32, version);
        QFETCH(bool, loads);
        // One page of each layout, with one button.
        auto header = NewTestRecord();
        header.FileVersion = version;
        header.PageCount = 1;
        QByteArray bytes = RecordToBytes(header);
        auto button = RecordFromBytes<TGumbRecord>(NewObjectRecord(ObjGumb));
        if (version > 512) {
            auto page = NewPageRecord("Only", "", "");
            page.ObjectCount = 1;
            page.ObjectTypes[0] = ObjGumb;
            bytes += RecordToBytes(page);
        } else {
            auto page = ZeroRecord<TOldPageRecord>();
            page.PageName.SetBytes("Only");
            page.ObjectCount = 1;
            page.ObjectTypes[0] = ObjGumb;
            bytes += RecordToBytes(page);
        }
        bytes += RecordToBytes(button);

        TQZNaloga test;
        if (!loads) {
            try {
                test.LoadFromBytes(bytes);
                QFAIL("a newer file loaded");
            } catch (const TQZNewerVersionError &error) {
                QCOMPARE(error.Cause(), QStringLiteral("Get the newer version of the program!"));
                QCOMPARE(error.Version(), 769);
            }
            return;
        }
        test.LoadFromBytes(bytes);
        QCOMPARE(test.PageCount(), 1);
        QCOMPARE(test.Page(0)->PageName(), QStringLiteral("Only"));
        QCOMPARE(test.Page(0)->ObjectCount(), 1);
        QCOMPARE(FileVersion, 768); // back after reading
    }

    void pageListOperations()
    {
        TFakeSurface surface;
        auto test = TestOfPages({QStringLiteral("P1"), QStringLiteral("P2"), QStringLiteral("P3"),
                                 QStringLiteral("P4"), QStringLiteral("P5")},
                                &surface);
        test->GoToPage(3);
        QCOMPARE(test->CurrentIndex(), 3);

        // Deleting a page before the one shown keeps the same page shown.
        test->DeletePage(1);
        QCOMPARE(test->CurrentIndex(), 2);
        QCOMPARE(test->CurrentPage()->PageName(), QStringLiteral("P4"));
        test->DeletePage(3);
        QCOMPARE(test->CurrentIndex(), 2);

        // Inserting puts the new page before the one shown and names it current.
        test->InsertPage(NamedPage(*test, QStringLiteral("New")));
        QCOMPARE(PageNames(*test), (QStringList{QStringLiteral("P1"), QStringLiteral("P3"),
                                                QStringLiteral("New"), QStringLiteral("P4")}));
        QCOMPARE(test->CurrentPage()->PageName(), QStringLiteral("New"));
        QVERIFY(!Saved);
    }

    void goingToPages()
    {
        TFakeSurface surface;
        auto test = TestOfPages({QStringLiteral("P1"), QStringLiteral("P2")}, &surface);
        ScoreEarned = 5;
        ScoreMax = 7;
        test->GoToPage(1);
        QCOMPARE(ScoreEarned, 5);
        test->GoToPage(2); // the page count: nothing happens
        QCOMPARE(test->CurrentIndex(), 1);
        QCOMPARE(test->PreviousIndex(), 0);
        QCOMPARE(ScoreMax, 7);
        test->GoToPage(-1);
        QCOMPARE(test->CurrentIndex(), 1);
        test->GoToPage(0);
        QCOMPARE(ScoreEarned, 0);
        QCOMPARE(ScoreMax, 0);
        QCOMPARE(test->CurrentIndex(), 0);
        QCOMPARE(test->PreviousIndex(), 1);

        // Page 0 clears the score even when nothing can be shown.
        TQZNaloga empty;
        ScoreEarned = 3;
        empty.GoToPage(0);
        QCOMPARE(ScoreEarned, 0);
    }

    void movingPages()
    {
        TFakeSurface surface;
        auto test = TestOfPages(
            {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")},
            &surface);
        test->MovePage(0, 2);
        QCOMPARE(PageNames(*test), (QStringList{QStringLiteral("B"), QStringLiteral("C"),
                                                QStringLiteral("A"), QStringLiteral("D")}));
        QCOMPARE(test->CurrentIndex(), 2);
        test->MovePage(2, 4); // past the last page: nothing
        QCOMPARE(test->Page(2)->PageName(), QStringLiteral("A"));
        test->MovePage(3, 0);
        QCOMPARE(PageNames(*test), (QStringList{QStringLiteral("D"), QStringLiteral("B"),
                                                QStringLiteral("C"), QStringLiteral("A")}));
        QCOMPARE(test->CurrentIndex(), 0);
    }

    void findingPages()
    {
        auto test = TestOfPages(
            {QStringLiteral("Page 1"), QStringLiteral("Page 2"), QStringLiteral(" Page 2 ")});
        QCOMPARE(test->FindPage(QStringLiteral("  Page 2 ")), 1);
        QCOMPARE(test->FindPage(QStringLiteral("Page 2\t")), 1);
        QCOMPARE(test->FindPage(QStringLiteral("page 2")), 3);
        QCOMPARE(test->FindPage(QString()), 3);
        QVERIFY(!test->PageExists(QStringLiteral("Page 3")));
        QVERIFY(test->PageExists(QStringLiteral("Page 1")));
    }

    void duplicatingPages()
    {
        auto test = SampleTest({QStringLiteral("Quiz"), QString(250, QLatin1Char('n'))});
        const int objects = test->Page(0)->ObjectCount();
        test->DuplicatePage(0);
        QCOMPARE(test->PageCount(), 3);
        QCOMPARE(test->Page(2)->PageName(), QStringLiteral("Copy of Quiz"));
        QCOMPARE(test->Page(2)->ObjectCount(), objects);
        // The copy writes the same stream but for its name.
        QCOMPARE(test->PageToBytes(2).mid(256), test->PageToBytes(0).mid(256));
        QCOMPARE(test->Page(2)->Objects()[size_t(ObjMemo)]->Payload(),
                 test->Page(0)->Objects()[size_t(ObjMemo)]->Payload());
        test->DuplicatePage(1);
        QCOMPARE(test->Page(3)->PageName(),
                 QStringLiteral("Copy of ") + QString(247, QLatin1Char('n')));
    }

    void pageFiles()
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("page.cvp"));
        auto source = SampleTest({QStringLiteral("Saved page")});
        source->SavePageToFile(0, name);
        QCOMPARE(ReadFile(name), source->PageToBytes(0));

        // Bytes after the page stream are ignored.
        WriteFile(name, ReadFile(name) + "trailing bytes");
        auto test = TestOfPages({QStringLiteral("First")});
        test->LoadPageFromFile(name);
        QCOMPARE(test->PageCount(), 2);
        QCOMPARE(test->Page(1)->PageName(), QStringLiteral("Saved page"));
        QCOMPARE(test->PageToBytes(1), source->PageToBytes(0));

        // A damaged page file changes nothing.
        WriteFile(name, source->PageToBytes(0).left(2000));
        try {
            test->LoadPageFromFile(name);
            QFAIL("a damaged page file loaded");
        } catch (const TQZFileError &error) {
            QCOMPARE(error.FileName(), name);
        }
        QCOMPARE(test->PageCount(), 2);
    }

    void wholeTestRoundTrips()
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("sample.cvl"));
        auto test = SampleTest({QStringLiteral("One"), QStringLiteral("Two")});
        test->SaveTestFile(name);
        TQZNaloga loaded;
        QList<int> progress;
        TLoadOptions options;
        options.Progress = [&progress](int loaded, int total) {
            QCOMPARE(total, 2);
            progress << loaded;
        };
        loaded.LoadTestFile(name, options);
        QCOMPARE(progress, (QList<int>{1, 2}));
        QCOMPARE(loaded.ToBytes(), ReadFile(name));
    }

    void failedSaveKeepsTheOldFile()
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("kept.cvl"));
        auto test = SampleTest({QStringLiteral("Good")});
        test->SaveTestFile(name);
        const QByteArray before = ReadFile(name);

        auto *failing = static_cast<TFakeObject *>(
            test->Page(0)->AddObject(std::make_unique<TFakeObject>(ObjGumb)));
        failing->FailOnSave = true;
        QVERIFY(!Saved);
        QVERIFY_THROWS_EXCEPTION(TQZFileError, test->SaveTestFile(name));
        QVERIFY(!Saved);
        QCOMPARE(ReadFile(name), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("kept.cvl")});

        // A folder that does not exist: the error names the file.
        failing->FailOnSave = false;
        const QString nowhere = folder.filePath(QStringLiteral("no/such/folder/t.cvl"));
        try {
            test->SaveTestFile(nowhere);
            QFAIL("saved into a folder that does not exist");
        } catch (const TQZFileError &error) {
            QCOMPARE(error.FileName(), nowhere);
            QVERIFY(!error.Cause().isEmpty());
        }
    }

    void missingFilesAreNamed()
    {
        TQZNaloga test;
        const QString name = QStringLiteral("/nonexistent/folder/test.cvl");
        try {
            test.LoadTestFile(name);
            QFAIL("a missing file loaded");
        } catch (const TQZFileError &error) {
            QCOMPARE(error.FileName(), name);
            QVERIFY(error.Message().startsWith(name));
        }
    }

    void shuffleArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("shuffle");
        QTest::addColumn<bool>("thin");
        const QString program = QStringLiteral("corvview");
        const QString file = QStringLiteral("t.cvl");
        QTest::newRow("file only") << QStringList{program, file} << false << false;
        QTest::newRow("/R") << QStringList{program, file, QStringLiteral("/R")} << true << false;
        QTest::newRow("/Random") << QStringList{program, file, QStringLiteral("/Random")} << true
                                 << false;
        QTest::newRow("/r") << QStringList{program, file, QStringLiteral("/r")} << false << false;
        QTest::newRow("-R") << QStringList{program, file, QStringLiteral("-R")} << false << false;
        QTest::newRow("/R 3") << QStringList{program, file, QStringLiteral("/R"),
                                             QStringLiteral("3")}
                              << true << true;
        QTest::newRow("/R 3 x") << QStringList{program, file, QStringLiteral("/R"),
                                               QStringLiteral("3"), QStringLiteral("x")}
                                << true << false;
    }

    void shuffleArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, shuffle);
        QFETCH(bool, thin);
        const auto options = TShuffleOptions::FromArguments(arguments);
        QCOMPARE(options.Shuffle, shuffle);
        QCOMPARE(options.Thin, thin);
    }

    void shufflingKeepsFixedPages()
    {
        std::set<QStringList> orders;
        for (unsigned seed = 1; seed <= 20; ++seed) {
            auto test = TestOfPages(TenPages());
            std::mt19937 random(seed);
            TShuffleOptions options;
            options.Shuffle = true;
            test->Shuffle(options, random);
            const QStringList names = PageNames(*test);
            QCOMPARE(names.first(), QStringLiteral("/Intro"));
            QCOMPARE(names.last(), QStringLiteral("/End"));
            QStringList sorted = names;
            sorted.sort();
            QStringList expected = TenPages();
            expected.sort();
            QCOMPARE(sorted, expected);
            QCOMPARE(test->ShuffleList().size(), size_t(8));
            orders.insert(names);
        }
        QVERIFY(orders.size() > 10); // the pages really move
    }

    void thinningOut_data()
    {
        QTest::addColumn<QString>("keep");
        QTest::addColumn<int>("pages");
        QTest::newRow("3") << QStringLiteral("3") << 5;
        QTest::newRow("0") << QStringLiteral("0") << 2;
        QTest::newRow("50") << QStringLiteral("50") << 10;
        QTest::newRow("negative") << QStringLiteral("-4") << 2;
    }

    void thinningOut()
    {
        QFETCH(QString, keep);
        QFETCH(int, pages);
        auto test = TestOfPages(TenPages());
        std::mt19937 random(7);
        TShuffleOptions options;
        options.Shuffle = options.Thin = true;
        options.KeepCount = keep;
        test->Shuffle(options, random);
        QCOMPARE(test->PageCount(), pages);
        QCOMPARE(test->Page(0)->PageName(), QStringLiteral("/Intro"));
        QCOMPARE(test->Page(pages - 1)->PageName(), QStringLiteral("/End"));
        QCOMPARE(int(test->ShuffleList().size()), pages - 2);
    }

    void badPageCountIsAnErrorAfterShuffling()
    {
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("ten.cvl"));
        TestOfPages(TenPages())->SaveTestFile(name);
        TQZNaloga test;
        std::mt19937 random(3);
        TLoadOptions options;
        options.Random = &random;
        options.Shuffle = TShuffleOptions::FromArguments(
            {QStringLiteral("corvview"), name, QStringLiteral("/R"), QStringLiteral("three")});
        try {
            test.LoadTestFile(name, options);
            QFAIL("a page count that is no number was taken");
        } catch (const TQZFileError &error) {
            QCOMPARE(error.FileName(), name);
            QVERIFY(error.Cause().contains(QStringLiteral("three")));
        }
        QCOMPARE(test.PageCount(), 10); // loaded and shuffled, not thinned
    }

    void editPassword()
    {
        QCOMPARE(TQZNaloga::PasswordValue(QString()), QByteArray());
        // MD5("ABC") = 902FBDD2B1DF0C4F70B4A5D23525E932; digits 5 to 19.
        QCOMPARE(TQZNaloga::PasswordValue(QStringLiteral("abc")), QByteArray("BDD2B1DF0C4F70B"));
        QCOMPARE(TQZNaloga::PasswordValue(QStringLiteral("ABC")), QByteArray("BDD2B1DF0C4F70B"));
        // Only a to z are folded: a password with "č" differs from one with "Č".
        QVERIFY(TQZNaloga::PasswordValue(QStringLiteral("č")) !=
                TQZNaloga::PasswordValue(QStringLiteral("Č")));
        const QByteArray value = TQZNaloga::PasswordValue(QStringLiteral("Geslo123"));
        QCOMPARE(value.size(), 15);
        for (char c : value)
            QVERIFY((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));

        TQZNaloga test;
        QVERIFY(test.CheckEditPassword(QStringLiteral("anything")));
        test.SetEditPassword(QStringLiteral("secret"));
        QVERIFY(test.HasEditPassword());
        QVERIFY(test.CheckEditPassword(QStringLiteral("SECRET")));
        QVERIFY(!test.CheckEditPassword(QStringLiteral("secret ")));
        QCOMPARE(test.TestRecord().EditPassword.Length, quint8(15));
    }
};

CORVELLA_TEST(Naloga);

#include "tst_Naloga.moc"
