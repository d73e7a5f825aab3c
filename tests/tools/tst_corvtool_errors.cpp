// corvtool's refusals: missing, damaged and newer files and wrong command
// lines are reported on stderr with an exit code, and nothing is written
// where a command fails or declines the file.
#include "QZCorvtoolRun.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <utility>
#include <vector>

class TestCorvtoolErrors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void errorsAreReported_data();
    void errorsAreReported();
    void refusedFileLeavesOutputAlone();

private:
    QString FilePath(const QString &name) const { return m_folder.FilePath(name); }
    void WriteDamagedFiles();

    TPackedDemo m_demo; // examples/Demo.json packed
    TCorvtoolFolder m_folder;
};

void TestCorvtoolErrors::initTestCase()
{
    PackDemo(m_folder, m_demo);
    if (QTest::currentTestFailed())
        return;
    WriteDamagedFiles();
}

// Damaged and newer copies of the packed demo, and other files that commands
// must refuse.
void TestCorvtoolErrors::WriteDamagedFiles()
{
    const auto file = [this](const char *name) {
        return FilePath(QLatin1String(name));
    };
    std::vector<TPageSpan> pages;
    QVERIFY(ReadTestFilePages(m_demo.Bytes, pages));
    qsizetype rtfAt = -1;
    for (const TPageSpan &page : pages)
        for (const TObjectSpan &object : page.Objects)
            if (object.Tag == TagMemo)
                rtfAt = object.RecordAt + RecordSizes[TagMemo];
    QVERIFY(rtfAt > 0);
    QByteArray newerBytes = m_demo.Bytes;
    SetInt32At(newerBytes, FileVersionAt, CurrentVersion + 1);
    QVERIFY(WriteFile(file("newer.cvl"), newerBytes));
    QVERIFY(WriteFile(file("cut-header.cvl"), m_demo.Bytes.left(1000)));
    QVERIFY(WriteFile(file("cut-page.cvl"), m_demo.Bytes.left(TestRecordSize + 100)));
    QVERIFY(WriteFile(file("cut-payload.cvl"), m_demo.Bytes.left(rtfAt + 10)));
    QVERIFY(WriteFile(file("cut-end.cvl"), m_demo.Bytes.chopped(1)));
    QVERIFY(WriteFile(file("cut.cvp"), m_demo.Bytes.mid(TestRecordSize, PageRecordSize + 100)));
    QVERIFY(WriteFile(file("broken.json"), QByteArrayLiteral("{ \"format\": ")));
    QVERIFY(WriteFile(file("two-pages.json"),
                      QByteArrayLiteral("{\"format\":\"cvp\",\"pages\":[{},{}]}")));
    QVERIFY(QDir().mkpath(FilePath(QStringLiteral("folder.cvl"))));
}

// ---------------------------------------------------------------------------
// Errors

void TestCorvtoolErrors::errorsAreReported_data()
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
        << QStringList{info, m_demo.Path, m_demo.Path} << 1 << QStringList{usage};
    QTest::newRow("dump, screen without size")
        << QStringList{dump, m_demo.Path, QStringLiteral("--screen")} << 1 << QStringList{usage};
    QTest::newRow("dump, screen of one number")
        << QStringList{dump, m_demo.Path, QStringLiteral("--screen"), QStringLiteral("1024")} << 1
        << QStringList{QStringLiteral("1024"), usage};
    QTest::newRow("dump, empty screen")
        << QStringList{dump, m_demo.Path, QStringLiteral("--screen"), QStringLiteral("0x768")} << 1
        << QStringList{QStringLiteral("0x768"), usage};
    QTest::newRow("pack without -o") << QStringList{pack, DemoSource} << 1 << QStringList{usage};
    QTest::newRow("pack, -o without file")
        << QStringList{pack, DemoSource, QStringLiteral("-o")} << 1 << QStringList{usage};
    QTest::newRow("resave without output")
        << QStringList{resave, m_demo.Path} << 1 << QStringList{usage};
}

void TestCorvtoolErrors::errorsAreReported()
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

void TestCorvtoolErrors::refusedFileLeavesOutputAlone()
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

QTEST_GUILESS_MAIN(TestCorvtoolErrors)

#include "tst_corvtool_errors.moc"
