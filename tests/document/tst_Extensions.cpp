// The settings block after the last page of a test file: written only when a
// setting differs from its default, kept through loading and saving, and a
// damaged or newer block never stops a test from opening.

#include "QZAssessment.h"
#include "QZNaloga.h"
#include "QZStream.h"
#include "QZTestData.h"
#include "QZTestMain.h"
#include "QZTestSettings.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// A block laid out by hand: magic, version, length, JSON, SHA-256.
QByteArray Block(const QByteArray &json, quint16 version = 1, qint64 length = -1)
{
    QByteArray block("CVLXTND", 8);
    char field[4];
    qToLittleEndian<quint16>(version, field);
    block.append(field, 2);
    qToLittleEndian<quint32>(quint32(length < 0 ? json.size() : length), field);
    block.append(field, 4);
    return block + json + QCryptographicHash::hash(json, QCryptographicHash::Sha256);
}

QByteArray Pages() { return SampleTestFile({QStringLiteral("One"), QStringLiteral("Two")}); }

std::unique_ptr<TQZNaloga> Loaded(const QByteArray &bytes)
{
    auto test = std::make_unique<TQZNaloga>();
    test->LoadFromBytes(bytes);
    return test;
}

} // namespace

class Extensions : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestLoading = false;
        Saved = true;
    }

    // A test that keeps every default has no block, and its file is the
    // pages alone, through loading, saving and setting the defaults.
    void defaultsWriteNoBlock()
    {
        const QByteArray pages = Pages();
        auto test = Loaded(pages);
        QVERIFY(test->Extensions().isEmpty());
        QVERIFY(test->ExtensionProblem().isEmpty());
        QCOMPARE(test->ToBytes(), pages);

        test->SetExtensions({{AskStudentNameKey, false}, {RecordAttemptsKey, true}});
        QCOMPARE(test->ToBytes(), pages);
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("plain.cvl"));
        test->SaveTestFile(name);
        QCOMPARE(ReadWholeFile(name), pages);
    }

    // Settings are written as the block after the last page, unknown keys
    // and all, and read back; an untouched file saves byte for byte.
    void settingsRoundTrip()
    {
        const QByteArray pages = Pages();
        auto test = Loaded(pages);
        const QJsonObject settings{{AskStudentNameKey, true},
                                   {RecordAttemptsKey, true}, // the default: not written
                                   {QStringLiteral("timeLimit"), 90},
                                   {QStringLiteral("later"), QJsonArray{1, QStringLiteral("ž")}}};
        Saved = true;
        test->SetExtensions(settings);
        QVERIFY(!Saved);
        const QByteArray json = R"({"askStudentName":true,"later":[1,"ž"],"timeLimit":90})";
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("set.cvl"));
        test->SaveTestFile(name);
        QCOMPARE(ReadWholeFile(name), pages + Block(json));

        auto again = std::make_unique<TQZNaloga>();
        again->LoadTestFile(name);
        QCOMPARE(again->PageCount(), 2);
        QVERIFY(again->ExtensionProblem().isEmpty());
        QCOMPARE(again->Extensions().value(QStringLiteral("later")),
                 settings.value(QStringLiteral("later")));
        const auto read = TTestSettings::FromJson(again->Extensions());
        QVERIFY(read.AskStudentName);
        QVERIFY(read.RecordAttempts);
        QCOMPARE(again->ToBytes(), pages + Block(json));

        // A block another writer laid out otherwise is kept as it is while
        // the settings stay, and written afresh once they change.
        const QByteArray spaced = "{ \"recordAttempts\" : false }";
        auto foreign = Loaded(pages + Block(spaced));
        QCOMPARE(foreign->Extensions(), (QJsonObject{{RecordAttemptsKey, false}}));
        foreign->SetExtensions(foreign->Extensions());
        QCOMPARE(foreign->ToBytes(), pages + Block(spaced));
        foreign->SetExtensions({});
        QCOMPARE(foreign->ToBytes(), pages);
    }

    void damagedBlocks_data()
    {
        QTest::addColumn<QByteArray>("trailing");
        QTest::addColumn<QString>("problem"); // empty: no block at all
        const QByteArray json = R"({"askStudentName":true})";
        const QByteArray good = Block(json);
        QTest::newRow("not ours") << QByteArray("trailing bytes") << QString();
        QTest::newRow("cut in the magic")
            << good.left(5) << QStringLiteral("the file ends inside the settings block");
        QTest::newRow("cut in the length")
            << good.left(12) << QStringLiteral("the file ends inside the settings block");
        QTest::newRow("version 0") << Block(json, 0) << QStringLiteral("has format 0");
        QTest::newRow("length past the end")
            << Block(json, 1, 1000) << QStringLiteral("says it holds 1000 bytes");
        QTest::newRow("cut in the checksum")
            << good.chopped(1) << QStringLiteral("runs past the end of the file");
        QByteArray flipped = good;
        flipped[20] = 'A';
        QTest::newRow("checksum") << flipped << QStringLiteral("checksum");
        QTest::newRow("bad JSON") << Block(R"({"askStudentName":tru})")
                                  << QStringLiteral("is not valid JSON");
        QTest::newRow("bad UTF-8")
            << Block("{\"a\":\"\xff\xfe\"}") << QStringLiteral("is not valid JSON");
        QTest::newRow("not an object") << Block("[true]") << QStringLiteral("holds no JSON object");
    }

    // A damaged block leaves the defaults and is reported; the pages are
    // whole, and saving writes no block.
    void damagedBlocks()
    {
        QFETCH(QByteArray, trailing);
        QFETCH(QString, problem);
        const QByteArray pages = Pages();
        auto test = Loaded(pages + trailing);
        QCOMPARE(test->PageCount(), 2);
        QVERIFY(test->Extensions().isEmpty());
        if (problem.isEmpty())
            QCOMPARE(test->ExtensionProblem(), QString());
        else
            QVERIFY2(test->ExtensionProblem().contains(problem) &&
                         test->ExtensionProblem().endsWith(
                             QStringLiteral(": the test is read with the default settings")),
                     qPrintable(test->ExtensionProblem()));
        QCOMPARE(test->ToBytes(), pages);
    }

    // A block of a newer format: its settings are not used, and it is
    // written back as read until the settings are changed; putting the old
    // block back restores it.
    void newerBlockIsKept()
    {
        const QByteArray pages = Pages();
        const QByteArray newer = QByteArray("CVLXTND\0\x02\0whatever", 18);
        auto test = Loaded(pages + newer);
        QVERIFY(test->Extensions().isEmpty());
        QVERIFY2(test->ExtensionProblem().contains(QStringLiteral("format 2, newer")),
                 qPrintable(test->ExtensionProblem()));
        QCOMPARE(test->ToBytes(), pages + newer);
        test->SetExtensions({});
        QCOMPARE(test->ToBytes(), pages + newer);

        const TExtensionBlock kept = test->ExtensionBlock();
        test->SetExtensions({{AskStudentNameKey, true}});
        QCOMPARE(test->ToBytes(), pages + Block(R"({"askStudentName":true})"));
        test->SetExtensionBlock(kept);
        QCOMPARE(test->ToBytes(), pages + newer);
    }

    // Values of the wrong type read as defaults and are kept, and reported.
    void typedSettings()
    {
        QJsonObject json{{AskStudentNameKey, QStringLiteral("yes")},
                         {RecordAttemptsKey, false},
                         {QStringLiteral("other"), 1}};
        TTestSettings settings = TTestSettings::FromJson(json);
        QCOMPARE(settings.AskStudentName, false);
        QCOMPARE(settings.RecordAttempts, false);
        QCOMPARE(TTestSettings::Faults(json),
                 QStringList{QStringLiteral("the setting \"askStudentName\" is neither true nor "
                                            "false: the default, false, is used")});
        TTestSettings::DropDefaults(json);
        QCOMPARE(json.size(), 3);

        settings.AskStudentName = true;
        settings.RecordAttempts = true;
        settings.ToJson(json);
        QCOMPARE(json, (QJsonObject{{AskStudentNameKey, true}, {QStringLiteral("other"), 1}}));
    }

    // The assessment settings: every default writes nothing, values of the
    // wrong type or out of range read as defaults and are reported, and
    // unknown keys stay.
    void assessmentSettings()
    {
        const QJsonObject unknown{{QStringLiteral("later"), 1}};
        QJsonObject json = unknown;
        TChoicesSettings{}.ToJson(json);
        TInputSettings{}.ToJson(json);
        TAlternativeSettings{}.ToJson(json);
        TPageSettings{}.ToJson(json);
        QCOMPARE(json, unknown);

        TChoicesSettings choices{true, {1, 6}, TChoiceScoring::Partial, 0.25};
        choices.ToJson(json);
        QCOMPARE(QJsonDocument(json).toJson(QJsonDocument::Compact),
                 R"({"fixed":[1,6],"later":1,"penalty":0.25,"scoring":"partial","shuffle":true})");
        QCOMPARE(TChoicesSettings::FromJson(json), choices);
        TInputSettings input{true, true, 2, 0.0, 0};
        QJsonObject inputJson;
        input.ToJson(inputJson);
        QCOMPARE(QJsonDocument(inputJson).toJson(QJsonDocument::Compact),
                 R"({"editDistance":2,"ignoreAccents":true,"ignoreSpaces":true,)"
                 R"("numberTolerance":0})");
        QCOMPARE(TInputSettings::FromJson(inputJson), input);

        const QJsonObject wrong =
            QJsonDocument::fromJson(R"({"shuffle":1,"fixed":[2,9],"scoring":"most","penalty":2,)"
                                    R"("editDistance":1.5,"numberTolerance":-1,"timeLimit":0})")
                .object();
        QCOMPARE(TChoicesSettings::FromJson(wrong), (TChoicesSettings{false, {2}, {}, 0}));
        QCOMPARE(TInputSettings::FromJson(wrong), TInputSettings{});
        QCOMPARE(TTestSettings::FromJson(wrong).TimeLimit, 0);
        QCOMPARE(TChoicesSettings::Faults(wrong),
                 (QStringList{
                     QStringLiteral("the setting \"shuffle\" is not true or false: the default, "
                                    "false, is used"),
                     QStringLiteral("the setting \"fixed\" is not a list of choice numbers from "
                                    "1 to 6: the default, the numbers among them, is used"),
                     QStringLiteral("the setting \"scoring\" is not \"perChoice\", "
                                    "\"allOrNothing\" or \"partial\": the default, "
                                    "\"perChoice\", is used"),
                     QStringLiteral("the setting \"penalty\" is not a fraction above 0 up to 1: "
                                    "the default, no penalty, is used")}));
        QCOMPARE(TInputSettings::Faults(wrong).mid(0, 2),
                 (QStringList{QStringLiteral("the setting \"editDistance\" is not a whole "
                                             "number from 0 to 10: the default, 0, is used"),
                              QStringLiteral("the setting \"numberTolerance\" is not a number "
                                             "of 0 or more: the default, answers compared as "
                                             "text, is used")}));
        QCOMPARE(TTestSettings::Faults(wrong),
                 QStringList{QStringLiteral("the setting \"timeLimit\" is not a whole number of "
                                            "seconds from 1 to 86400: the default, no limit, is "
                                            "used")});
    }

    // Settings of pages and objects are held by them once read, so they
    // follow their page or object when it moves, is copied or goes through a
    // page file; entries that name nothing are reported and dropped.
    void pageAndObjectSettingsTravel()
    {
        const QByteArray json =
            R"({"pages":[{"objects":[{"object":2,"shuffle":true}],"page":1,"timeLimit":60},)"
            R"({"page":7,"timeLimit":5},{"objects":[{"object":99}],"page":0}]})";
        auto test = Loaded(Pages() + Block(json));
        QCOMPARE(test->ExtensionOrphans(),
                 (QStringList{QStringLiteral("settings for page 8, which the test does not have"),
                              QStringLiteral("page 1: settings for object 99, which the page "
                                             "does not have")}));
        QVERIFY(test->Extensions().isEmpty());
        TQZStran *two = test->Page(1);
        QCOMPARE(two->Extra(), (QJsonObject{{QStringLiteral("timeLimit"), 60}}));
        QCOMPARE(two->Objects().at(1)->Extra(), (QJsonObject{{QStringLiteral("shuffle"), true}}));
        const QByteArray kept =
            Block(R"({"pages":[{"objects":[{"object":2,"shuffle":true}],"page":1,)"
                  R"("timeLimit":60}]})");
        QCOMPARE(test->ToBytes(), Pages() + kept);

        // Page Two first, and its object one place down: the entry follows.
        test->InsertPageAt(0, test->TakePage(1));
        auto object = two->TakeObject(two->Objects().at(1)->Tag());
        two->InsertObject(2, std::move(object));
        QCOMPARE(test->GatheredExtensions(),
                 QJsonDocument::fromJson(R"({"pages":[{"objects":[{"object":3,"shuffle":true}],)"
                                         R"("page":0,"timeLimit":60}]})")
                     .object());

        // A duplicate and a page file carry the page's settings (not the
        // test's); a page file of a page without settings is the page alone.
        test->SetExtensions({{AskStudentNameKey, true}});
        test->DuplicatePage(0);
        QCOMPARE(test->Page(2)->ExtraEntry(), two->ExtraEntry());
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("page.cvp"));
        test->SavePageToFile(0, name);
        QCOMPARE(ReadWholeFile(name),
                 test->PageToBytes(0) +
                     Block(R"({"pages":[{"objects":[{"object":3,"shuffle":true}],"page":0,)"
                           R"("timeLimit":60}]})"));
        test->LoadPageFromFile(name);
        QCOMPARE(test->Page(3)->ExtraEntry(), two->ExtraEntry());
        test->SavePageToFile(1, name);
        QCOMPARE(ReadWholeFile(name), test->PageToBytes(1));
    }
};

CORVELLA_TEST(Extensions);

#include "tst_Extensions.moc"
