// The Test Explorer and "New Page from Template" driven as an author drives
// them: clicks on the explorer's list and buttons, the template dialog shown
// and confirmed with its OK button, and every file dialog and message box
// answered by the scripted interaction.
#include "QZBuilder.h"
#include "QZCodePage.h"
#include "QZControls.h"
#include "QZDialogs.h"
#include "QZEditorState.h"
#include "QZGlavnoOkno.h"
#include "QZOrodja.h"
#include "QZPageExplorer.h"
#include "QZPageWizard.h"
#include "QZRecordFields.h"
#include "QZRecordedHelp.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace CorvBuilder;

using namespace Qt::StringLiterals;

namespace {

QStringList PageNames(const TQZNaloga &test)
{
    QStringList names;
    for (int i = 0; i < test.PageCount(); ++i)
        names << test.Page(i)->PageName();
    return names;
}

QStringList ListedLines(const QListWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

void ClickLine(QListWidget *list, int row)
{
    const QRect line = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
}

// A page file holding one empty page of that name, written without touching
// the open test's saved state.
void WritePageFile(const QString &path, const QString &name)
{
    const bool saved = Saved;
    TQZNaloga test;
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord(EncodeDefault(name), "(Forward)", "(Forward)"));
    test.AddPage(std::move(page));
    test.SavePageToFile(0, path);
    Saved = saved;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TExplorerTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TQZScriptedInteraction> m_script;
    std::unique_ptr<TQZRecordedHelp> m_help;
    std::unique_ptr<TBuilder> m_builder;
    std::unique_ptr<QTemporaryDir> m_dir;

    TGlavnoOkno &Surface() { return m_builder->MainWindow(); }
    TBuilderDocument &Doc() { return Surface().Document(); }
    TOrodja &Tools() { return m_builder->Tools(); }
    TPageExplorer &Explorer() { return *qobject_cast<TPageExplorer *>(Dialogs().Explorer); }
    TPageWizard &Wizard() { return *qobject_cast<TPageWizard *>(Dialogs().Wizard); }
    QString Path(const QString &name) const { return m_dir->filePath(name); }

    void Start()
    {
        m_builder = std::make_unique<TBuilder>(QStringList{QStringLiteral("corvbld")});
        m_builder->Create();
        Surface().FirstActivation(QSize(1024, 768));
        Surface().setGeometry(0, 0, 1024, 768);
    }

    // A new test of pages "Page 1" to "Page n", the explorer open on it and
    // the first page shown.
    void StartWithPages(int count)
    {
        Start();
        Tools().New();
        for (int i = 1; i < count; ++i)
            Tools().AddPage();
        Doc().Test()->GoToPage(0);
        Surface().PageChanged();
        Tools().MenuItem(QStringLiteral("Test Explorer..."))->trigger();
    }

    void Press(const char *caption) { Explorer().Button(QString::fromLatin1(caption))->click(); }

    // Runs the template dialog from the tools window: shown, set up by
    // `prepare`, confirmed with OK. True when the dialog closed accepted.
    bool RunWizard(const std::function<void(TPageWizard &)> &prepare = {})
    {
        bool accepted = false;
        m_script->OnDialog = [&](QDialog &dialog) {
            dialog.show();
            if (prepare)
                prepare(Wizard());
            auto *buttons = dialog.findChild<QDialogButtonBox *>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
            accepted = !dialog.isVisible();
            dialog.hide();
            return accepted ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
        Tools().SpeedButton(QStringLiteral("New Page from Template"))->click();
        return accepted;
    }

private slots:
    void init()
    {
        m_script = std::make_unique<TQZScriptedInteraction>();
        m_help = std::make_unique<TQZRecordedHelp>();
        m_dir = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        m_builder.reset();
        m_help.reset();
        m_script.reset();
        m_dir.reset();
    }

    // The explorer blocks nothing, starts centred, follows the current page
    // after each page command, save and activation, and shows a clicked line.
    void explorerFollowsCurrentPage()
    {
        StartWithPages(3);
        TPageExplorer &explorer = Explorer();
        QVERIFY(explorer.isVisible() && !explorer.isModal() && !QApplication::activeModalWidget());
        QCOMPARE(explorer.windowTitle(), u"Test Explorer"_s);
        QCOMPARE(explorer.frameGeometry().center(),
                 explorer.screen()->availableGeometry().center());
        QListWidget *list = explorer.PageList();
        QCOMPARE(list->currentRow(), 0);
        Tools().NextPage();
        QCOMPARE(list->currentRow(), 1);
        Tools().InsertPage();
        QCOMPARE(ListedLines(list),
                 QStringList({u"Page 1"_s, u"Page 4"_s, u"Page 2"_s, u"Page 3"_s}));
        QCOMPARE(list->currentRow(), 1);

        // A change nobody reports shows at the next activation and save.
        TPageRecord record = Doc().Test()->Page(0)->PageRecord();
        record.PageName.SetBytes("Intro");
        Doc().Test()->Page(0)->SetPageRecord(record);
        Doc().Test()->GoToPage(2);
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&explorer, &activate);
        QCOMPARE(list->item(0)->text(), u"Intro"_s);
        QCOMPARE(list->currentRow(), 2);
        m_script->FileAnswers = {Path(u"t.cvl"_s)};
        Doc().Test()->GoToPage(3);
        Tools().Save();
        QCOMPARE(list->currentRow(), 3);

        ClickLine(list, 1);
        QCOMPARE(Doc().CurrentPage(), Doc().Test()->Page(1));
        QCOMPARE(Surface().windowTitle(), u"Untitled - Page 4 - "_s + Path(u"t.cvl"_s));
        Tools().CloseWithoutSaving();
        QCOMPARE(list->count(), 0);
        Press("OK");
        QVERIFY(!explorer.isVisible());
    }

    void moveUpAndDown()
    {
        StartWithPages(5);
        Doc().MarkSaved();
        // Move Up on the first page and Move Down on the last do nothing.
        Press("Move Up");
        ClickLine(Explorer().PageList(), 4);
        Press("Move Down");
        QCOMPARE(PageNames(*Doc().Test()),
                 QStringList({u"Page 1"_s, u"Page 2"_s, u"Page 3"_s, u"Page 4"_s, u"Page 5"_s}));
        QVERIFY(!Doc().IsModified());

        // The moved page stays the one shown, its line selected and focused.
        ClickLine(Explorer().PageList(), 2);
        Tools().InsertButton();
        QWidget *face = FaceOf(Doc().CurrentPage()->Objects().back().get());
        Explorer().Button(u"Move Up"_s)->setFocus();
        Press("Move Up");
        QCOMPARE(PageNames(*Doc().Test()),
                 QStringList({u"Page 1"_s, u"Page 3"_s, u"Page 2"_s, u"Page 4"_s, u"Page 5"_s}));
        QCOMPARE(Explorer().SelectedIndex(), 1);
        QCOMPARE(Explorer().focusWidget(), Explorer().PageList());
        QVERIFY(!face->isHidden());
        QVERIFY(Doc().IsModified());
        Press("Move Down");
        Press("Move Down");
        QCOMPARE(PageNames(*Doc().Test()),
                 QStringList({u"Page 1"_s, u"Page 2"_s, u"Page 4"_s, u"Page 3"_s, u"Page 5"_s}));
        QCOMPARE(Surface().windowTitle(), u"Untitled - Page 3 - Untitled.cvl"_s);
    }

    // Duplicating page 3 of 5 adds "Copy of Page 3" as page 6 and shows it.
    void duplicate()
    {
        StartWithPages(5);
        ClickLine(Explorer().PageList(), 2);
        Tools().InsertButton();
        QWidget *original = FaceOf(Doc().CurrentPage()->Objects().back().get());
        Press("Duplicate");
        QCOMPARE(PageNames(*Doc().Test()).size(), 6);
        QCOMPARE(Explorer().PageList()->item(5)->text(), u"Copy of Page 3"_s);
        QCOMPARE(Explorer().SelectedIndex(), 5);
        QCOMPARE(Surface().windowTitle(), u"Untitled - Copy of Page 3 - Untitled.cvl"_s);
        QVERIFY(!FaceOf(Doc().CurrentPage()->Objects().back().get())->isHidden());
        QVERIFY(original->isHidden());
    }

    void deleteAndProperties()
    {
        StartWithPages(3);
        ClickLine(Explorer().PageList(), 1);
        m_script->Answers = {TQZButton::No};
        Press("Delete");
        Press("Delete");
        QCOMPARE(m_script->MessageTexts(),
                 QStringList({u"Delete entire page?"_s, u"Delete entire page?"_s}));
        QCOMPARE(ListedLines(Explorer().PageList()), QStringList({u"Page 1"_s, u"Page 3"_s}));
        QCOMPARE(Explorer().SelectedIndex(), 0);

        ClickLine(Explorer().PageList(), 1);
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(u"PageNameEdit"_s)->setText(u"Summary"_s);
            return int(QDialog::Accepted);
        };
        Press("Properties...");
        QCOMPARE(m_script->DialogTitles, {u"Page - Properties"_s});
        QCOMPARE(Explorer().PageList()->item(1)->text(), u"Summary"_s);
        QCOMPARE(Surface().windowTitle(), u"Untitled - Summary - Untitled.cvl"_s);
    }

    void savePage()
    {
        StartWithPages(3);
        ClickLine(Explorer().PageList(), 1);
        Doc().MarkSaved();
        Press("Save Page..."); // cancelled
        const QString path = Path(u"second.cvp"_s);
        m_script->FileAnswers = {path};
        Press("Save Page...");
        QCOMPARE(m_script->SaveDialogs,
                 QStringList({u"Save Page|Page 2"_s, u"Save Page|Page 2"_s}));
        QCOMPARE(m_script->FileFilters.constFirst(), u"Corvella Page (*.cvp)"_s);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), {u"second.cvp"_s});
        QCOMPARE(ReadWholeFile(path), Doc().Test()->PageToBytes(1));
        QVERIFY(!Doc().IsModified());

        // A name that would be a path is proposed as a plain file name; a
        // file that cannot be written is reported.
        TPageRecord record = Doc().CurrentPage()->PageRecord();
        record.PageName.SetBytes("/Intro");
        Doc().CurrentPage()->SetPageRecord(record);
        const QString nowhere = Path(u"missing/intro.cvp"_s);
        m_script->FileAnswers = {nowhere};
        Press("Save Page...");
        QCOMPARE(m_script->SaveDialogs.constLast(), u"Save Page|_Intro"_s);
        QCOMPARE(m_script->Messages.size(), 1);
        QVERIFY(m_script->Messages.constFirst().Text.startsWith(u"Saving error: "_s + nowhere +
                                                                u"\n"_s));
    }

    // A page file is loaded as the last page, whatever line was selected.
    void loadPage()
    {
        StartWithPages(3);
        const QString path = Path(u"extra.cvp"_s);
        WritePageFile(path, u"Extra"_s);
        Doc().MarkSaved();
        Press("Load Page..."); // cancelled
        QCOMPARE(PageNames(*Doc().Test()).size(), 3);
        QVERIFY(!Doc().IsModified());
        m_script->FileAnswers = {path};
        Press("Load Page...");
        QCOMPARE(PageNames(*Doc().Test()),
                 QStringList({u"Page 1"_s, u"Page 2"_s, u"Page 3"_s, u"Extra"_s}));
        QCOMPARE(Explorer().SelectedIndex(), 3);
        QCOMPARE(Surface().windowTitle(), u"Untitled - Extra - Untitled.cvl"_s);
        QVERIFY(Doc().IsModified());

        // A file that is no page file adds nothing and says why.
        const QString broken = Path(u"broken.cvp"_s);
        WriteFile(broken, "not a page");
        m_script->FileAnswers = {broken};
        Press("Load Page...");
        QCOMPARE(PageNames(*Doc().Test()).size(), 4);
        QCOMPARE(m_script->Messages.size(), 1);
        QCOMPARE(m_script->Messages.constFirst().Kind, TQZMessageKind::Error);
        QVERIFY(m_script->Messages.constFirst().Text.startsWith(u"Opening error: "_s + broken +
                                                                u"\n"_s));
    }

    // The program's folder first, then the author's and the system's data
    // folders, all listed together.
    void templateFolders()
    {
        QTemporaryDir home;
        QTemporaryDir system;
        QVERIFY(QDir(home.path()).mkpath(u"corvella/templates"_s));
        QVERIFY(QDir(system.path()).mkpath(u"corvella/templates"_s));
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        qputenv("XDG_DATA_DIRS", system.path().toLocal8Bit());
        const QStringList folders = TPageWizard::DefaultTemplateFolders();
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        QCOMPARE(folders, QStringList({QCoreApplication::applicationDirPath() + u"/templates"_s,
                                       home.filePath(u"corvella/templates"_s),
                                       system.filePath(u"corvella/templates"_s)}));

        Start();
        WritePageFile(home.filePath(u"corvella/templates/Mine.cvp"_s), u"Mine"_s);
        WritePageFile(system.filePath(u"corvella/templates/Shared.cvp"_s), u"Shared"_s);
        WritePageFile(system.filePath(u"corvella/templates/notes.txt"_s), u"No"_s);
        Wizard().SetTemplateFolders(folders.mid(1));
        Wizard().show();
        QCOMPARE(ListedLines(Wizard().TemplateList()),
                 QStringList({u"Mine.cvp"_s, u"Shared.cvp"_s}));
        QCOMPARE(Wizard().SelectedTemplate(), home.filePath(u"corvella/templates/Mine.cvp"_s));
    }

    void preview_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("shown");
        QTest::newRow("Quiz.BMP") << u"Quiz.BMP"_s << true << true;
        QTest::newRow("QUIZ.bmp") << u"QUIZ.bmp"_s << true << true;
        QTest::newRow("damaged") << u"Quiz.BMP"_s << false << false;
        QTest::newRow("other name") << u"Quiz1.BMP"_s << true << false;
        QTest::newRow("none") << QString() << true << false;
    }

    // A template named Quiz.cvp takes its preview from Quiz.BMP beside it.
    void preview()
    {
        QFETCH(QString, picture);
        QFETCH(bool, valid);
        QFETCH(bool, shown);
        WritePageFile(Path(u"Quiz.cvp"_s), u"Quiz"_s);
        WritePageFile(Path(u"Zebra.cvp"_s), u"Zebra"_s);
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::red);
        if (!picture.isEmpty() && valid)
            QVERIFY(image.save(Path(picture), "BMP"));
        else if (!picture.isEmpty())
            WriteFile(Path(picture), "BM not really");
        Start();
        Wizard().SetTemplateFolders({m_dir->path()});
        Wizard().show();
        QCOMPARE(ListedLines(Wizard().TemplateList()),
                 QStringList({u"Quiz.cvp"_s, u"Zebra.cvp"_s}));
        QCOMPARE(Wizard().PreviewShown(), shown);
        auto *label = Wizard().findChild<QLabel *>(u"PreviewImage"_s);
        if (shown)
            QCOMPARE(label->pixmap().toImage().pixelColor(10, 10), QColor(Qt::red));
        ClickLine(Wizard().TemplateList(), 1);
        QVERIFY(!Wizard().PreviewShown());
        ClickLine(Wizard().TemplateList(), 0);
        QCOMPARE(Wizard().PreviewShown(), shown);
    }

    // An empty folder shows an empty list and no preview; OK then adds nothing.
    void emptyTemplateFolder()
    {
        Start();
        Wizard().SetTemplateFolders({m_dir->path(), Path(u"missing"_s)});
        QVERIFY(!RunWizard());
        QCOMPARE(Wizard().TemplateList()->count(), 0);
        QVERIFY(!Wizard().PreviewShown());
        QCOMPARE(m_script->MessageTexts(), {u"No template is selected."_s});
        QVERIFY(!Doc().Test());
    }

    // With no test open a template starts a new test of that one page.
    void templateStartsNewTest()
    {
        Start();
        WritePageFile(Path(u"Quiz.cvp"_s), u"Quiz"_s);
        Wizard().SetTemplateFolders({m_dir->path()});
        QVERIFY(RunWizard([](TPageWizard &wizard) {
            wizard.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Help)->click();
        }));
        QCOMPARE(m_help->Requests, {400});
        QCOMPARE(m_script->DialogTitles, {u"New Page from Template"_s});
        QCOMPARE(PageNames(*Doc().Test()), {u"Quiz"_s});
        QCOMPARE(Doc().CurrentPage(), Doc().Test()->Page(0));
        QCOMPARE(int(Doc().Test()->TestRecord().WrongAnswerMode), 1);
        QCOMPARE(Surface().windowTitle(), u"Untitled - Quiz - Untitled.cvl"_s);
        QCOMPARE(Tools().width(), TOrodja::WidthWithTest);
        QVERIFY(Doc().IsModified());
    }

    // The page name typed names the new last page, and stays for the next
    // use; left empty, the page keeps the template's name.
    void templateAppendsNamedPage()
    {
        StartWithPages(3);
        WritePageFile(Path(u"Quiz.cvp"_s), u"Quiz"_s);
        Wizard().SetTemplateFolders({m_dir->path()});
        QVERIFY(RunWizard(
            [](TPageWizard &wizard) { QTest::keyClicks(wizard.PageNameEdit(), u"Question 4"_s); }));
        QCOMPARE(PageNames(*Doc().Test()),
                 QStringList({u"Page 1"_s, u"Page 2"_s, u"Page 3"_s, u"Question 4"_s}));
        QCOMPARE(Explorer().PageList()->item(3)->text(), u"Question 4"_s);
        QCOMPARE(Explorer().SelectedIndex(), 3);
        QCOMPARE(Surface().windowTitle(), u"Untitled - Question 4 - Untitled.cvl"_s);

        QVERIFY(RunWizard([](TPageWizard &wizard) {
            QCOMPARE(wizard.PageNameEdit()->text(), u"Question 4"_s);
            wizard.PageNameEdit()->setText(QString(300, u'n'));
        }));
        QCOMPARE(PageNames(*Doc().Test()).constLast(), QString(255, u'n'));
        QVERIFY(RunWizard([](TPageWizard &wizard) { wizard.PageNameEdit()->clear(); }));
        QCOMPARE(PageNames(*Doc().Test()).constLast(), u"Quiz"_s);
    }

    // A template that cannot be read is reported with its file and the cause;
    // the test is left as it was, and so is the builder without a test.
    void unreadableTemplate()
    {
        const QString broken = Path(u"Broken.cvp"_s);
        WriteFile(broken, QByteArray(100, 'x'));
        Start();
        Wizard().SetTemplateFolders({m_dir->path()});
        QVERIFY(!RunWizard());
        QVERIFY(!Doc().Test());
        QCOMPARE(Tools().width(), TOrodja::WidthWithoutTest);
        QCOMPARE(m_script->Messages.size(), 1);
        QCOMPARE(m_script->Messages.constFirst().Kind, TQZMessageKind::Error);
        const QString text = m_script->Messages.constFirst().Text;
        const QString start = u"Opening error: "_s + broken + u"\n"_s;
        QVERIFY2(text.startsWith(start) && text.size() > start.size(), qPrintable(text));

        Tools().New();
        Doc().MarkSaved();
        QVERIFY(!RunWizard());
        QCOMPARE(PageNames(*Doc().Test()), {u"Page 1"_s});
        QVERIFY(!Doc().IsModified());
    }

    // The templates shipped beside the programs read as pages with previews;
    // the result page ends the test with an Exit button.
    void shippedTemplates()
    {
        const QDir folder(QCoreApplication::applicationDirPath() + u"/templates"_s);
        const QStringList expected = {u"Choices.cvp"_s, u"Input.cvp"_s, u"Result.cvp"_s,
                                      u"Title.cvp"_s, u"YesNo.cvp"_s};
        Start();
        Wizard().SetTemplateFolders({folder.path()});
        Wizard().show();
        QCOMPARE(ListedLines(Wizard().TemplateList()), expected);
        for (int i = 0; i < expected.size(); ++i) {
            ClickLine(Wizard().TemplateList(), i);
            QVERIFY2(Wizard().PreviewShown(), qPrintable(expected.at(i)));
        }

        // Each page's objects by type, the question types in the middle.
        TQZNaloga test;
        QList<QList<int>> types;
        for (const QString &name : expected) {
            test.LoadPageFromFile(folder.filePath(name));
            types << QList<int>();
            for (const auto &object : test.Page(test.PageCount() - 1)->Objects())
                types.back() << object->ObjectTypeTag();
        }
        const int P = ObjPanelBesedilo, T = ObjBesedilo, B = ObjGumb;
        QCOMPARE(types, QList<QList<int>>({{P, ObjIzbire, B},
                                           {P, T, ObjVnosnoOkno, T, B},
                                           {P, T, B},
                                           {P, T, T, B},
                                           {P, T, ObjDaNe, B}}));
        const auto exit = RecordFromBytes<TGumbRecord>(test.Page(2)->Objects().back()->Record());
        QCOMPARE(int(exit.ButtonKind), 4);
        QCOMPARE(exit.Caption.Bytes(), QByteArray("Exit"));
    }

    // Pictures of both windows on a real display: CORVELLA_SHOTS names the
    // folder, and the test runs on the xcb platform.
    void screenshots()
    {
        const QString shots = qEnvironmentVariable("CORVELLA_SHOTS");
        if (shots.isEmpty())
            QSKIP("CORVELLA_SHOTS not set");
        const auto grabScreen = [&](const QString &name) {
            QTest::qWait(500);
            QVERIFY(
                QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(shots).filePath(name)));
        };
        StartWithPages(4);
        Surface().showMaximized();
        ClickLine(Explorer().PageList(), 1);
        grabScreen(u"explorer.png"_s);
        Explorer().hide();
        // The dialog as the tools window runs it, through the real
        // interaction, closed once its picture is taken.
        Wizard().SetTemplateFolders({QCoreApplication::applicationDirPath() + u"/templates"_s});
        Wizard().PageNameEdit()->setText(u"Question 5"_s);
        TQZInteraction *script = SetInteraction(nullptr);
        QTimer::singleShot(200, &Wizard(), [&] {
            grabScreen(u"wizard.png"_s);
            Wizard().reject();
        });
        Tools().NewPageFromTemplate();
        SetInteraction(script);
    }
};

QTEST_MAIN(TExplorerTest)
#include "tst_explorer.moc"
