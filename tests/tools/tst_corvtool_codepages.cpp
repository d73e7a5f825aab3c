// corvtool pack and the code pages: characters a font's code page cannot
// hold are written as "?" with a warning, and the default code page comes
// from the environment.
#include "QZCorvtoolRun.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

#include <vector>

class TestCorvtoolCodePages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void packWarnsAboutLostCharacters();
    void defaultCodePageFromEnvironment();

private:
    QString FilePath(const QString &name) const { return m_folder.FilePath(name); }

    TCorvtoolFolder m_folder;
};

void TestCorvtoolCodePages::initTestCase() { CheckCorvtool(m_folder); }

// ---------------------------------------------------------------------------
// Code pages

void TestCorvtoolCodePages::packWarnsAboutLostCharacters()
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
    const TRun run = m_folder.Pack(QStringLiteral("codepages.json"), source, output);
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

void TestCorvtoolCodePages::defaultCodePageFromEnvironment()
{
    const QJsonObject source{
        {QStringLiteral("format"), QStringLiteral("cvl")},
        {QStringLiteral("pages"), QJsonArray{QJsonObject{{QStringLiteral("pageName"),
                                                          QStringLiteral("\u041C\u0438\u0440")}}}},
    };
    QProcessEnvironment cyrillic = CleanEnvironment();
    cyrillic.insert(QStringLiteral("CORVELLA_CODEPAGE"), QStringLiteral("1251"));
    const QString output = FilePath(QStringLiteral("cyrillic.cvl"));
    const TRun run = m_folder.Pack(QStringLiteral("cyrillic.json"), source, output, cyrillic);
    EXPECT_EXIT(run, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    std::vector<TPageSpan> pages;
    QVERIFY(ReadTestFilePages(ReadFile(output), pages));
    QCOMPARE(pages.size(), size_t(1));
    QCOMPARE(pages[0].Name, QByteArray("\xCC\xE8\xF0"));

    // Under the default code page the same name does not survive.
    const TRun fallback = m_folder.Pack(QStringLiteral("cyrillic.json"), source,
                                        FilePath(QStringLiteral("latin.cvl")));
    EXPECT_EXIT(fallback, 0);
    QVERIFY2(fallback.Err.contains(QStringLiteral("windows-1250")), qPrintable(fallback.Err));
}

QTEST_GUILESS_MAIN(TestCorvtoolCodePages)

#include "tst_corvtool_codepages.moc"
