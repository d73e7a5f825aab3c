// The builder driven as an author drives it through the tools window: start-up
// and the command line, the menus' states, adding, visiting and deleting
// pages, opening, saving and running tests, and closing, with every message
// box and file dialog answered by the scripted interaction.
#include "QZBuilderTest.h"

#include "QZControls.h"
#include "QZEditorState.h"
#include "QZQuestions.h"
#include "QZRecordFields.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace CorvBuilder;

class TBuilderTest : public QObject, public TBuilderFixture
{
    Q_OBJECT

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void startUp()
    {
        Start();
        QCOMPARE(Surface().windowTitle(), QStringLiteral("Corvella Builder"));
        QCOMPARE(EditorState.GridStep, 9);
        QCOMPARE(Doc().FileName(), QStringLiteral("Untitled.cvl"));
        QVERIFY(EditorState.SnapToGrid);
        QVERIFY(!Doc().IsModified());
        QCOMPARE(EditorState.PageNameCounter, 2);
        // The type defaults start from the window font and colour.
        const auto choices = EditorState.TypeDefaults.Get<TIzbireRecord>();
        QCOMPARE(qint32(choices.Width), 200);
        QCOMPARE(quint32(choices.Color), WindowColor);
        QCOMPARE(RecordToBytes(choices.QuestionFont), RecordToBytes(WindowFontRecord()));
        QVERIFY(!EditorState.TypeDefaults.Has(ObjSlika));
        QVERIFY(!EditorState.TypeDefaults.Has(ObjMedia));
        // Later activations change nothing.
        QVERIFY(!Surface().FirstActivation(QSize(800, 600)));
        QCOMPARE(ScreenWidth, 1024);
        QVERIFY(!BuilderCursor(crDelete).pixmap().isNull());
    }

    void commandLine()
    {
        const QString path = SavedTestFile(QStringLiteral("one.cvl"));
        Start({QStringLiteral("corvbld"), path});
        QVERIFY(Doc().Test());
        QCOMPARE(Doc().Test()->PageCount(), 2);
        QCOMPARE(Doc().CurrentPage(), Doc().Test()->Page(0));
        QCOMPARE(Surface().windowTitle(), QStringLiteral("Untitled - Page 1 - ") + path);
        QVERIFY(!Doc().IsModified());
        m_builder.reset();

        // Two arguments: nothing is opened.
        Start({QStringLiteral("corvbld"), path, path});
        QVERIFY(!Doc().Test());
        QVERIFY(m_script->Messages.isEmpty());
    }

    void menuStates()
    {
        Start();
        QCOMPARE(Tools().width(), 150);
        QVERIFY(!Tools().MenuItem(QStringLiteral("Save"))->isEnabled());
        QVERIFY(!Tools().MenuItem(QStringLiteral("Insert"))->isEnabled());
        QVERIFY(!Tools().SpeedButton(QStringLiteral("Save"))->isEnabled());
        QVERIFY(Tools().SpeedButton(QStringLiteral("Choices"))->isHidden());
        QVERIFY(!Tools().HelpButton()->isHidden());
        QCOMPARE(Tools().HelpButton()->geometry(), QRect(78, 6, 61, 61));

        Tools().New();
        QCOMPARE(Tools().width(), 406);
        QVERIFY(Tools().MenuItem(QStringLiteral("Test Explorer..."))->isEnabled());
        QVERIFY(Tools().SpeedButton(QStringLiteral("Save"))->isEnabled());
        QVERIFY(!Tools().SpeedButton(QStringLiteral("Choices"))->isHidden());
        QVERIFY(Tools().HelpButton()->isHidden());
        QCOMPARE(Tools().SpeedButton(QStringLiteral("Run the Test"))->geometry(),
                 QRect(336, 36, 30, 30));
        QCOMPARE(Tools().SpeedButton(QStringLiteral("Delete object"))->toolTip(),
                 QStringLiteral("Delete object"));
        // A new test has nothing to undo, and its first page is not an edit.
        QCOMPARE(Tools().MenuItem(QStringLiteral("Undo"))->text(), QStringLiteral("Undo"));
        QVERIFY(!Tools().SpeedButton(QStringLiteral("Undo"))->isEnabled());
        QVERIFY(Tools().MenuItem(QStringLiteral("Paste"))->isEnabled());

        // A second New warns and changes nothing.
        Tools().New();
        QCOMPARE(m_script->MessageTexts(),
                 {QStringLiteral("Project is already open. You must close it before opening "
                                 "another project.")});
        QCOMPARE(Doc().Test()->PageCount(), 1);
    }

    void pageNames()
    {
        Start();
        Tools().New();
        QCOMPARE(PageNames(*Doc().Test()), {QStringLiteral("Page 1")});
        QVERIFY(Doc().IsModified());
        // A page already called "Page 2": the next new page is "Page 3".
        TPageRecord record = Doc().CurrentPage()->PageRecord();
        record.PageName.SetBytes("Page 2");
        Doc().CurrentPage()->SetPageRecord(record);
        Tools().AddPage();
        QCOMPARE(PageNames(*Doc().Test()),
                 (QStringList{QStringLiteral("Page 2"), QStringLiteral("Page 3")}));
        QCOMPARE(Doc().Test()->CurrentIndex(), 1);
        QCOMPARE(Doc().CurrentPage()->CorrectTarget(), QStringLiteral("(Forward)"));
        QVERIFY(Surface().windowTitle().contains(QStringLiteral(" - Page 3 - ")));

        // Insert page takes the counter's name without looking, before the
        // page shown, with empty targets.
        EditorState.PageNameCounter = 2;
        Tools().InsertPage();
        QCOMPARE(PageNames(*Doc().Test()),
                 (QStringList{QStringLiteral("Page 2"), QStringLiteral("Page 2"),
                              QStringLiteral("Page 3")}));
        QCOMPARE(Doc().Test()->CurrentIndex(), 1);
        QCOMPARE(Doc().CurrentPage(), Doc().Test()->Page(1));
        QVERIFY(Doc().CurrentPage()->CorrectTarget().isEmpty());
        QVERIFY(Doc().CurrentPage()->WrongTarget().isEmpty());
        QCOMPARE(EditorState.PageNameCounter, 3);
    }

    void visitingAndDeletingPages()
    {
        Start();
        Tools().New();
        Tools().AddPage();
        Tools().AddPage();
        Tools().InsertButton();
        QWidget *face = FaceOf(Doc().CurrentPage()->Objects().back().get());
        Tools().NextPage(); // on the last page: nothing moves
        QCOMPARE(Doc().Test()->CurrentIndex(), 2);
        Tools().PreviousPage();
        QCOMPARE(Doc().Test()->CurrentIndex(), 1);
        QVERIFY(face->isHidden());
        Tools().NextPage();
        QVERIFY(!face->isHidden());

        // Deleting the last page shows page 0.
        m_script->Answers = {TQZButton::No, TQZButton::Yes};
        Tools().DeletePage();
        QCOMPARE(Doc().Test()->PageCount(), 3);
        Tools().DeletePage();
        QCOMPARE(PageNames(*Doc().Test()),
                 (QStringList{QStringLiteral("Page 1"), QStringLiteral("Page 2")}));
        QCOMPARE(Doc().Test()->CurrentIndex(), 0);
        QCOMPARE(Doc().CurrentPage(), Doc().Test()->Page(0));
        QVERIFY(Surface().windowTitle().contains(QStringLiteral(" - Page 1 - ")));
        QCOMPARE(m_script->MessageTexts(), QStringList(2, QStringLiteral("Delete entire page?")));

        m_script->Messages.clear();
        Tools().DeletePage();
        Tools().DeletePage();
        QCOMPARE(Doc().Test()->PageCount(), 1);
        QCOMPARE(m_script->Messages.constLast().Text,
                 QStringLiteral("I can not delete the only page!"));
        QCOMPARE(m_script->Messages.constLast().Kind, TQZMessageKind::Information);
    }

    void openWithPassword()
    {
        const QString path = SavedTestFile(QStringLiteral("locked.cvl"), QStringLiteral("tajno"));
        Start();
        m_script->FileAnswers = {path};
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>()->setText(QStringLiteral("wrong"));
            return int(QDialog::Accepted);
        };
        Tools().Open();
        QCOMPARE(m_script->DialogTitles, {QStringLiteral("Password for Editing")});
        QCOMPARE(m_script->MessageTexts(), {QStringLiteral("Wrong password!")});
        QCOMPARE(m_script->Messages.constFirst().Caption, QStringLiteral("Error"));
        QVERIFY(!Doc().Test());
        QCOMPARE(Surface().windowTitle(), QStringLiteral("Corvella Builder"));
        QCOMPARE(Tools().width(), 150);
        QVERIFY(!Doc().IsModified());
        QVERIFY(!TestLoading);

        // The password in capitals opens it.
        m_script->FileAnswers = {path};
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>()->setText(QStringLiteral("TAJNO"));
            return int(QDialog::Accepted);
        };
        Tools().Open();
        QVERIFY(Doc().Test());
        QCOMPARE(Tools().width(), 406);
        QCOMPARE(m_script->FileFilters.constLast(), QStringLiteral("Corvella (*.cvl)"));
    }

    void openingError()
    {
        Start();
        const QString path = m_dir.filePath(QStringLiteral("broken.cvl"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a test");
        file.close();
        m_script->FileAnswers = {path};
        Tools().Open();
        QVERIFY(!Doc().Test());
        QVERIFY(m_script->Messages.constFirst().Text.startsWith(QStringLiteral("Opening error: ") +
                                                                path + QLatin1Char('\n')));
        QCOMPARE(Tools().width(), 150);
        // A cancelled open dialog does nothing.
        Tools().Open();
        QCOMPARE(m_script->Messages.size(), 1);
    }

    void saveAndClose()
    {
        Start();
        Tools().New();
        // Save of an untitled test goes through Save As; cancelling it keeps
        // the test open and unsaved, also for Close and Save.
        Tools().Save();
        QCOMPARE(m_script->SaveDialogs, {QStringLiteral("Save As|Untitled.cvl")});
        QVERIFY(Doc().IsModified());
        Tools().CloseAndSave();
        QVERIFY(Doc().Test());
        QVERIFY(Doc().IsModified());

        const QString path = m_dir.filePath(QStringLiteral("made here.cvl"));
        m_script->FileAnswers = {path};
        Tools().CloseAndSave();
        QVERIFY(!Doc().Test());
        QVERIFY(QFile::exists(path));
        QCOMPARE(Surface().windowTitle(), QStringLiteral("Corvella Builder"));

        // Close without Saving asks only when something changed.
        Tools().OpenFile(path);
        QVERIFY(!Doc().IsModified());
        Tools().CloseWithoutSaving();
        QVERIFY(!Doc().Test());
        QVERIFY(m_script->Messages.isEmpty());
        Tools().OpenFile(path);
        Tools().AddPage();
        m_script->Answers = {TQZButton::No};
        Tools().CloseWithoutSaving();
        QVERIFY(Doc().Test());
        Tools().CloseWithoutSaving();
        QVERIFY(!Doc().Test());
        QCOMPARE(m_script->MessageTexts(), QStringList(2, QStringLiteral("Close without saving?")));
    }

    void saveWithPassword()
    {
        Start();
        Tools().New();
        const QString path = m_dir.filePath(QStringLiteral("pw.cvl"));
        int round = 0;
        m_script->OnDialog = [&round](QDialog &dialog) {
            const auto edits = dialog.findChildren<QLineEdit *>();
            edits.at(0)->setText(QStringLiteral("abc"));
            edits.at(1)->setText(++round == 1 ? QStringLiteral("abd") : QStringLiteral("abc"));
            return int(QDialog::Accepted);
        };
        m_script->FileAnswers = {path};
        Tools().SaveWithPassword();
        QCOMPARE(m_script->MessageTexts(), {QStringLiteral("Passwords do not match! Try again.")});
        QCOMPARE(m_script->DialogTitles.size(), 2);
        QCOMPARE(Doc().Test()->TestRecord().EditPassword.Bytes(),
                 TQZNaloga::PasswordValue(QStringLiteral("ABC")));
        QVERIFY(!Doc().IsModified());

        // Two empty fields remove the password.
        m_script->OnDialog = [](QDialog &) {
            return int(QDialog::Accepted);
        };
        m_script->FileAnswers = {path};
        Tools().SaveWithPassword();
        QVERIFY(!Doc().Test()->HasEditPassword());
        // Cancel stores nothing.
        Doc().Test()->SetEditPassword(QStringLiteral("x"));
        m_script->OnDialog = [](QDialog &) {
            return int(QDialog::Rejected);
        };
        Tools().SaveWithPassword();
        QVERIFY(Doc().Test()->HasEditPassword());
    }

    void run()
    {
        Start();
        Tools().New();
        m_script->Answers = {TQZButton::No};
        Tools().Run();
        QCOMPARE(m_script->MessageTexts(),
                 {QStringLiteral("You must save the project before testing.\n"
                                 "Save and run the test?")});
        QVERIFY(m_script->Started.isEmpty());

        const QString path = m_dir.filePath(QStringLiteral("a test with spaces.cvl"));
        m_script->FileAnswers = {path};
        Tools().Run(); // Yes: saved through Save As, then started
        QCOMPARE(m_script->Started.size(), 1);
        const auto &started = m_script->Started.constFirst();
        QCOMPARE(started.Arguments, {path});
        QCOMPARE(started.WorkingFolder, QCoreApplication::applicationDirPath());
        QCOMPARE(started.Program,
                 QCoreApplication::applicationDirPath() + QStringLiteral("/corvview"));
        // Saved: starts at once without asking.
        Tools().Run();
        QCOMPARE(m_script->Started.size(), 2);
        QCOMPARE(m_script->Messages.size(), 2);
    }

    void closeQuery()
    {
        Start();
        Surface().show();
        m_script->Answers = {TQZButton::No};
        QVERIFY(!Surface().close());
        QCOMPARE(m_script->MessageTexts(), {QStringLiteral("Do you want to exit?")});

        Tools().New();
        m_script->Messages.clear();
        m_script->Answers = {TQZButton::Yes};
        QVERIFY(Surface().close()); // Save As is cancelled; the program still ends
        QCOMPARE(
            m_script->MessageTexts(),
            {QStringLiteral("Project is not saved!\nDo you want to save it before quitting?")});
        QCOMPARE(m_script->SaveDialogs.size(), 1);
        QVERIFY(!Doc().Test());
    }
};

QTEST_MAIN(TBuilderTest)
#include "tst_builder.moc"
