// corvtool run as a separate program. The files it is given are written here
// byte by byte, and the files it writes are read back the same way, so that
// the document library never checks itself.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <array>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

namespace {

const QString CorvtoolPath = QStringLiteral(CORVTOOL_PATH);
const QString DemoSource = QStringLiteral(CORVELLA_EXAMPLES_DIR "/Demo.json");

// ---------------------------------------------------------------------------
// The file layout, as far as these tests need it.

constexpr int TestRecordSize = 2400;
constexpr int BannerEnd = 52; // the banner, rewritten on every save
constexpr int FileVersionAt = 52;
constexpr int PageCountAt = 2396;
constexpr int PageRecordSize = 1292;
constexpr int ObjectCountAt = 768;
constexpr int ObjectTypesAt = 772;
constexpr int MaxObjects = 512;
constexpr qint32 CurrentVersion = 768;

constexpr int TagMemo = 5;
constexpr int TagPicture = 6;
constexpr int TagOle = 8;
// Fixed record size of each type tag; tag 9 is the page record, no object.
constexpr std::array<int, 11> RecordSizes = {2384, 900, 536, 544, 548, 28, 24, 376, 32, 0, 804};
constexpr std::array<int, 10> ObjectTags = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10};

constexpr int MemoHeightAt = 12;
constexpr int RtfLengthAt = 20;
constexpr int SavedEditHeightAt = 24;
constexpr int PictureKindAt = 17;
constexpr int PictureLengthAt = 20;
constexpr int OleIsEmptyAt = 0;
constexpr int OleLengthAt = 28;
constexpr int TextAt = 16; // Text of the transparent text record

// The inner box of a rich text frame is the frame less a margin above and
// below; the margin is 0.625 % of the screen width, 13 pixels at 2048.
constexpr qint32 MarginAt2048 = 13;

qint32 Int32At(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<qint32>(data.constData() + at);
}

void SetInt32At(QByteArray &data, qsizetype at, qint32 value)
{
    qToLittleEndian<qint32>(value, data.data() + at);
}

// The meaningful bytes of a string[N] at `at`.
QByteArray ShortStringAt(const QByteArray &data, qsizetype at)
{
    return data.mid(at + 1, quint8(data.at(at)));
}

struct TObjectSpan
{
    int Tag;
    qsizetype RecordAt;
    bool HasPayload;
    QByteArray Payload;
};

struct TPageSpan
{
    qsizetype RecordAt;
    QByteArray Name;
    qint32 ObjectCount;
    std::vector<TObjectSpan> Objects;
};

// Walks `count` page streams from `at` as a reader of the format does. Returns
// the offset after the last one, or -1 when the data does not hold them.
qsizetype WalkPages(const QByteArray &data, qsizetype at, int count, std::vector<TPageSpan> &pages)
{
    for (int p = 0; p < count; ++p) {
        if (at + PageRecordSize > data.size())
            return -1;
        TPageSpan page{at, ShortStringAt(data, at), Int32At(data, at + ObjectCountAt), {}};
        if (page.ObjectCount < 0 || page.ObjectCount > MaxObjects)
            return -1;
        const qsizetype types = at + ObjectTypesAt;
        at += PageRecordSize;
        for (int i = 0; i < page.ObjectCount; ++i) {
            const int tag = quint8(data.at(types + i));
            const int size = tag < int(RecordSizes.size()) ? RecordSizes[size_t(tag)] : 0;
            if (size == 0)
                continue;
            if (at + size > data.size())
                return -1;
            TObjectSpan object{tag, at, false, {}};
            at += size;
            qint32 length = 0;
            if (tag == TagMemo) {
                object.HasPayload = true;
                length = Int32At(data, object.RecordAt + RtfLengthAt);
            } else if (tag == TagPicture) {
                object.HasPayload = true;
                length = Int32At(data, object.RecordAt + PictureLengthAt);
            } else if (tag == TagOle && data.at(object.RecordAt + OleIsEmptyAt) == 0) {
                object.HasPayload = true;
                length = Int32At(data, object.RecordAt + OleLengthAt);
            }
            if (object.HasPayload) {
                if (length < 0 || at + length > data.size())
                    return -1;
                object.Payload = data.mid(at, length);
                at += length;
            }
            page.Objects.push_back(std::move(object));
        }
        pages.push_back(std::move(page));
    }
    return at;
}

// The pages of a whole test file; false unless they fill it exactly.
bool ReadTestFilePages(const QByteArray &data, std::vector<TPageSpan> &pages)
{
    if (data.size() < TestRecordSize)
        return false;
    return WalkPages(data, TestRecordSize, Int32At(data, PageCountAt), pages) == data.size();
}

// The single page of a page file; false unless it fills the file exactly.
bool ReadPageFilePage(const QByteArray &data, std::vector<TPageSpan> &pages)
{
    return WalkPages(data, 0, 1, pages) == data.size();
}

qsizetype FirstDifference(const QByteArray &a, const QByteArray &b)
{
    const qsizetype common = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i)
        if (a.at(i) != b.at(i))
            return i;
    return a.size() == b.size() ? -1 : common;
}

QString SizeAndDifference(const QByteArray &expected, const QByteArray &actual)
{
    const qsizetype at = FirstDifference(expected, actual);
    if (at < 0)
        return {};
    return QStringLiteral("%1 bytes expected, %2 written; first difference at byte %3")
        .arg(expected.size())
        .arg(actual.size())
        .arg(at);
}

// ---------------------------------------------------------------------------
// A test file as another program may have written it: every byte that no
// field fixes is random (string tails, padding, reserved bytes, type tags
// past the object count, booleans other than 0 and 1), and every field that
// frames the data is consistent.

class TForeignTestFile
{
public:
    struct TMemo
    {
        qsizetype SavedEditHeightAt;
        qint32 Height;
    };
    struct TObject
    {
        int Tag;
        bool HasPayload;
        QByteArray Payload;
    };

    explicit TForeignTestFile(quint32 seed)
        : m_random(seed)
    {
        Build();
    }

    const QByteArray &Data() const { return m_data; }
    const std::vector<TMemo> &Memos() const { return m_memos; }
    const std::vector<std::vector<TObject>> &Pages() const { return m_pages; }
    int OleCount(bool empty) const { return empty ? m_emptyOles : m_fullOles; }

    // What lies at a byte offset, for failure messages.
    QString Describe(qsizetype at) const
    {
        for (const TRegion &region : m_regions)
            if (at >= region.At && at < region.At + region.Size)
                return QStringLiteral("%1, byte %2 of it").arg(region.What).arg(at - region.At);
        return QStringLiteral("past the end");
    }

private:
    struct TRegion
    {
        qsizetype At;
        qsizetype Size;
        QString What;
    };

    struct TStringField
    {
        int Offset;
        int Capacity;
        int Count = 1;
    };

    // The string fields of each record; font names stand 4 bytes into their
    // font records.
    static std::vector<TStringField> StringFields(int tag)
    {
        switch (tag) {
        case 0: return {{12, 255}, {270, 255, 6}, {1848 + 4, 255}, {2116 + 4, 255}};
        case 1: return {{16, 100, 6}, {632 + 4, 255}};
        case 2: return {{20, 255}, {276, 255}};
        case 3: return {{16, 255}, {276 + 4, 255}};
        case 4: return {{16, 255}, {272 + 4, 255}};
        case 7: return {{0, 100}, {101, 255}};
        case 10: return {{16, 255}, {272 + 4, 255}, {544, 255}};
        default: return {};
        }
    }

    // Offsets of the boolean bytes of each record.
    static std::vector<int> BoolFields(int tag)
    {
        switch (tag) {
        case 0: return {269};
        case 1: return {622};
        case 2: return {12};
        default: return {};
        }
    }

    quint32 Next() { return quint32(m_random()); }
    int Between(int low, int high) { return low + int(Next() % quint32(high - low + 1)); }

    QByteArray RandomBytes(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(Next() & 0xFF);
        return bytes;
    }

    // A random length within the capacity; the characters and the tail stay
    // the random bytes already there.
    void RandomLength(qsizetype at, int capacity) { m_data[at] = char(Between(0, capacity)); }

    qsizetype AppendRandom(int size, const QString &what)
    {
        const qsizetype at = m_data.size();
        m_data += RandomBytes(size);
        m_regions.push_back({at, size, what});
        return at;
    }

    void Shuffle(std::vector<int> &tags)
    {
        for (size_t i = tags.size(); i > 1; --i)
            std::swap(tags[i - 1], tags[size_t(Next() % i)]);
    }

    std::vector<int> EveryTagShuffled(std::initializer_list<int> extra)
    {
        std::vector<int> tags(ObjectTags.begin(), ObjectTags.end());
        tags.insert(tags.end(), extra);
        Shuffle(tags);
        return tags;
    }

    void Build()
    {
        std::vector<std::vector<int>> pages;
        pages.push_back(EveryTagShuffled({TagOle, TagMemo, TagPicture}));
        pages.push_back({});
        std::vector<int> picked;
        for (int i = 0; i < 20; ++i)
            picked.push_back(ObjectTags[Next() % ObjectTags.size()]);
        pages.push_back(picked);
        pages.push_back(EveryTagShuffled({TagOle}));

        AppendRandom(TestRecordSize, QStringLiteral("the test header"));
        RandomLength(0, 51);   // banner
        RandomLength(56, 30);  // edit password
        RandomLength(88, 255); // title
        for (int i = 0; i < 8; ++i)
            RandomLength(344 + 256 * i, 255);
        SetInt32At(m_data, FileVersionAt, CurrentVersion);
        m_data[87] = 0;
        SetInt32At(m_data, PageCountAt, qint32(pages.size()));

        for (size_t p = 0; p < pages.size(); ++p)
            WritePage(int(p), pages[p]);
    }

    void WritePage(int index, const std::vector<int> &tags)
    {
        const QString where = QStringLiteral("page %1").arg(index + 1);
        const qsizetype at = AppendRandom(PageRecordSize, where + QStringLiteral(" record"));
        for (int name = 0; name < 3; ++name)
            RandomLength(at + 256 * name, 255);
        SetInt32At(m_data, at + ObjectCountAt, qint32(tags.size()));
        for (size_t i = 0; i < tags.size(); ++i)
            m_data[at + ObjectTypesAt + qsizetype(i)] = char(tags[i]);
        m_pages.emplace_back();
        for (size_t i = 0; i < tags.size(); ++i)
            WriteObject(
                tags[i],
                QStringLiteral("%1 object %2 (type %3)").arg(where).arg(i + 1).arg(tags[i]));
    }

    void WriteObject(int tag, const QString &where)
    {
        const qsizetype at =
            AppendRandom(RecordSizes[size_t(tag)], where + QStringLiteral(" record"));
        for (const TStringField &field : StringFields(tag))
            for (int i = 0; i < field.Count; ++i)
                RandomLength(at + field.Offset + i * (field.Capacity + 1), field.Capacity);
        static constexpr std::array<quint8, 4> boolValues = {0x00, 0x01, 0x5A, 0xFF};
        for (int offset : BoolFields(tag))
            m_data[at + offset] = char(boolValues[Next() % boolValues.size()]);

        TObject object{tag, false, {}};
        switch (tag) {
        case TagMemo: {
            // A height the inner box can be taken from without overflow.
            const qint32 height = Between(-200, 5000);
            SetInt32At(m_data, at + MemoHeightAt, height);
            m_memos.push_back({at + SavedEditHeightAt, height});
            object.HasPayload = true;
            object.Payload = RandomBytes(Between(0, 700));
            SetInt32At(m_data, at + RtfLengthAt, qint32(object.Payload.size()));
            break;
        }
        case TagPicture:
            m_data[at + PictureKindAt] = char(Between(0, 2));
            object.HasPayload = true;
            object.Payload = RandomBytes(Between(0, 700));
            SetInt32At(m_data, at + PictureLengthAt, qint32(object.Payload.size()));
            break;
        case TagOle:
            // Full and empty frames take turns; an empty frame's length field
            // holds whatever its writer left there.
            if ((m_fullOles + m_emptyOles) % 2 == 0) {
                ++m_fullOles;
                m_data[at + OleIsEmptyAt] = 0;
                object.HasPayload = true;
                object.Payload = RandomBytes(Between(0, 700));
                SetInt32At(m_data, at + OleLengthAt, qint32(object.Payload.size()));
            } else {
                ++m_emptyOles;
                m_data[at + OleIsEmptyAt] = 1;
                SetInt32At(m_data, at + OleLengthAt, qint32(Next()));
            }
            break;
        default: break;
        }
        if (object.HasPayload) {
            m_regions.push_back(
                {m_data.size(), object.Payload.size(), where + QStringLiteral(" payload")});
            m_data += object.Payload;
        }
        m_pages.back().push_back(std::move(object));
    }

    std::mt19937 m_random;
    QByteArray m_data;
    std::vector<TMemo> m_memos;
    std::vector<std::vector<TObject>> m_pages;
    std::vector<TRegion> m_regions;
    int m_fullOles = 0;
    int m_emptyOles = 0;
};

constexpr quint32 ForeignSeed = 0x5EED0768u;

// ---------------------------------------------------------------------------
// Running corvtool.

struct TRun
{
    int ExitCode = -1; // -1: did not start, crashed or hung
    QByteArray Out;
    QString Err;
};

// The environment of the test without a code page setting of the developer's.
QProcessEnvironment CleanEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("CORVELLA_CODEPAGE"));
    return environment;
}

TRun Corvtool(const QStringList &arguments,
              const QProcessEnvironment &environment = CleanEnvironment())
{
    TRun run;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(CorvtoolPath, arguments);
    if (!process.waitForStarted(10000)) {
        run.Err = QStringLiteral("corvtool did not start: ") + process.errorString();
        return run;
    }
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        run.Err = QStringLiteral("corvtool did not finish");
        return run;
    }
    run.Out = process.readAllStandardOutput();
    run.Err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        run.ExitCode = process.exitCode();
    else
        run.Err.prepend(QStringLiteral("corvtool crashed; "));
    return run;
}

#define EXPECT_EXIT(run, code)                                                                     \
    QVERIFY2((run).ExitCode == (code), qPrintable(QStringLiteral("exit code %1, expected %2; "     \
                                                                 "stderr: %3")                     \
                                                      .arg((run).ExitCode)                         \
                                                      .arg(code)                                   \
                                                      .arg((run).Err)))

bool WriteFile(const QString &fileName, const QByteArray &data)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray ReadFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject ParseObject(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        *error = parseError.errorString();
    else if (!document.isObject())
        *error = QStringLiteral("not a JSON object");
    return document.object();
}

QByteArray Sha256Hex(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

} // namespace

class TestCorvtool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void resaveKeepsForeignFile();
    void dumpFramesForeignPayloads();

    void packDumpPackIsStable();
    void dumpDescribesDemo();
    void dumpConvertsToScreen_data();
    void dumpConvertsToScreen();
    void infoListsTitleAndPages();

    void errorsAreReported_data();
    void errorsAreReported();
    void refusedFileLeavesOutputAlone();

    void packWarnsAboutLostCharacters();
    void defaultCodePageFromEnvironment();
    void pageFileRoundTrip();

private:
    QString FilePath(const QString &name) const { return m_dir.filePath(name); }
    void WriteDamagedFiles();
    // Packs a JSON document held in memory into `output`.
    TRun Pack(const QString &name, const QJsonObject &json, const QString &output,
              const QProcessEnvironment &environment = CleanEnvironment());

    QTemporaryDir m_dir;
    QString m_demo; // examples/Demo.json packed
    QByteArray m_demoBytes;
    QJsonObject m_demoSource;
};

TRun TestCorvtool::Pack(const QString &name, const QJsonObject &json, const QString &output,
                        const QProcessEnvironment &environment)
{
    const QString source = FilePath(name);
    if (!WriteFile(source, QJsonDocument(json).toJson())) {
        TRun failed;
        failed.Err = QStringLiteral("cannot write ") + source;
        return failed;
    }
    return Corvtool({QStringLiteral("pack"), source, QStringLiteral("-o"), output}, environment);
}

void TestCorvtool::initTestCase()
{
    QVERIFY2(QFileInfo(CorvtoolPath).isExecutable(), qPrintable(CorvtoolPath));
    QVERIFY(m_dir.isValid());

    QString error;
    m_demoSource = ParseObject(ReadFile(DemoSource), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    m_demo = FilePath(QStringLiteral("Demo.cvl"));
    const TRun run = Corvtool({QStringLiteral("pack"), DemoSource, QStringLiteral("-o"), m_demo});
    EXPECT_EXIT(run, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    m_demoBytes = ReadFile(m_demo);
    WriteDamagedFiles();
}

// Damaged and newer copies of the packed demo, and other files that commands
// must refuse.
void TestCorvtool::WriteDamagedFiles()
{
    const auto file = [this](const char *name) {
        return FilePath(QLatin1String(name));
    };
    std::vector<TPageSpan> pages;
    QVERIFY(ReadTestFilePages(m_demoBytes, pages));
    qsizetype rtfAt = -1;
    for (const TPageSpan &page : pages)
        for (const TObjectSpan &object : page.Objects)
            if (object.Tag == TagMemo)
                rtfAt = object.RecordAt + RecordSizes[TagMemo];
    QVERIFY(rtfAt > 0);
    QByteArray newerBytes = m_demoBytes;
    SetInt32At(newerBytes, FileVersionAt, CurrentVersion + 1);
    QVERIFY(WriteFile(file("newer.cvl"), newerBytes));
    QVERIFY(WriteFile(file("cut-header.cvl"), m_demoBytes.left(1000)));
    QVERIFY(WriteFile(file("cut-page.cvl"), m_demoBytes.left(TestRecordSize + 100)));
    QVERIFY(WriteFile(file("cut-payload.cvl"), m_demoBytes.left(rtfAt + 10)));
    QVERIFY(WriteFile(file("cut-end.cvl"), m_demoBytes.chopped(1)));
    QVERIFY(WriteFile(file("cut.cvp"), m_demoBytes.mid(TestRecordSize, PageRecordSize + 100)));
    QVERIFY(WriteFile(file("broken.json"), QByteArrayLiteral("{ \"format\": ")));
    QVERIFY(WriteFile(file("two-pages.json"),
                      QByteArrayLiteral("{\"format\":\"cvp\",\"pages\":[{},{}]}")));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.cvl")));
}

// ---------------------------------------------------------------------------
// Files written by another program

void TestCorvtool::resaveKeepsForeignFile()
{
    const TForeignTestFile foreign(ForeignSeed);
    // The generator must cover what this test is about.
    QVERIFY(foreign.Memos().size() >= 3);
    QVERIFY(foreign.OleCount(true) >= 2 && foreign.OleCount(false) >= 2);

    const QString input = FilePath(QStringLiteral("foreign.cvl"));
    const QString output = FilePath(QStringLiteral("foreign-resaved.cvl"));
    QVERIFY(WriteFile(input, foreign.Data()));
    const TRun run = Corvtool({QStringLiteral("resave"), input, output, QStringLiteral("--screen"),
                               QStringLiteral("2048x1536")});
    EXPECT_EXIT(run, 0);
    const QByteArray saved = ReadFile(output);
    QCOMPARE(saved.size(), foreign.Data().size());

    // Only the banner and the inner heights of the rich text frames are
    // written anew; every other byte is carried through.
    QByteArray expected = foreign.Data();
    expected.replace(0, BannerEnd, saved.left(BannerEnd));
    for (const auto &memo : foreign.Memos()) {
        expected.replace(memo.SavedEditHeightAt, 4, saved.mid(memo.SavedEditHeightAt, 4));
        QCOMPARE(Int32At(saved, memo.SavedEditHeightAt), memo.Height - 2 * MarginAt2048);
    }
    const qsizetype difference = FirstDifference(expected, saved);
    QVERIFY2(difference < 0, qPrintable(QStringLiteral("byte %1 changed: %2")
                                            .arg(difference)
                                            .arg(foreign.Describe(difference))));

    // What was written once is written again unchanged.
    const QString again = FilePath(QStringLiteral("foreign-resaved-again.cvl"));
    const TRun second = Corvtool({QStringLiteral("resave"), output, again});
    EXPECT_EXIT(second, 0);
    const QByteArray savedAgain = ReadFile(again);
    QVERIFY2(savedAgain == saved, qPrintable(SizeAndDifference(saved, savedAgain)));
}

void TestCorvtool::dumpFramesForeignPayloads()
{
    const TForeignTestFile foreign(ForeignSeed);
    const QString input = FilePath(QStringLiteral("foreign-dumped.cvl"));
    QVERIFY(WriteFile(input, foreign.Data()));
    const TRun run = Corvtool({QStringLiteral("dump"), input, QStringLiteral("--no-data")});
    EXPECT_EXIT(run, 0);
    QString error;
    const QJsonObject json = ParseObject(run.Out, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const QJsonArray pages = json.value(QStringLiteral("pages")).toArray();
    QCOMPARE(pages.size(), qsizetype(foreign.Pages().size()));
    for (qsizetype p = 0; p < pages.size(); ++p) {
        const auto &written = foreign.Pages()[size_t(p)];
        const QJsonArray objects =
            pages.at(p).toObject().value(QStringLiteral("objects")).toArray();
        QCOMPARE(objects.size(), qsizetype(written.size()));
        for (qsizetype i = 0; i < objects.size(); ++i) {
            const QJsonObject object = objects.at(i).toObject();
            const auto &expected = written[size_t(i)];
            QCOMPARE(object.value(QStringLiteral("type")).toInt(-1), expected.Tag);
            const QJsonObject payload = object.value(QStringLiteral("payload")).toObject();
            QCOMPARE(object.contains(QStringLiteral("payload")), expected.HasPayload);
            if (!expected.HasPayload)
                continue;
            QCOMPARE(payload.value(QStringLiteral("length")).toInteger(-1),
                     qint64(expected.Payload.size()));
            QCOMPARE(payload.value(QStringLiteral("sha256")).toString().toLatin1(),
                     Sha256Hex(expected.Payload));
            QVERIFY(!payload.contains(QStringLiteral("base64")));
        }
    }
}

// ---------------------------------------------------------------------------
// JSON sources, dumps and listings

void TestCorvtool::packDumpPackIsStable()
{
    const TRun dump = Corvtool({QStringLiteral("dump"), m_demo});
    EXPECT_EXIT(dump, 0);
    const QString dumped = FilePath(QStringLiteral("Demo-dumped.json"));
    const QString repacked = FilePath(QStringLiteral("Demo-repacked.cvl"));
    QVERIFY(WriteFile(dumped, dump.Out));

    const TRun pack = Corvtool({QStringLiteral("pack"), dumped, QStringLiteral("-o"), repacked});
    EXPECT_EXIT(pack, 0);
    // Every key of a dump names a field: packing it warns of nothing.
    QVERIFY2(pack.Err.isEmpty(), qPrintable(pack.Err));
    const QByteArray bytes = ReadFile(repacked);
    QVERIFY2(bytes == m_demoBytes, qPrintable(SizeAndDifference(m_demoBytes, bytes)));
}

void TestCorvtool::dumpDescribesDemo()
{
    const TRun run = Corvtool({QStringLiteral("dump"), m_demo});
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
    QVERIFY(ReadTestFilePages(m_demoBytes, filePages));
    const QJsonArray pages = json.value(QStringLiteral("pages")).toArray();
    const QJsonArray sourcePages = m_demoSource.value(QStringLiteral("pages")).toArray();
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

void TestCorvtool::dumpConvertsToScreen_data()
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

void TestCorvtool::dumpConvertsToScreen()
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
    const TRun pack = Pack(QStringLiteral("scaling.json"), source, packed);
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

void TestCorvtool::infoListsTitleAndPages()
{
    const TRun run = Corvtool({QStringLiteral("info"), m_demo});
    EXPECT_EXIT(run, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    const QString out = QString::fromUtf8(run.Out);
    QVERIFY2(out.contains(QStringLiteral("Title: Corvella Demo Test")), qPrintable(out));
    const auto pageCount = m_demoSource.value(QStringLiteral("pages")).toArray().size();
    QVERIFY2(out.contains(QStringLiteral("Pages: %1").arg(pageCount)), qPrintable(out));
    qsizetype from = 0;
    for (const QJsonValue page : m_demoSource.value(QStringLiteral("pages")).toArray()) {
        const QString name = page.toObject().value(QStringLiteral("pageName")).toString();
        const qsizetype at = out.indexOf(QLatin1Char('"') + name + QLatin1Char('"'), from);
        QVERIFY2(at >= 0,
                 qPrintable(
                     QStringLiteral("page \"%1\" missing or out of order in:\n%2").arg(name, out)));
        from = at + 1;
    }
}

// ---------------------------------------------------------------------------
// Errors

void TestCorvtool::errorsAreReported_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("errorParts");

    const QString info = QStringLiteral("info");
    const QString dump = QStringLiteral("dump");
    const QString pack = QStringLiteral("pack");
    const QString resave = QStringLiteral("resave");
    const QString usage = QStringLiteral("Usage:");
    const QString newer = QStringLiteral("Get the newer version of the program!");
    const auto file = [this](const char *name) {
        return FilePath(QLatin1String(name));
    };

    QTest::newRow("info, missing file")
        << QStringList{info, file("missing.cvl")} << 1 << QStringList{file("missing.cvl")};
    QTest::newRow("dump, missing file")
        << QStringList{dump, file("missing.cvl")} << 1 << QStringList{file("missing.cvl")};
    QTest::newRow("resave, missing file")
        << QStringList{resave, file("missing.cvl"), file("out.cvl")} << 1
        << QStringList{file("missing.cvl")};
    QTest::newRow("info, missing page file")
        << QStringList{info, file("missing.cvp")} << 1 << QStringList{file("missing.cvp")};
    QTest::newRow("info, folder") << QStringList{info, file("folder.cvl")} << 1
                                  << QStringList{file("folder.cvl")};
    QTest::newRow("pack, missing source")
        << QStringList{pack, file("missing.json"), QStringLiteral("-o"), file("out.cvl")} << 1
        << QStringList{file("missing.json")};
    QTest::newRow("pack, broken JSON")
        << QStringList{pack, file("broken.json"), QStringLiteral("-o"), file("out.cvl")} << 1
        << QStringList{file("broken.json")};
    QTest::newRow("pack, page file of two pages")
        << QStringList{pack, file("two-pages.json"), QStringLiteral("-o"), file("out.cvp")} << 1
        << QStringList{file("two-pages.json")};

    QTest::newRow("info, newer version")
        << QStringList{info, file("newer.cvl")} << 0 << QStringList{newer};
    QTest::newRow("dump, newer version")
        << QStringList{dump, file("newer.cvl")} << 0 << QStringList{newer};
    QTest::newRow("resave, newer version")
        << QStringList{resave, file("newer.cvl"), file("out.cvl")} << 0 << QStringList{newer};

    QTest::newRow("info, cut in the header")
        << QStringList{info, file("cut-header.cvl")} << 1 << QStringList{file("cut-header.cvl")};
    QTest::newRow("info, cut in a page record")
        << QStringList{info, file("cut-page.cvl")} << 1 << QStringList{file("cut-page.cvl")};
    QTest::newRow("dump, cut in a payload")
        << QStringList{dump, file("cut-payload.cvl")} << 1 << QStringList{file("cut-payload.cvl")};
    QTest::newRow("resave, last byte missing")
        << QStringList{resave, file("cut-end.cvl"), file("out.cvl")} << 1
        << QStringList{file("cut-end.cvl")};
    QTest::newRow("info, cut page file")
        << QStringList{info, file("cut.cvp")} << 1 << QStringList{file("cut.cvp")};

    QTest::newRow("no command") << QStringList() << 1 << QStringList{usage};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << 1
                                     << QStringList{QStringLiteral("frobnicate"), usage};
    QTest::newRow("info without file") << QStringList{info} << 1 << QStringList{usage};
    QTest::newRow("info with two files")
        << QStringList{info, m_demo, m_demo} << 1 << QStringList{usage};
    QTest::newRow("dump, screen without size")
        << QStringList{dump, m_demo, QStringLiteral("--screen")} << 1 << QStringList{usage};
    QTest::newRow("dump, screen of one number")
        << QStringList{dump, m_demo, QStringLiteral("--screen"), QStringLiteral("1024")} << 1
        << QStringList{QStringLiteral("1024"), usage};
    QTest::newRow("dump, empty screen")
        << QStringList{dump, m_demo, QStringLiteral("--screen"), QStringLiteral("0x768")} << 1
        << QStringList{QStringLiteral("0x768"), usage};
    QTest::newRow("pack without -o") << QStringList{pack, DemoSource} << 1 << QStringList{usage};
    QTest::newRow("pack, -o without file")
        << QStringList{pack, DemoSource, QStringLiteral("-o")} << 1 << QStringList{usage};
    QTest::newRow("resave without output")
        << QStringList{resave, m_demo} << 1 << QStringList{usage};
}

void TestCorvtool::errorsAreReported()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, errorParts);

    const TRun run = Corvtool(arguments);
    EXPECT_EXIT(run, exitCode);
    QVERIFY2(run.Out.isEmpty(), run.Out.constData());
    for (const QString &part : std::as_const(errorParts))
        QVERIFY2(run.Err.contains(part),
                 qPrintable(QStringLiteral("\"%1\" missing from stderr: %2").arg(part, run.Err)));
    // Nothing is written where a command fails or declines the file.
    QVERIFY(!QFileInfo::exists(FilePath(QStringLiteral("out.cvl"))));
    QVERIFY(!QFileInfo::exists(FilePath(QStringLiteral("out.cvp"))));
}

void TestCorvtool::refusedFileLeavesOutputAlone()
{
    const QByteArray before = QByteArrayLiteral("an older file");
    const QString output = FilePath(QStringLiteral("existing.cvl"));
    const std::pair<const char *, int> refused[] = {{"newer.cvl", 0}, {"cut-end.cvl", 1}};
    for (const auto &[name, exitCode] : refused) {
        QVERIFY(WriteFile(output, before));
        const TRun run =
            Corvtool({QStringLiteral("resave"), FilePath(QLatin1String(name)), output});
        EXPECT_EXIT(run, exitCode);
        QCOMPARE(ReadFile(output), before);
    }
}

// ---------------------------------------------------------------------------
// Code pages

void TestCorvtool::packWarnsAboutLostCharacters()
{
    // "č" is in windows-1250 and "Привет" in windows-1251 (character set
    // 204); "中" is in neither.
    const QJsonObject source{
        {QStringLiteral("format"), QStringLiteral("cvl")},
        {QStringLiteral("test"),
         QJsonObject{{QStringLiteral("title"), QStringLiteral("Kodne strani")}}},
        {QStringLiteral("pages"),
         QJsonArray{
             QJsonObject{{QStringLiteral("pageName"), QStringLiteral("Stran \u010D \u4E2D")},
                         {QStringLiteral("objects"),
                          QJsonArray{QJsonObject{
                              {QStringLiteral("class"), QStringLiteral("TQZBesedilo")},
                              {QStringLiteral("Text"),
                               QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442 \u4E2D")},
                              {QStringLiteral("Font"),
                               QJsonObject{{QStringLiteral("Name"), QStringLiteral("Arial")},
                                           {QStringLiteral("Charset"), 204}}}}}}}}},
    };
    const QString output = FilePath(QStringLiteral("codepages.cvl"));
    const TRun run = Pack(QStringLiteral("codepages.json"), source, output);
    EXPECT_EXIT(run, 0);

    const QStringList lines = run.Err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    for (const QString &line : lines) {
        QVERIFY2(line.contains(QStringLiteral("warning")), qPrintable(line));
        QVERIFY2(line.contains(FilePath(QStringLiteral("codepages.json"))), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("\u4E2D")), qPrintable(line));
    }
    QVERIFY2(lines.at(0).contains(QStringLiteral("page 1.pageName")), qPrintable(lines.at(0)));
    QVERIFY2(lines.at(0).contains(QStringLiteral("windows-1250")), qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).contains(QStringLiteral("page 1 object 1.Text")), qPrintable(lines.at(1)));
    QVERIFY2(lines.at(1).contains(QStringLiteral("windows-1251")), qPrintable(lines.at(1)));

    // The file is written, with "?" for what was lost.
    std::vector<TPageSpan> pages;
    QVERIFY(ReadTestFilePages(ReadFile(output), pages));
    QCOMPARE(pages.size(), size_t(1));
    QCOMPARE(pages[0].Name, QByteArray("Stran \xE8 ?"));
    QCOMPARE(pages[0].Objects.size(), size_t(1));
    QCOMPARE(ShortStringAt(ReadFile(output), pages[0].Objects[0].RecordAt + TextAt),
             QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2 ?"));

    const TRun info = Corvtool({QStringLiteral("info"), output});
    EXPECT_EXIT(info, 0);
    QVERIFY2(QString::fromUtf8(info.Out).contains(QStringLiteral("\"Stran \u010D ?\"")),
             info.Out.constData());
}

void TestCorvtool::defaultCodePageFromEnvironment()
{
    const QJsonObject source{
        {QStringLiteral("format"), QStringLiteral("cvl")},
        {QStringLiteral("pages"), QJsonArray{QJsonObject{{QStringLiteral("pageName"),
                                                          QStringLiteral("\u041C\u0438\u0440")}}}},
    };
    QProcessEnvironment cyrillic = CleanEnvironment();
    cyrillic.insert(QStringLiteral("CORVELLA_CODEPAGE"), QStringLiteral("1251"));
    const QString output = FilePath(QStringLiteral("cyrillic.cvl"));
    const TRun run = Pack(QStringLiteral("cyrillic.json"), source, output, cyrillic);
    EXPECT_EXIT(run, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    std::vector<TPageSpan> pages;
    QVERIFY(ReadTestFilePages(ReadFile(output), pages));
    QCOMPARE(pages.size(), size_t(1));
    QCOMPARE(pages[0].Name, QByteArray("\xCC\xE8\xF0"));

    // Under the default code page the same name does not survive.
    const TRun fallback =
        Pack(QStringLiteral("cyrillic.json"), source, FilePath(QStringLiteral("latin.cvl")));
    EXPECT_EXIT(fallback, 0);
    QVERIFY2(fallback.Err.contains(QStringLiteral("windows-1250")), qPrintable(fallback.Err));
}

// ---------------------------------------------------------------------------
// Page files

void TestCorvtool::pageFileRoundTrip()
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
    const TRun pack = Pack(QStringLiteral("single.json"), source, packed);
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

QTEST_GUILESS_MAIN(TestCorvtool)

#include "tst_corvtool.moc"
