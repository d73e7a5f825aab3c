// corvtool given a test file as another program may have written it: what it
// does not change it carries through byte for byte, and it frames every
// payload it finds.
#include "QZCorvtoolRun.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>
#include <QtEndian>

#include <array>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

namespace {

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

} // namespace

class TestCorvtoolForeign : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void resaveKeepsForeignFile();
    void dumpFramesForeignPayloads();

private:
    QString FilePath(const QString &name) const { return m_folder.FilePath(name); }

    TCorvtoolFolder m_folder;
};

void TestCorvtoolForeign::initTestCase() { CheckCorvtool(m_folder); }

void TestCorvtoolForeign::resaveKeepsForeignFile()
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

void TestCorvtoolForeign::dumpFramesForeignPayloads()
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

QTEST_GUILESS_MAIN(TestCorvtoolForeign)

#include "tst_corvtool_foreign.moc"
