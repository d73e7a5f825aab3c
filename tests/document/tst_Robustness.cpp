// Damaged files: whatever the bytes, loading either succeeds or raises an
// error that names the file; it never crashes, hangs or reads out of bounds.

#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZStream.h"
#include "QZTestData.h"
#include "QZTestMain.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

namespace {

enum class TOutcome { Loaded, Refused };

// Loads bytes as a test file or a page file through the real file functions.
TOutcome LoadAs(const QString &fileName, bool pageFile)
{
    TQZNaloga test;
    try {
        if (pageFile)
            test.LoadPageFromFile(fileName);
        else
            test.LoadTestFile(fileName);
        // Whatever loaded can be written again.
        test.ToBytes();
        return TOutcome::Loaded;
    } catch (const TQZNewerVersionError &) {
        return TOutcome::Refused;
    } catch (const TQZFileError &error) {
        if (error.FileName() != fileName)
            qFatal("an opening error does not name the file: %s", error.what());
        return TOutcome::Refused;
    }
}

TOutcome LoadBytes(const QByteArray &bytes, bool pageFile)
{
    static QTemporaryDir folder;
    const QString name =
        folder.filePath(pageFile ? QStringLiteral("d.cvp") : QStringLiteral("d.cvl"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(name));
    file.write(bytes);
    file.close();
    return LoadAs(name, pageFile);
}

} // namespace

class Robustness : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestLoading = false; }

    void everyCorpusFileAsATest()
    {
        QDirIterator files(CorpusFolder(), QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (files.hasNext()) {
            const QString name = files.next();
            LoadAs(name, false);
            LoadAs(name, true);
            ++count;
        }
        if (count == 0)
            QSKIP("the shared corpus is not beside the project");
        QVERIFY(count > 100);
    }

    void everyTruncation()
    {
        const QByteArray whole =
            SampleTestFile({QStringLiteral("First page"), QStringLiteral("Second page")});
        QCOMPARE(LoadBytes(whole, false), TOutcome::Loaded);
        // Cutting anywhere loses a record or payload the header promises.
        for (qsizetype length = 0; length < whole.size(); ++length)
            QCOMPARE(LoadBytes(whole.left(length), false), TOutcome::Refused);

        TQZNaloga test;
        test.LoadFromBytes(whole);
        const QByteArray page = test.PageToBytes(0);
        for (qsizetype length = 0; length < page.size(); length += 7)
            QCOMPARE(LoadBytes(page.left(length), true), TOutcome::Refused);
    }

    void damagedBytes()
    {
        const QByteArray whole = SampleTestFile({QStringLiteral("A"), QStringLiteral("B")});
        std::mt19937 random(20261207);
        int loaded = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray damaged = whole;
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i) {
                const auto at = qsizetype(random() % quint32(damaged.size()));
                // Mostly hit the counts and lengths that frame the data.
                damaged[at] = char(random() % 3 == 0 ? 0xff : random() & 0xff);
            }
            if (LoadBytes(damaged, false) == TOutcome::Loaded)
                ++loaded;
        }
        QVERIFY(loaded > 0);
    }

    void absurdCountsFailQuickly()
    {
        auto header = NewTestRecord();
        header.FileVersion = 768;
        header.PageCount = 2147483647;
        QCOMPARE(LoadBytes(RecordToBytes(header) + QByteArray(5000, '\0'), false),
                 TOutcome::Refused);
        header.PageCount = -5;
        QCOMPARE(LoadBytes(RecordToBytes(header), false), TOutcome::Loaded);
    }
};

CORVELLA_TEST(Robustness);

#include "tst_Robustness.moc"
