// corvtool check: the problems it lists in test files built here, the files
// it cannot open, hostile payloads that must be refused quickly and within
// bounded memory, and clip names that lead out of the test's folder.

#include "QZCheck.h"
#include "QZNaloga.h"
#include "QZOleObject.h"
#include "QZOpenWatch.h"
#include "QZRecords.h"
#include "QZStream.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

namespace {

const QString CorvtoolPath = QStringLiteral(CORVTOOL_PATH);

QString CorpusSound()
{
    return QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/media/sox_alaw_8000.wav");
}

// Runs `corvtool check` in `folder`: its exit code, output and errors.
std::tuple<int, QString, QString> RunCheck(const QStringList &arguments, const QString &folder = {})
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // check needs no screen
    tool.setProcessEnvironment(environment);
    tool.setWorkingDirectory(folder);
    tool.start(CorvtoolPath, QStringList{QStringLiteral("check")} + arguments);
    if (!tool.waitForFinished(60000))
        qFatal("corvtool check did not finish");
    return std::tuple(tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
                      QString::fromUtf8(tool.readAllStandardError()));
}

template<typename Record> Record Zero() { return ZeroRecord<Record>(); }

QByteArray Latin(const char *text) { return QByteArray(text); }

template<typename Record>
TQZRecordObject *Add(TQZStran &page, int tag, const Record &record, const QByteArray &payload = {})
{
    auto object = std::make_unique<TQZRecordObject>(tag, RecordToBytes(record));
    object->SetPayload(payload);
    return static_cast<TQZRecordObject *>(page.AddObject(std::move(object)));
}

TQZStran &AddPage(TQZNaloga &test, const char *name, const char *right = "", const char *wrong = "")
{
    auto page = test.NewPage();
    TPageRecord record = page->PageRecord();
    record.PageName.SetBytes(Latin(name));
    record.CorrectTarget.SetBytes(Latin(right));
    record.WrongTarget.SetBytes(Latin(wrong));
    page->SetPageRecord(record);
    TQZStran &added = *page;
    test.AddPage(std::move(page));
    return added;
}

void AddButton(TQZStran &page, quint8 kind, const char *target = "")
{
    auto button = Zero<TGumbRecord>();
    button.Width = 100;
    button.Height = 30;
    button.ButtonKind = kind;
    button.TargetPage.SetBytes(Latin(target));
    Add(page, ObjGumb, button);
}

void AddChoices(TQZStran &page, std::initializer_list<int> right, bool single = false)
{
    auto choices = Zero<TIzbireRecord>();
    choices.Width = 300;
    choices.ChoiceCount = 3;
    choices.SingleAnswer = single;
    for (const int number : right)
        choices.CorrectSet.Include(number);
    Add(page, ObjIzbire, choices);
}

void AddInputBox(TQZStran &page, const char *answer)
{
    auto box = Zero<TVnosnoOknoRecord>();
    box.Width = 200;
    box.AnswerCount = 2;
    box.Answers[2].SetBytes(Latin(answer));
    Add(page, ObjVnosnoOkno, box);
}

void AddPicture(TQZStran &page, const QByteArray &bytes)
{
    auto picture = Zero<TSlikaRecord>();
    picture.Width = 50;
    picture.Height = 50;
    Add(page, ObjSlika, picture, bytes);
}

void AddMemo(TQZStran &page, const QByteArray &rtf)
{
    auto memo = Zero<TMemoRecord>();
    memo.Width = 200;
    memo.Height = 100;
    Add(page, ObjMemo, memo, rtf);
}

void AddOle(TQZStran &page, const QByteArray &stream)
{
    auto ole = Zero<TOleRecord>();
    ole.Width = 100;
    ole.Height = 100;
    Add(page, ObjOle, ole, stream);
}

void AddClip(TQZStran &page, const QString &clip)
{
    auto media = Zero<TMediaRecord>();
    media.MediaFile.SetBytes(clip.toLatin1());
    media.Width = 100;
    media.Height = 100;
    Add(page, ObjMedia, media);
}

// A bitmap file header and info header claiming width x height at 24 bits,
// followed by `pixels` bytes.
QByteArray BitmapHeader(qint32 width, qint32 height, int pixels = 16)
{
    QByteArray bmp(54 + pixels, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(quint32(bmp.size()), bmp.data() + 2);
    qToLittleEndian<quint32>(54, bmp.data() + 10);
    qToLittleEndian<quint32>(40, bmp.data() + 14);
    qToLittleEndian<qint32>(width, bmp.data() + 18);
    qToLittleEndian<qint32>(height, bmp.data() + 22);
    qToLittleEndian<quint16>(1, bmp.data() + 26);
    qToLittleEndian<quint16>(24, bmp.data() + 28);
    return bmp;
}

// An OLE package object whose storage's directory chain leads back to itself.
QByteArray OleWithChainCycle()
{
    QByteArray storage = MakePackageStorage(QStringLiteral("notes.txt"), "some notes");
    const quint32 fatSector = qFromLittleEndian<quint32>(storage.constData() + 0x4C);
    const quint32 directory = qFromLittleEndian<quint32>(storage.constData() + 0x30);
    qToLittleEndian<quint32>(directory, storage.data() + (fatSector + 1) * 512 + 4 * directory);
    return TOleObject::MakeStream(OleAspectContent, storage);
}

// A settings block laid out by hand: magic, version, length, JSON, SHA-256.
QByteArray SettingsBlock(const QByteArray &json, quint16 version = 1)
{
    QByteArray block("CVLXTND", 8);
    char field[4];
    qToLittleEndian<quint16>(version, field);
    block.append(field, 2);
    qToLittleEndian<quint32>(quint32(json.size()), field);
    block.append(field, 4);
    return block + json + QCryptographicHash::hash(json, QCryptographicHash::Sha256);
}

struct TResult
{
    int Status;
    QStringList Lines;
    QString Errors;
};

TResult Check(const QString &fileName)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = CheckFile(fileName, outStream, errStream);
    return {status, out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), err};
}

} // namespace

class TestCheck : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;

    QString Save(TQZNaloga &test, const QString &name)
    {
        const QString fileName = m_folder.filePath(name);
        test.SaveTestFile(fileName);
        return fileName;
    }

    QString Write(const QString &name, const QByteArray &bytes)
    {
        const QString fileName = m_folder.filePath(name);
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(fileName));
        file.write(bytes);
        return fileName;
    }

private slots:
    void init() { TestLoading = false; }

    void soundTestHasNoProblems()
    {
        QFile::remove(m_folder.filePath(QStringLiteral("chime.wav")));
        QVERIFY(QFile::copy(CorpusSound(), m_folder.filePath(QStringLiteral("chime.wav"))));

        TQZNaloga test;
        TQZStran &start = AddPage(test, "Start");
        AddButton(start, 0);
        AddClip(start, QStringLiteral("chime.wav")); // beside the test
        AddMemo(start, "{\\rtf1 Welcome}");
        TQZStran &quiz = AddPage(test, "Quiz", "(Forward)", "Start");
        AddChoices(quiz, {2});
        AddChoices(quiz, {1, 3}, false);
        AddInputBox(quiz, "Ljubljana");
        AddPicture(quiz, BitmapHeader(2, 2));
        AddButton(quiz, 2);
        TQZStran &end = AddPage(test, "End");
        AddButton(end, 4);
        AddButton(end, 3, " start ");
        // Reached through the Page button's target only.
        AddPage(test, "start");

        const TResult result = Check(Save(test, QStringLiteral("sound.cvl")));
        QCOMPARE(result.Lines, QStringList());
        QCOMPARE(result.Errors, QString());
        QCOMPARE(result.Status, 0);
    }

    void everyKindOfProblemIsListed()
    {
        TQZNaloga test;
        TQZStran &start = AddPage(test, "Start");
        AddButton(start, 3, "Nowhere");
        AddButton(start, 0);
        TQZStran &quiz = AddPage(test, "Quiz", "Missing", "");
        AddChoices(quiz, {});
        AddChoices(quiz, {1, 2}, true);
        AddChoices(quiz, {5}); // right, but not among the three shown
        AddInputBox(quiz, "   ");
        AddPicture(quiz, BitmapHeader(100000, 100000));
        AddMemo(quiz, "plain text, not rich text"); // shown as plain text: no problem
        AddOle(quiz, OleWithChainCycle());
        AddClip(quiz, QStringLiteral("http://example.com/a.wav"));
        AddClip(quiz, QStringLiteral("/dev/zero"));
        AddClip(quiz, QStringLiteral("missing.wav"));
        AddButton(quiz, 2);
        AddPage(test, "Lost");

        const TResult result = Check(Save(test, QStringLiteral("problems.cvl")));
        QCOMPARE(result.Status, 1);
        QCOMPARE(result.Errors, QString());
        const QStringList expected = {
            QStringLiteral("page 1 \"Start\", object 1 (button): the button goes to page "
                           "\"Nowhere\", which does not exist"),
            QStringLiteral("page 2 \"Quiz\": after right answers the page goes to page "
                           "\"Missing\", which does not exist"),
            QStringLiteral("page 2 \"Quiz\": the page is confirmed but names no page to go to "
                           "after wrong answers"),
            QStringLiteral("page 2 \"Quiz\", object 1 (choices): no right choice is marked"),
            QStringLiteral("page 2 \"Quiz\", object 2 (choices): 2 choices are marked right, but "
                           "only one can be chosen"),
            QStringLiteral("page 2 \"Quiz\", object 3 (choices): no right choice is marked"),
            QStringLiteral("page 2 \"Quiz\", object 4 (input box): no accepted answer is given"),
            QStringLiteral("page 2 \"Quiz\", object 5 (picture): the picture cannot be read: the "
                           "bitmap's size is impossible"),
        };
        QCOMPARE(result.Lines.mid(0, expected.size()), expected);
        const QStringList rest = result.Lines.mid(expected.size());
        QCOMPARE(rest.size(), 5);
        QVERIFY2(rest[0].startsWith(QStringLiteral(
                     "page 2 \"Quiz\", object 7 (OLE object): the OLE object cannot be read: ")),
                 qPrintable(rest[0]));
        QCOMPARE(rest[1], QStringLiteral("page 2 \"Quiz\", object 8 (multimedia): the clip "
                                         "\"http://example.com/a.wav\" is not a file: addresses "
                                         "and devices are never opened"));
        QCOMPARE(rest[2], QStringLiteral("page 2 \"Quiz\", object 9 (multimedia): the clip "
                                         "\"/dev/zero\" is not a file: addresses and devices are "
                                         "never opened"));
        QCOMPARE(rest[3], QStringLiteral("page 2 \"Quiz\", object 10 (multimedia): the clip "
                                         "\"missing.wav\" cannot be found or opened"));
        QCOMPARE(rest[4], QStringLiteral("page 3 \"Lost\": no button or target leads to this "
                                         "page from the first page"));
        QCOMPARE(Check(Save(test, QStringLiteral("problems.cvl"))).Lines.size(), 13);
    }

    void unreachablePages()
    {
        TQZNaloga test;
        TQZStran &first = AddPage(test, "First", "Third", "Third");
        AddButton(first, 2);
        AddPage(test, "Second");
        TQZStran &third = AddPage(test, "Third");
        AddButton(third, 1); // Back leads only where the student has been
        const TResult result = Check(Save(test, QStringLiteral("flow.cvl")));
        QCOMPARE(result.Lines,
                 QStringList{QStringLiteral("page 2 \"Second\": no button or target leads to "
                                            "this page from the first page")});
        QCOMPARE(result.Status, 1);
    }

    void filesThatCannotBeOpened_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        auto header = ZeroRecord<TTestRecord>();
        header.FileVersion = CurrentFileVersion;
        header.PageCount = 2147483647;
        QTest::newRow("2147483647 pages in a short file")
            << RecordToBytes(header) + QByteArray(5000, '\0');

        header.PageCount = 1;
        auto page = ZeroRecord<TPageRecord>();
        page.ObjectCount = 100000;
        QTest::newRow("100000 objects") << RecordToBytes(header) + RecordToBytes(page);

        page.ObjectCount = 1;
        page.ObjectTypes[0] = ObjMemo;
        auto memo = ZeroRecord<TMemoRecord>();
        memo.RtfLength = 2147483647;
        QTest::newRow("a payload of 2 GB")
            << RecordToBytes(header) + RecordToBytes(page) + RecordToBytes(memo) + "{\\rtf1 x}";

        header.FileVersion = CurrentFileVersion + 1;
        QTest::newRow("newer version") << RecordToBytes(header);
        QTest::newRow("empty") << QByteArray();
    }

    void filesThatCannotBeOpened()
    {
        QFETCH(QByteArray, bytes);
        const QString fileName = Write(QStringLiteral("broken.cvl"), bytes);
        const TResult result = Check(fileName);
        QCOMPARE(result.Status, 2);
        QCOMPARE(result.Lines, QStringList());
        QVERIFY2(result.Errors.startsWith(QStringLiteral("corvtool: ") + fileName +
                                          QStringLiteral(": ")),
                 qPrintable(result.Errors));
        QCOMPARE(Check(m_folder.filePath(QStringLiteral("absent.cvl"))).Status, 2);
    }

    // Headers that promise far more than the file holds are refused before
    // anything is allocated from them.
    void hostilePicturesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("100000 x 100000") << BitmapHeader(100000, 100000);
        QTest::newRow("6000 x 6000 in 70 bytes") << BitmapHeader(6000, 6000);
        QByteArray runLength = BitmapHeader(6000, 6000, 4);
        qToLittleEndian<quint16>(8, runLength.data() + 28);
        qToLittleEndian<quint32>(1, runLength.data() + 30);
        QTest::newRow("run-length 6000 x 6000 in 58 bytes") << runLength;
    }

    void hostilePicturesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        TQZNaloga test;
        AddPicture(AddPage(test, "Only"), bytes);
        const TResult result = Check(Save(test, QStringLiteral("picture.cvl")));
        QCOMPARE(result.Status, 1);
        QCOMPARE(result.Lines.size(), 1);
        QVERIFY2(result.Lines[0].contains(QStringLiteral("the picture cannot be read")),
                 qPrintable(result.Lines[0]));
    }

    void settingsBlock_data()
    {
        QTest::addColumn<QByteArray>("trailing");
        QTest::addColumn<QString>("line"); // empty: nothing to report
        const QString defaults = QStringLiteral(": the test is read with the default settings");
        QTest::newRow("good") << SettingsBlock(R"({"askStudentName":true,"x":1})") << QString();
        QTest::newRow("not a block") << QByteArray("left over") << QString();
        QByteArray flipped = SettingsBlock(R"({"askStudentName":true})");
        flipped[16] = 'X';
        QTest::newRow("checksum") << flipped
                                  << QStringLiteral("the checksum of the settings block after the "
                                                    "last page does not match its contents") +
                                         defaults;
        QTest::newRow("newer") << SettingsBlock("{}", 2)
                               << QStringLiteral("the settings block after the last page is of "
                                                 "format 2, newer than this program reads (1): its "
                                                 "settings are not used, and it is saved back as "
                                                 "it is");
        QTest::newRow("wrong type") << SettingsBlock(R"({"recordAttempts":0})")
                                    << QStringLiteral("the setting \"recordAttempts\" is neither "
                                                      "true nor false: the default, true, is used");
        QTest::newRow("settings of a missing object")
            << SettingsBlock(R"({"pages":[{"page":0,"objects":[{"object":1},{"object":2}]}]})")
            << QStringLiteral("page 1: settings for object 2, which the page does not have: they "
                              "are dropped when the test is saved");
    }

    // The settings block is checked before the pages, and its problems come
    // first; the test opens whatever the block holds. (Every kind of damage
    // is read in the document's own tests.)
    void settingsBlock()
    {
        QFETCH(QByteArray, trailing);
        QFETCH(QString, line);
        TQZNaloga test;
        TQZStran &only = AddPage(test, "Only");
        AddChoices(only, {}); // a page problem, listed after the block's
        const QString name = Save(test, QStringLiteral("settings.cvl"));
        const QString fileName =
            Write(QStringLiteral("settings.cvl"), ReadWholeFile(name) + trailing);
        const QString pageLine =
            QStringLiteral("page 1 \"Only\", object 1 (choices): no right choice is marked");
        const TResult result = Check(fileName);
        QCOMPARE(result.Errors, QString());
        QCOMPARE(result.Status, 1);
        const QStringList expected =
            line.isEmpty() ? QStringList{pageLine} : QStringList{line, pageLine};
        QCOMPARE(result.Lines, expected);
    }

    // Input box settings that cannot work as meant: an edit distance that
    // reaches the length of an accepted answer as compared (after spaces
    // and accents go; numbers in numeric mode are compared by value), and
    // values of the wrong type.
    void inputBoxSettings()
    {
        TQZNaloga test;
        TQZStran &page = AddPage(test, "Words");
        const auto addBox = [&page](std::initializer_list<const char *> answers,
                                    const char *settings) {
            auto box = Zero<TVnosnoOknoRecord>();
            box.Width = 200;
            box.AnswerCount = qint32(answers.size());
            int slot = 0;
            for (const char *answer : answers)
                box.Answers[++slot].SetBytes(Latin(answer));
            Add(page, ObjVnosnoOkno, box)
                ->SetExtra(QJsonDocument::fromJson(QByteArray(settings)).object());
        };
        addBox({"Oslo", "Rome", "Paris"}, R"({"editDistance": 4})");
        addBox({"a b c"}, R"({"editDistance": 3, "ignoreSpaces": true})");
        addBox({"a b c"}, R"({"editDistance": 3})");
        addBox({"3.14", "pi"}, R"({"editDistance": 2, "numberTolerance": 0.1})");
        addBox({"Rome"}, R"({"ignoreAccents": "yes", "editDistance": 11})");
        addBox({"Rome"}, "{}");

        const TResult result = Check(Save(test, QStringLiteral("input.cvl")));
        const QString box = QStringLiteral("page 1 \"Words\", object %1 (input box): ");
        const QString reach =
            QStringLiteral("an edit distance of %1 accepts any answer as short as accepted "
                           "answer %2");
        QCOMPARE(result.Lines,
                 (QStringList{
                     box.arg(1) + reach.arg(4).arg(1),
                     box.arg(1) + reach.arg(4).arg(2),
                     box.arg(2) + reach.arg(3).arg(1),
                     box.arg(4) + reach.arg(2).arg(2),
                     box.arg(5) + QStringLiteral("the setting \"ignoreAccents\" is not true or "
                                                 "false: the default, false, is used"),
                     box.arg(5) + QStringLiteral("the setting \"editDistance\" is not a whole "
                                                 "number from 0 to 10: the default, 0, is used"),
                 }));
        QCOMPARE(result.Status, 1);
    }

    void commandLine()
    {
        TQZNaloga test;
        AddPage(test, "Only");
        const QString sound = Save(test, QStringLiteral("one.cvl"));
        AddPage(test, "Other");
        const QString unreached = Save(test, QStringLiteral("two.cvl"));
        const QString broken = Write(QStringLiteral("cut.cvl"), QByteArray(100, '\0'));

        const auto run = [](const QStringList &arguments) {
            return RunCheck(arguments);
        };
        QCOMPARE(run({sound}), std::tuple(0, QString(), QString()));
        QCOMPARE(run({unreached}),
                 std::tuple(1,
                            QStringLiteral("page 2 \"Other\": no button or target leads to this "
                                           "page from the first page\n"),
                            QString()));
        const auto [status, out, err] = run({broken});
        QCOMPARE(status, 2);
        QCOMPARE(out, QString());
        QVERIFY2(err.startsWith(QStringLiteral("corvtool: ") + broken + QStringLiteral(": ")),
                 qPrintable(err));
        QCOMPARE(std::get<0>(run({})), 2);
    }

    // Each clip name that leads out of the test's folder is listed, and
    // nothing outside the folder is opened or read, not even the good clip
    // in the folder corvtool runs in.
    void clipsOutsideTheFolder()
    {
        const QString outside = m_folder.filePath(QStringLiteral("outside"));
        const QString folder = m_folder.filePath(QStringLiteral("clipped"));
        QVERIFY(QDir().mkpath(outside) && QDir().mkpath(folder + QStringLiteral("/clips")));
        const QString sentinel = outside + QStringLiteral("/sentinel.wav");
        QVERIFY(QFile::copy(CorpusSound(), sentinel));
        QVERIFY(QFile::copy(CorpusSound(), folder + QStringLiteral("/clips/chime.wav")));
        QVERIFY(QFile::link(QStringLiteral("../outside/sentinel.wav"),
                            folder + QStringLiteral("/link.wav")));
        QVERIFY(QFile::link(outside, folder + QStringLiteral("/linked")));
        QVERIFY(::mkfifo(QFile::encodeName(folder + QStringLiteral("/pipe.wav")).constData(),
                         0600) == 0);
        {
            QFile words(folder + QStringLiteral("/words.wav"));
            QVERIFY(words.open(QIODevice::WriteOnly));
            words.write("Only words here.\n");
        }

        TQZNaloga test;
        TQZStran &page = AddPage(test, "Clips");
        for (const QString &clip :
             {QStringLiteral("clips\\Chime.WAV"), QStringLiteral("../outside/sentinel.wav"),
              sentinel, QStringLiteral("sentinel.wav"), QStringLiteral("link.wav"),
              QStringLiteral("linked\\sentinel.wav"), QStringLiteral("quiz.cvl"),
              QStringLiteral("pipe.wav"), QStringLiteral("words.wav")})
            AddClip(page, clip);
        const QString fileName = folder + QStringLiteral("/quiz.cvl");
        test.SaveTestFile(fileName);

        TQZOpenWatch watch(outside);
        QVERIFY(watch.IsWatching());
        const auto [status, out, err] = RunCheck({fileName}, outside);
        const QString object =
            QStringLiteral("page 1 \"Clips\", object %1 (multimedia): the clip ");
        const QString inside =
            QStringLiteral(": only clips in the test's folder or a folder below it are opened");
        const QStringList expected = {
            object.arg(2) +
                QStringLiteral("\"../outside/sentinel.wav\" lies outside the test's "
                               "folder") +
                inside,
            object.arg(3) + QLatin1Char('"') + sentinel +
                QStringLiteral("\" is named by a full path") + inside,
            object.arg(4) + QStringLiteral("\"sentinel.wav\" cannot be found or opened"),
            object.arg(5) + QStringLiteral("\"link.wav\" lies outside the test's folder") + inside,
            object.arg(6) +
                QStringLiteral("\"linked\\sentinel.wav\" lies outside the test's folder") + inside,
            object.arg(7) +
                QStringLiteral("\"quiz.cvl\" is not a sound, video or MIDI file by its extension"),
            object.arg(8) +
                QStringLiteral("\"pipe.wav\" is a folder, a device or a pipe, not a file"),
            object.arg(9) + QStringLiteral("\"words.wav\" does not hold what its extension says"),
        };
        QCOMPARE(out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
        QCOMPARE(err, QString());
        QCOMPARE(status, 1);
        QCOMPARE(watch.Touched(), QStringList());
    }
};

QTEST_MAIN(TestCheck)

#include "tst_check.moc"
