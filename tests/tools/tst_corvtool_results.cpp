// corvtool results over a folder of attempt records written here line by
// line: good, torn, damaged and foreign files, the CSV value by value, the
// xAPI statements against the statement rules, and the HTML report's safety.
#include "QZCorvtoolRun.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>
#include <QUuid>

class TestCorvtoolResults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void summaryListsSkippedFiles();
    void csvHoldsEveryAttempt();
    void xapiStatementsFollowTheRules();
    void htmlReportIsSelfContained();
    void wrongCommandLines();

private:
    QString FilePath(const QString &name) const { return m_folder.FilePath(name); }
    QString Results() const { return FilePath(QStringLiteral("results")); }
    void WriteRecord(const QString &name, const QList<QJsonObject> &entries,
                     const QByteArray &tail = {});

    TPackedDemo m_demo;
    TCorvtoolFolder m_folder;
};

namespace {

const QString Student = QStringLiteral("Novak, \"Ana\" <b>&");

QByteArray Line(const QJsonObject &entry)
{
    const QByteArray json = QJsonDocument(entry).toJson(QJsonDocument::Compact);
    return QCryptographicHash::hash(json, QCryptographicHash::Sha256).toHex() + ' ' + json + '\n';
}

QJsonObject Start(const QString &sha256, const QString &student, const QString &started)
{
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("start")},
                       {QStringLiteral("format"), 1},
                       {QStringLiteral("program"), QStringLiteral("corvview 2.1.0")},
                       {QStringLiteral("test"),
                        QJsonObject{{QStringLiteral("title"), QStringLiteral("Corvella Demo Test")},
                                    {QStringLiteral("file"), QStringLiteral("Demo.cvl")},
                                    {QStringLiteral("sha256"), sha256},
                                    {QStringLiteral("pages"), 8}}},
                       {QStringLiteral("student"), student},
                       {QStringLiteral("started"), started},
                       {QStringLiteral("shuffle"), QString()}};
}

QJsonObject Choices(int object, QJsonArray marked, QJsonArray right, int points)
{
    return QJsonObject{{QStringLiteral("object"), object},
                       {QStringLiteral("kind"), QStringLiteral("choices")},
                       {QStringLiteral("marked"), marked},
                       {QStringLiteral("right"), right},
                       {QStringLiteral("correct"), marked == right},
                       {QStringLiteral("points"), points}};
}

QJsonObject Alternative(int pressed)
{
    return QJsonObject{{QStringLiteral("object"), 3},
                       {QStringLiteral("kind"), QStringLiteral("alternative")},
                       {QStringLiteral("pressed"), pressed},
                       {QStringLiteral("right"), 1},
                       {QStringLiteral("correct"), pressed == 1},
                       {QStringLiteral("points"), 1}};
}

QJsonObject Input(const QString &text)
{
    return QJsonObject{
        {QStringLiteral("object"), 5},
        {QStringLiteral("kind"), QStringLiteral("input")},
        {QStringLiteral("text"), text},
        {QStringLiteral("right"), QJsonArray{QStringLiteral("frog"), QStringLiteral("a frog")}},
        {QStringLiteral("correct"), text == QLatin1String("frog")},
        {QStringLiteral("points"), 2}};
}

QJsonObject Page(int order, const QString &name, int index, QJsonArray answers, int earned,
                 int possible, int totalEarned, int totalPossible, const QString &at)
{
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("page")},
                       {QStringLiteral("order"), order},
                       {QStringLiteral("page"), name},
                       {QStringLiteral("index"), index},
                       {QStringLiteral("answers"), answers},
                       {QStringLiteral("earned"), earned},
                       {QStringLiteral("possible"), possible},
                       {QStringLiteral("seconds"), 10.5},
                       {QStringLiteral("next"), QStringLiteral("(Forward)")},
                       {QStringLiteral("totalEarned"), totalEarned},
                       {QStringLiteral("totalPossible"), totalPossible},
                       {QStringLiteral("at"), at}};
}

QJsonObject End(const QString &at, int percent, int earned, int possible)
{
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("end")},
                       {QStringLiteral("ended"), at},
                       {QStringLiteral("reason"), QStringLiteral("result")},
                       {QStringLiteral("percent"), percent},
                       {QStringLiteral("comment"), QStringLiteral("Excellent!!!")},
                       {QStringLiteral("totalEarned"), earned},
                       {QStringLiteral("totalPossible"), possible}};
}

bool IsIsoTime(const QString &text)
{
    return QRegularExpression(
               QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(Z|[+-]\\d\\d:\\d\\d)$"))
        .match(text)
        .hasMatch();
}

} // namespace

void TestCorvtoolResults::WriteRecord(const QString &name, const QList<QJsonObject> &entries,
                                      const QByteArray &tail)
{
    QByteArray bytes;
    for (const QJsonObject &entry : entries)
        bytes += Line(entry);
    QVERIFY(WriteFile(QDir(Results()).filePath(name), bytes + tail));
}

// Three attempts at the demo: Ana answers all right; Bor only the planets
// (wrong answers add nothing under the demo's wrong-answer mode, so his
// result is 100 % of the one page that counted, 17 % of the pages he saw);
// an anonymous student stopped on the second page, in the middle of writing
// it. One attempt at another test, a damaged record and a foreign file.
void TestCorvtoolResults::initTestCase()
{
    PackDemo(m_folder, m_demo);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(QDir().mkpath(Results() + QStringLiteral("/older")));
    const QString demo = QString::fromLatin1(Sha256Hex(m_demo.Bytes));
    const QString t = QStringLiteral("2024-05-06T09:%1+02:00");

    WriteRecord(
        QStringLiteral("a.cvr"),
        {Start(demo, Student, t.arg(QStringLiteral("00:00"))),
         Page(0, QStringLiteral("/Welcome"), 0, {}, 0, 0, 0, 0, t.arg(QStringLiteral("00:10"))),
         Page(1, QStringLiteral("Capitals"), 1, {Choices(1, {2}, {2}, 2)}, 2, 2, 2, 2,
              t.arg(QStringLiteral("00:30"))),
         Page(2, QStringLiteral("Planets"), 2, {Choices(1, {1, 3, 5}, {1, 3, 5}, 1)}, 1, 1, 3, 3,
              t.arg(QStringLiteral("01:00"))),
         Page(3, QStringLiteral("Water and words"), 3,
              {Alternative(1), Input(QStringLiteral("frog"))}, 3, 3, 6, 6,
              t.arg(QStringLiteral("01:35"))),
         End(t.arg(QStringLiteral("01:35")), 100, 6, 6)});
    WriteRecord(QStringLiteral("b.cvr"),
                {Start(demo, QStringLiteral("Bor"), QStringLiteral("2024-05-06T10:00:00+02:00")),
                 Page(0, QStringLiteral("Capitals"), 1, {Choices(1, {1}, {2}, 2)}, 0, 2, 0, 0,
                      QStringLiteral("2024-05-06T10:00:20+02:00")),
                 Page(1, QStringLiteral("Planets"), 2, {Choices(1, {1, 3, 5}, {1, 3, 5}, 1)}, 1, 1,
                      1, 1, QStringLiteral("2024-05-06T10:00:40+02:00")),
                 Page(2, QStringLiteral("Water and words"), 3,
                      {Alternative(2), Input(QStringLiteral("toad, \"green\""))}, 0, 3, 1, 1,
                      QStringLiteral("2024-05-06T10:01:00+02:00")),
                 End(QStringLiteral("2024-05-06T10:02:00+02:00"), 100, 1, 1)});
    WriteRecord(QStringLiteral("c.cvr"),
                {Start(demo, QString(), QStringLiteral("2024-05-06T07:00:00Z")),
                 Page(0, QStringLiteral("Capitals"), 1, {Choices(1, {1}, {2}, 2)}, 0, 2, 0, 0,
                      QStringLiteral("2024-05-06T07:00:40Z"))},
                Line(Page(1, QStringLiteral("Planets"), 2, {}, 1, 1, 1, 1,
                          QStringLiteral("2024-05-06T07:01:00Z")))
                    .left(80));
    WriteRecord(QStringLiteral("d.cvr"),
                {Start(QStringLiteral("cd").repeated(32), QStringLiteral("Cene"),
                       QStringLiteral("2024-05-07T08:00:00+02:00")),
                 Page(0, QStringLiteral("Other"), 0, {Alternative(2)}, 0, 1, 0, 1,
                      QStringLiteral("2024-05-07T08:00:05+02:00"))});
    QByteArray damaged = Line(Start(demo, QStringLiteral("Dana"), t.arg(QStringLiteral("00:00"))));
    damaged +=
        Line(Page(0, QStringLiteral("Capitals"), 1, {}, 2, 2, 2, 2, t.arg(QStringLiteral("00:30"))))
            .replace("\"earned\":2", "\"earned\":9");
    damaged += Line(End(t.arg(QStringLiteral("01:00")), 100, 2, 2));
    QVERIFY(WriteFile(QDir(Results()).filePath(QStringLiteral("damaged.cvr")), damaged));
    QVERIFY(WriteFile(QDir(Results()).filePath(QStringLiteral("foreign.cvr")),
                      QByteArrayLiteral("student;points\nAna;6\n")));
    QVERIFY(WriteFile(QDir(Results()).filePath(QStringLiteral("notes.txt")), "not a record"));
    // Not read: the command looks into the folder itself only.
    WriteRecord(QStringLiteral("older/e.cvr"),
                {Start(demo, QStringLiteral("Eva"), t.arg(QStringLiteral("00:00")))});
}

void TestCorvtoolResults::summaryListsSkippedFiles()
{
    const TRun run = Corvtool({QStringLiteral("results"), Results()});
    EXPECT_EXIT(run, 0);
    const QString damaged = QDir(Results()).filePath(QStringLiteral("damaged.cvr"));
    const QString foreign = QDir(Results()).filePath(QStringLiteral("foreign.cvr"));
    QCOMPARE(run.Err, QStringLiteral("corvtool: skipped %1 (damaged): line 2: the checksum does "
                                     "not match\n"
                                     "corvtool: skipped %2 (not used): not an attempt record\n"
                                     "corvtool: the folder holds attempts at 2 different tests; "
                                     "--test FILE reports on one of them\n")
                          .arg(damaged, foreign));
    const QStringList lines = QString::fromUtf8(run.Out).split(QLatin1Char('\n'));
    QCOMPARE(lines.at(0), QStringLiteral("Corvella Demo Test: 4 attempts"));
    QVERIFY2(lines.at(2).startsWith(Student), qPrintable(lines.at(2)));
    QVERIFY2(lines.at(2).endsWith(QStringLiteral("6/6   100 %   100 % yes")),
             qPrintable(lines.at(2)));
    QVERIFY2(lines.at(4).startsWith(QStringLiteral("(anonymous)")), qPrintable(lines.at(4)));
    QVERIFY2(lines.at(4).endsWith(QStringLiteral("0/0     0 %     0 % no")),
             qPrintable(lines.at(4)));
    QVERIFY(run.Out.contains("Cene"));
}

// The attempts at the demo only, with its pages as columns in its order.
void TestCorvtoolResults::csvHoldsEveryAttempt()
{
    const QString csv = FilePath(QStringLiteral("out.csv"));
    const TRun run = Corvtool({QStringLiteral("results"), Results(), QStringLiteral("--test"),
                               m_demo.Path, QStringLiteral("--csv"), csv});
    EXPECT_EXIT(run, 0);
    QVERIFY(run.Out.isEmpty());
    QVERIFY(
        run.Err.contains(QStringLiteral("corvtool: 1 attempts at other tests were left out\n")));
    const QByteArray expected =
        "student,date,duration,points,possible,percent,visited percent,finished,Capitals,Planets,"
        "Water and words\r\n"
        "\"Novak, \"\"Ana\"\" <b>&\",2024-05-06T09:00:00+02:00,95,6,6,100,100,yes,2,1,3\r\n"
        "Bor,2024-05-06T10:00:00+02:00,120,1,1,100,17,yes,0,1,0\r\n"
        ",2024-05-06T07:00:00Z,40,0,0,0,0,no,0,,\r\n";
    QCOMPARE(ReadFile(csv), expected);
}

void TestCorvtoolResults::xapiStatementsFollowTheRules()
{
    const QString xapi = FilePath(QStringLiteral("out.json"));
    const TRun run = Corvtool({QStringLiteral("results"), Results(), QStringLiteral("--test"),
                               m_demo.Path, QStringLiteral("--xapi"), xapi});
    EXPECT_EXIT(run, 0);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(ReadFile(xapi), &error);
    QVERIFY2(document.isArray(), qPrintable(error.errorString()));
    const QJsonArray statements = document.array();

    const QString testId =
        QStringLiteral("urn:corvella:test:") + QString::fromLatin1(Sha256Hex(m_demo.Bytes));
    QStringList verbs;
    QSet<QString> ids;
    for (const QJsonValue &value : statements) {
        const QJsonObject statement = value.toObject();
        const QString id = statement.value(QStringLiteral("id")).toString();
        QVERIFY2(!QUuid::fromString(id).isNull(), qPrintable(id));
        ids.insert(id);
        QVERIFY(IsIsoTime(statement.value(QStringLiteral("timestamp")).toString()));

        const QJsonObject actor = statement.value(QStringLiteral("actor")).toObject();
        QCOMPARE(actor.value(QStringLiteral("objectType")).toString(), QStringLiteral("Agent"));
        const QJsonObject account = actor.value(QStringLiteral("account")).toObject();
        QCOMPARE(account.value(QStringLiteral("homePage")).toString(),
                 QStringLiteral("urn:corvella"));
        QCOMPARE(account.value(QStringLiteral("name")), actor.value(QStringLiteral("name")));
        QVERIFY(!account.value(QStringLiteral("name")).toString().isEmpty());

        const QJsonObject verb = statement.value(QStringLiteral("verb")).toObject();
        const QString verbName = verb.value(QStringLiteral("display"))
                                     .toObject()
                                     .value(QStringLiteral("en-US"))
                                     .toString();
        QCOMPARE(verb.value(QStringLiteral("id")).toString(),
                 QStringLiteral("http://adlnet.gov/expapi/verbs/") + verbName);
        verbs << verbName + QLatin1Char(' ') + actor.value(QStringLiteral("name")).toString();

        const QJsonObject object = statement.value(QStringLiteral("object")).toObject();
        QCOMPARE(object.value(QStringLiteral("objectType")).toString(), QStringLiteral("Activity"));
        const QString objectId = object.value(QStringLiteral("id")).toString();
        QVERIFY2(objectId == testId || objectId.startsWith(testId + QStringLiteral("/page/")),
                 qPrintable(objectId));
        QVERIFY(!object.value(QStringLiteral("definition"))
                     .toObject()
                     .value(QStringLiteral("name"))
                     .toObject()
                     .value(QStringLiteral("en-US"))
                     .toString()
                     .isEmpty());

        const QJsonObject result = statement.value(QStringLiteral("result")).toObject();
        if (verbName == QLatin1String("attempted")) {
            QVERIFY(result.isEmpty());
            continue;
        }
        const QJsonObject score = result.value(QStringLiteral("score")).toObject();
        QVERIFY(score.contains(QStringLiteral("scaled")));
        const double scaled = score.value(QStringLiteral("scaled")).toDouble();
        QVERIFY(scaled >= -1 && scaled <= 1);
        if (score.contains(QStringLiteral("max"))) {
            const double raw = score.value(QStringLiteral("raw")).toDouble();
            const double min = score.value(QStringLiteral("min")).toDouble();
            const double max = score.value(QStringLiteral("max")).toDouble();
            QVERIFY(min < max && raw >= min && raw <= max);
        }
        if (verbName == QLatin1String("completed"))
            QCOMPARE(result.value(QStringLiteral("completion")), QJsonValue(true));
    }
    QCOMPARE(ids.size(), statements.size());
    const QString ana = Student;
    QCOMPARE(
        verbs,
        (QStringList{QStringLiteral("attempted ") + ana, QStringLiteral("answered ") + ana,
                     QStringLiteral("answered ") + ana, QStringLiteral("answered ") + ana,
                     QStringLiteral("completed ") + ana, QStringLiteral("attempted Bor"),
                     QStringLiteral("answered Bor"), QStringLiteral("answered Bor"),
                     QStringLiteral("answered Bor"), QStringLiteral("completed Bor"),
                     QStringLiteral("attempted anonymous"), QStringLiteral("answered anonymous")}));

    // Bor's answer to the third page, its score and the test's end.
    const QJsonObject water = statements.at(8).toObject();
    QCOMPARE(
        water.value(QStringLiteral("object")).toObject().value(QStringLiteral("id")).toString(),
        testId + QStringLiteral("/page/3"));
    const QJsonObject result = water.value(QStringLiteral("result")).toObject();
    QCOMPARE(result.value(QStringLiteral("response")).toString(),
             QStringLiteral("2; toad, \"green\""));
    QCOMPARE(result.value(QStringLiteral("success")), QJsonValue(false));
    QCOMPARE(result.value(QStringLiteral("score")).toObject(),
             (QJsonObject{{QStringLiteral("raw"), 0},
                          {QStringLiteral("min"), 0},
                          {QStringLiteral("max"), 3},
                          {QStringLiteral("scaled"), 0}}));
    QCOMPARE(statements.at(9).toObject().value(QStringLiteral("timestamp")).toString(),
             QStringLiteral("2024-05-06T10:02:00+02:00"));

    // The same records give the same statements.
    const TRun again = Corvtool({QStringLiteral("results"), Results(), QStringLiteral("--test"),
                                 m_demo.Path, QStringLiteral("--xapi"), xapi});
    EXPECT_EXIT(again, 0);
    QCOMPARE(QJsonDocument::fromJson(ReadFile(xapi)).array(), statements);
}

void TestCorvtoolResults::htmlReportIsSelfContained()
{
    const QString html = FilePath(QStringLiteral("out.html"));
    const TRun run =
        Corvtool({QStringLiteral("results"), Results(), QStringLiteral("--html"), html});
    EXPECT_EXIT(run, 0);
    const QString page = QString::fromUtf8(ReadFile(html));
    QVERIFY(page.startsWith(QStringLiteral("<!DOCTYPE html>")));
    QVERIFY(page.contains(QStringLiteral("<td>Novak, &quot;Ana&quot; &lt;b&gt;&amp;</td>")));
    QVERIFY(!page.contains(QStringLiteral("<b>")));
    for (const char *outside : {"<script", "src=", "href=", "url(", "@import"})
        QVERIFY2(!page.contains(QLatin1String(outside), Qt::CaseInsensitive), outside);
    // Two charts, and the first page's facility (2 of 6 points),
    // discrimination (its points 2, 0, 0 against the rest 4, 1, 0) and most
    // chosen wrong answer.
    QCOMPARE(page.count(QStringLiteral("<svg ")), 2);
    QVERIFY(page.contains(QStringLiteral("<td>Capitals</td><td class=\"n\">3</td>"
                                         "<td class=\"n\">0.33</td><td class=\"n\">0.97</td>"
                                         "<td>choice 1</td><td class=\"n\">2</td>")));
}

void TestCorvtoolResults::wrongCommandLines()
{
    const TRun missing = Corvtool({QStringLiteral("results"), FilePath(QStringLiteral("none"))});
    EXPECT_EXIT(missing, 1);
    QCOMPARE(missing.Err, QStringLiteral("corvtool: the folder %1 does not exist\n")
                              .arg(FilePath(QStringLiteral("none"))));

    const TRun noFolder = Corvtool({QStringLiteral("results")});
    EXPECT_EXIT(noFolder, 1);
    QVERIFY(noFolder.Err.startsWith(QStringLiteral("corvtool: results needs a folder\nUsage:")));

    const TRun noValue = Corvtool({QStringLiteral("results"), Results(), QStringLiteral("--csv")});
    EXPECT_EXIT(noValue, 1);
    QVERIFY(noValue.Err.startsWith(QStringLiteral("corvtool: --csv needs a file name\n")));

    const TRun badTest = Corvtool({QStringLiteral("results"), Results(), QStringLiteral("--test"),
                                   FilePath(QStringLiteral("missing.cvl"))});
    EXPECT_EXIT(badTest, 1);
    QVERIFY2(badTest.Err.contains(QStringLiteral("missing.cvl")), qPrintable(badTest.Err));

    // An output that cannot be written fails the command and leaves nothing.
    const QString blocked = FilePath(QStringLiteral("no-folder/out.csv"));
    const TRun unwritable =
        Corvtool({QStringLiteral("results"), Results(), QStringLiteral("--csv"), blocked});
    EXPECT_EXIT(unwritable, 1);
    QVERIFY(unwritable.Err.contains(blocked));
}

QTEST_GUILESS_MAIN(TestCorvtoolResults)
#include "tst_corvtool_results.moc"
