// The "Results" window driven as a teacher drives it: "Results..." in the
// Test menu with the folder chooser answered by the script, clicks on the
// table's header and rows, the keyboard, and "Export CSV..." and "Reload"
// pressed, over a folder of good, damaged and foreign attempt records.
#include "QZAttemptDialog.h"
#include "QZBuilderTest.h"
#include "QZDialogs.h"
#include "QZResultsCharts.h"
#include "QZResultsExport.h"
#include "QZResultsModels.h"
#include "QZResultsWindow.h"
#include "QZStran.h"

#include <QAction>
#include <QChart>
#include <QCryptographicHash>
#include <QFile>
#include <QGraphicsView>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimeZone>

using namespace Corvella;
using namespace Qt::StringLiterals;

namespace {

const QString Hash = QStringLiteral("ab").repeated(32);
const QString Rings = QStringLiteral("<i>Rings</i>");

QDateTime Time(int minute, int second = 0)
{
    return QDateTime(QDate(2024, 5, 6), QTime(9, minute, second), QTimeZone(7200));
}

// A visit of a page with one choices question: `marked` against the right
// mark 1.
TPageVisit Visit(const QString &page, int index, int marked, qint32 possible, const QString &next)
{
    TPageVisit visit;
    visit.Page = page;
    visit.Index = index;
    TAnswerRecord answer;
    answer.Object = 1;
    answer.Marked = {marked};
    answer.RightMarks = {1};
    answer.Correct = marked == 1;
    answer.Points = possible;
    visit.Answers = {answer};
    visit.Earned = answer.Correct ? possible : 0;
    visit.Possible = possible;
    visit.Seconds = 12.5;
    visit.Next = next;
    return visit;
}

// Writes an attempt that starts at `minute`, confirms `visits` half a minute
// apart and, when finished, ends three minutes after its start.
QString WriteAttempt(const QString &folder, const QString &student, int minute,
                     std::vector<TPageVisit> visits, bool finished, const QString &hash = Hash)
{
    TAttempt attempt;
    attempt.Program = QStringLiteral("corvview 2.1.0");
    attempt.TestTitle = QStringLiteral("Planets");
    attempt.TestFile = QStringLiteral("Planets.cvl");
    attempt.TestSha256 = hash;
    attempt.TestPages = 3;
    attempt.Student = student;
    attempt.Started = Time(minute);
    TAttemptWriter writer;
    if (!writer.Create(folder, attempt))
        return {};
    qint32 earned = 0;
    qint32 possible = 0;
    for (size_t i = 0; i < visits.size(); ++i) {
        TPageVisit &visit = visits[i];
        visit.Order = int(i);
        earned += visit.Earned;
        possible += visit.Possible;
        visit.TotalEarned = earned;
        visit.TotalPossible = possible;
        visit.At = Time(minute, 30 * int(i + 1));
        writer.AppendPage(visit);
    }
    if (finished) {
        attempt.Finished = true;
        attempt.Ended = Time(minute + 3);
        attempt.EndReason = QStringLiteral("result");
        attempt.EndPercent = PercentOf(earned, possible);
        attempt.EndEarned = earned;
        attempt.EndPossible = possible;
        writer.AppendEnd(attempt);
    }
    return attempt.FileName;
}

bool WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Row(const QAbstractItemModel *model, int row)
{
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column)
        cells << model->index(row, column).data().toString();
    return cells;
}

QStringList Column(const QAbstractItemModel *model, int column)
{
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells << model->index(row, column).data().toString();
    return cells;
}

QStringList Lines(const QListWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

void ClickHeader(QHeaderView *header, int section)
{
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace

class TestResultsWindow : public QObject, public TBuilderFixture
{
    Q_OBJECT

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void folderOfGoodDamagedAndForeignRecords();
    void openTestGivesThePages();
    void failuresAreSaid();
};

void TestResultsWindow::folderOfGoodDamagedAndForeignRecords()
{
    const QString folder = m_dir.filePath(QStringLiteral("results"));
    const QString moons = QStringLiteral("Moons");
    const QString sun = QStringLiteral("Sun");
    // 60 %, 100 %, 0 % (unfinished) and 40 %.
    QVERIFY(!WriteAttempt(folder, QStringLiteral("Ana"), 0,
                          {Visit(sun, 0, 1, 2, moons), Visit(moons, 1, 2, 2, Rings),
                           Visit(Rings, 2, 1, 1, QStringLiteral("(End)"))},
                          true)
                 .isEmpty());
    QVERIFY(!WriteAttempt(folder, QStringLiteral("<b>Bo</b>"), 5,
                          {Visit(sun, 0, 1, 2, moons), Visit(moons, 1, 1, 2, Rings),
                           Visit(Rings, 2, 1, 1, QStringLiteral("(End)"))},
                          true)
                 .isEmpty());
    QVERIFY(!WriteAttempt(folder, QString(), 10, {Visit(sun, 0, 2, 2, moons)}, false).isEmpty());
    QVERIFY(!WriteAttempt(folder, QStringLiteral("Dan"), 15,
                          {Visit(sun, 0, 1, 2, moons), Visit(moons, 1, 2, 2, Rings),
                           Visit(Rings, 2, 3, 1, QStringLiteral("(End)"))},
                          true)
                 .isEmpty());
    // A record with a bad line before its last, and a file of another kind.
    const QString damagedFrom =
        WriteAttempt(m_dir.path(), QStringLiteral("Eva"), 20,
                     {Visit(sun, 0, 1, 2, moons), Visit(moons, 1, 1, 2, Rings)}, true);
    QByteArray damaged = ReadAll(damagedFrom);
    damaged.replace("\"seconds\":12.5", "\"seconds\":99.5");
    QVERIFY(WriteFile(folder + QStringLiteral("/damaged.cvr"), damaged));
    QVERIFY(WriteFile(folder + QStringLiteral("/notes.cvr"), "student,points\nAna,3\n"));

    // "Results..." works without a test open, and starts at the default folder.
    Start();
    const QString defaultFolder = m_dir.filePath(QStringLiteral("default results"));
    qputenv("CORVELLA_RESULTS", defaultFolder.toUtf8());
    QAction *item = Tools().MenuItem(QStringLiteral("Results..."));
    QVERIFY(item && item->isEnabled());
    m_script->FileAnswers << folder;
    item->trigger();
    qunsetenv("CORVELLA_RESULTS");
    QCOMPARE(m_script->FolderDialogs, QStringList{defaultFolder});
    TResultsWindow *window = Dialogs().Results;
    QVERIFY(window && window->isVisible() && !window->isModal());
    QCOMPARE(window->SummaryLabel()->text(),
             u"Planets: 4 attempts, 3 finished, 1 unfinished. 2 files could not be used."_s);
    QCOMPARE(window->SummaryLabel()->textFormat(), Qt::PlainText);

    // The attempts, by date; names and texts of the records as they are.
    const QAbstractItemModel *rows = window->SortedAttempts();
    QCOMPARE(rows->rowCount(), 4);
    QCOMPARE(Row(rows, 0), QStringList({u"Ana"_s, u"2024-05-06 09:00"_s, u"3:00"_s, u"3"_s, u"5"_s,
                                        u"60 %"_s, u"60 %"_s, u"yes"_s}));
    QCOMPARE(Row(rows, 1), QStringList({u"<b>Bo</b>"_s, u"2024-05-06 09:05"_s, u"3:00"_s, u"5"_s,
                                        u"5"_s, u"100 %"_s, u"100 %"_s, u"yes"_s}));
    QCOMPARE(Row(rows, 2), QStringList({u"(anonymous)"_s, u"2024-05-06 09:10"_s, u"0:30"_s, u"0"_s,
                                        u"2"_s, u"0 %"_s, u"0 %"_s, u"no"_s}));
    QCOMPARE(Row(rows, 3), QStringList({u"Dan"_s, u"2024-05-06 09:15"_s, u"3:00"_s, u"2"_s, u"5"_s,
                                        u"40 %"_s, u"40 %"_s, u"yes"_s}));

    // Sorted by percent with clicks on its header, by value and not by text.
    QHeaderView *header = window->AttemptsView()->horizontalHeader();
    ClickHeader(header, TAttemptsModel::Percent);
    QCOMPARE(Column(rows, TAttemptsModel::Percent),
             QStringList({u"0 %"_s, u"40 %"_s, u"60 %"_s, u"100 %"_s}));
    ClickHeader(header, TAttemptsModel::Percent);
    QCOMPARE(Column(rows, TAttemptsModel::Student),
             QStringList({u"<b>Bo</b>"_s, u"Ana"_s, u"Dan"_s, u"(anonymous)"_s}));

    QCOMPARE(Lines(window->SkippedList()),
             QStringList({u"damaged.cvr (damaged): line 2: the checksum does not match"_s,
                          u"notes.cvr (not used): not an attempt record"_s}));
    QCOMPARE(window->Tabs()->tabText(3), u"&Files Not Read (2)"_s);

    // The charts: finished attempts by percent (the unfinished one left out),
    // and facility per page from the top.
    QCOMPARE(ChartBars(window->Histogram()).Values, QList<double>({0, 0, 0, 0, 1, 0, 1, 0, 0, 1}));
    QCOMPARE(ChartBars(window->Histogram()).Categories, HistogramBins());
    const TChartBars facility = ChartBars(window->Facility());
    // The axis draws its labels as markup: a page's name is escaped there.
    QCOMPARE(facility.Categories, QStringList({sun, moons, u"&lt;i&gt;Rings&lt;/i&gt;"_s}));
    QCOMPARE(facility.Values.size(), 3);
    QCOMPARE(facility.Values.at(0), 6.0 / 8);
    QCOMPARE(facility.Values.at(1), 2.0 / 6);
    QCOMPARE(facility.Values.at(2), 2.0 / 3);

    const QTableWidget *items = window->ItemTable();
    QCOMPARE(items->rowCount(), 3);
    QStringList moonsRow;
    for (int column = 0; column < items->columnCount(); ++column)
        moonsRow << items->item(1, column)->text();
    QCOMPARE(moonsRow, QStringList({moons, u"3"_s, u"0.33"_s, u"0.50"_s, u"choice 2"_s, u"2"_s}));

    // A double click on Ana's row shows her pages in order.
    QStringList shown;
    m_script->OnDialog = [&shown](QDialog &dialog) {
        auto *attempt = qobject_cast<TAttemptDialog *>(&dialog);
        if (!attempt)
            return int(QDialog::Rejected);
        shown << dialog.windowTitle();
        const QTableWidget *pages = attempt->Pages();
        for (int row = 0; row < pages->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < pages->columnCount(); ++column)
                cells << pages->item(row, column)->text();
            shown << cells.join(u'|');
        }
        return int(QDialog::Rejected);
    };
    QTableView *view = window->AttemptsView();
    const QRect anaRow = view->visualRect(window->SortedAttempts()->index(1, 0));
    // The first click of a double click comes as a press of its own.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, anaRow.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, anaRow.center());
    QCOMPARE(shown, QStringList({u"Attempt - Ana"_s, u"Sun|choice 1|2 / 2|12.5|Moons"_s,
                                 u"Moons|choice 2|0 / 2|12.5|<i>Rings</i>"_s,
                                 u"<i>Rings</i>|choice 1|1 / 1|12.5|(End)"_s}));
    // And from the keyboard: the last row, then Enter.
    shown.clear();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(shown.value(0), u"Attempt - (anonymous)"_s);
    QVERIFY(window->Button(u"Show Attempt"_s)->isEnabled());

    // The CSV written is the library's, byte for byte.
    std::vector<TAttempt> attempts;
    std::vector<TSkippedRecord> skipped;
    QVERIFY(ReadAttemptFolder(folder, attempts, skipped));
    const QByteArray expected = ResultsCsv(TResultsAnalysis(std::move(attempts)));
    const QString csv = m_dir.filePath(QStringLiteral("out.csv"));
    m_script->FileAnswers << csv;
    QTest::mouseClick(window->Button(u"Export CSV"_s), Qt::LeftButton);
    QCOMPARE(m_script->SaveDialogs.constLast(), u"Export CSV|results.csv"_s);
    QCOMPARE(ReadAll(csv), expected);
    QVERIFY(m_script->Messages.isEmpty());

    // Reload reads a record that came meanwhile.
    QVERIFY(!WriteAttempt(folder, QStringLiteral("Fran"), 30, {Visit(sun, 0, 1, 2, moons)}, true)
                 .isEmpty());
    QTest::mouseClick(window->Button(u"Reload"_s), Qt::LeftButton);
    QCOMPARE(rows->rowCount(), 5);
    QCOMPARE(ChartBars(window->Histogram()).Values.constLast(), 2.0);
}

// With the test the attempts were made at open, its pages make the columns
// (a question page no one reached among them) and attempts at other tests
// are left out.
void TestResultsWindow::openTestGivesThePages()
{
    Start();
    Tools().New();
    Tools().InsertChoices();
    Tools().AddPage();
    Tools().AddPage();
    Tools().InsertChoices();
    const QString test = m_dir.filePath(QStringLiteral("Planets.cvl"));
    m_script->FileAnswers << test;
    Tools().SaveAs();
    QVERIFY(!Doc().IsModified());
    const QStringList pages = PageNames(*Doc().Test());
    QCOMPARE(pages.size(), 3);
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(ReadAll(test), QCryptographicHash::Sha256).toHex());

    QTemporaryDir results;
    const QString folder = results.path();
    QVERIFY(!WriteAttempt(folder, QStringLiteral("Ana"), 0,
                          {Visit(pages.at(0), 0, 1, 1, pages.at(1))}, false, hash)
                 .isEmpty());
    QVERIFY(!WriteAttempt(folder, QStringLiteral("Bo"), 1, {Visit(u"Other"_s, 0, 1, 1, {})}, true)
                 .isEmpty());
    m_script->FileAnswers << folder;
    Tools().MenuItem(QStringLiteral("Results..."))->trigger();
    TResultsWindow *window = Dialogs().Results;
    QVERIFY(window->Outline());
    QCOMPARE(window->SortedAttempts()->rowCount(), 1);
    QVERIFY(window->SummaryLabel()->text().endsWith(
        u" Pages as in the open test Planets.cvl. 1 attempt at another test is left out."_s));
    const QTableWidget *items = window->ItemTable();
    QCOMPARE(items->rowCount(), 2);
    QCOMPARE(items->item(0, 0)->text(), pages.at(0));
    QCOMPARE(items->item(1, 0)->text(), pages.at(2));
    QCOMPARE(items->item(1, 1)->text(), u"0"_s);

    // A change not saved: the open test may no longer be its file.
    Tools().AddPage();
    QTest::mouseClick(window->Button(u"Reload"_s), Qt::LeftButton);
    QVERIFY(!window->Outline());
    QCOMPARE(window->SortedAttempts()->rowCount(), 2);
}

// A folder that is not there, one without records and a CSV file that
// cannot be written, each said plainly; and every control has a name.
void TestResultsWindow::failuresAreSaid()
{
    TResultsWindow window;
    const QString missing = m_dir.filePath(u"missing"_s);
    window.ShowFolder(missing);
    QCOMPARE(window.SummaryLabel()->text(),
             u"Cannot read the results: the folder %1 does not exist."_s.arg(missing));
    QVERIFY(!window.Button(u"Export CSV"_s)->isEnabled());
    QTemporaryDir empty;
    window.ShowFolder(empty.path());
    QCOMPARE(window.SummaryLabel()->text(), u"No attempt records in this folder."_s);

    QVERIFY(
        !WriteAttempt(empty.path(), u"Ana"_s, 0, {Visit(u"Sun"_s, 0, 1, 1, {})}, true).isEmpty());
    window.show();
    QTest::mouseClick(window.Button(u"Reload"_s), Qt::LeftButton);
    const QString unwritable = missing + u"/out.csv"_s;
    m_script->FileAnswers << unwritable;
    QTest::mouseClick(window.Button(u"Export CSV"_s), Qt::LeftButton);
    QCOMPARE(m_script->MessageTexts(), QStringList{u"Saving error: "_s + unwritable});

    const auto unnamed = [&window] {
        QStringList names;
        const auto controls = window.findChildren<QWidget *>();
        for (const QWidget *control : controls) {
            // Qt's "select all" corner of a table, hidden with its row numbers.
            if (control->inherits("QTableCornerButton"))
                continue;
            const bool needsName = qobject_cast<const QAbstractButton *>(control) ||
                                   qobject_cast<const QGraphicsView *>(control) ||
                                   (qobject_cast<const QAbstractItemView *>(control) &&
                                    !qobject_cast<const QHeaderView *>(control));
            if (needsName && control->accessibleName().isEmpty())
                names << QString::fromLatin1(control->metaObject()->className());
        }
        return names;
    };
    QCOMPARE(unnamed(), QStringList());
}

QTEST_MAIN(TestResultsWindow)
#include "tst_resultswindow.moc"
