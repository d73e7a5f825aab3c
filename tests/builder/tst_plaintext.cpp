// A test whose every text holds markup, opened in the builder: the caption,
// the test explorer, every object's property dialog, the page's and the
// test's properties, the page list and the page templates show each text as
// typed, and nothing reads the picture the markup names.
#include "QZBuilder.h"
#include "QZControls.h"
#include "QZDialogs.h"
#include "QZEditorState.h"
#include "QZGlavnoOkno.h"
#include "QZMarkupTest.h"
#include "QZOrodja.h"
#include "QZPageExplorer.h"
#include "QZPageWizard.h"
#include "QZRecordedHelp.h"
#include "QZScriptedInteraction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHash>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>

using namespace CorvBuilder;

namespace {

// The mouse rests on `widget` at `at`: the tooltip it shows, drawn once and
// hidden again.
QString RestMouse(QWidget *widget, QPoint at)
{
    QHelpEvent event(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
    const QString tip = QToolTip::text();
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->inherits("QTipLabel"))
            window->grab();
    QToolTip::hideText();
    return tip;
}

// What a tooltip shows of its text.
QString ToolTipShows(const QString &tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

} // namespace

class TPlainTextTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TMarkupTestFile> m_file;
    std::unique_ptr<TQZScriptedInteraction> m_script;
    std::unique_ptr<TQZRecordedHelp> m_help;
    std::unique_ptr<TBuilder> m_builder;
    QString m_current;
    // What the dialog shown last held: every text, and the text of each
    // named edit and combo box.
    QStringList m_shown;
    QHash<QString, QString> m_fields;

    TGlavnoOkno &Surface() { return m_builder->MainWindow(); }
    TBuilderDocument &Doc() { return Surface().Document(); }
    TOrodja &Tools() { return m_builder->Tools(); }
    QString M(const char *name) const { return m_file->Markup(QString::fromLatin1(name)); }
    QStringList Pages() const { return {M("Page 1"), M("Page 2"), M("Page 3")}; }

    // The builder with the markup test open; dialogs are read and cancelled.
    void Open()
    {
        m_builder = std::make_unique<TBuilder>(QStringList{QStringLiteral("corvbld")});
        m_builder->Create();
        Surface().FirstActivation(QSize(1024, 768));
        Surface().setGeometry(0, 0, 1024, 768);
        Surface().winId();
        m_script->OnDialog = [this](QDialog &dialog) {
            Read(dialog);
            return int(QDialog::Rejected);
        };
        Tools().OpenFile(m_file->Write());
    }

    void Read(QDialog &dialog)
    {
        dialog.grab();
        m_shown = WidgetTexts(dialog);
        m_fields.clear();
        for (const QLineEdit *edit : dialog.findChildren<QLineEdit *>())
            m_fields.insert(edit->objectName(), edit->text());
        for (const QComboBox *box : dialog.findChildren<QComboBox *>())
            m_fields.insert(box->objectName(), box->currentText());
    }

    QString MarkupLabels() const { return ::MarkupLabels(m_shown); }

private slots:
    void init()
    {
        m_file = std::make_unique<TMarkupTestFile>();
        QVERIFY(m_file->IsValid());
        // A picture that markup names without a folder is looked for in the
        // current one.
        m_current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_file->Folder()));
        m_script = std::make_unique<TQZScriptedInteraction>();
        m_help = std::make_unique<TQZRecordedHelp>();
    }

    void cleanup()
    {
        m_builder.reset();
        m_help.reset();
        m_script.reset();
        QVERIFY(QDir::setCurrent(m_current));
        QCOMPARE(m_file->FifoReads(), 0);
        m_file.reset();
    }

    void testShowsAsTyped()
    {
        Open();
        QVERIFY(Doc().Test());
        const QStringList pages = Pages();
        const auto caption = [&](int page) {
            return M("Title [*]") + QStringLiteral(" - ") + pages.at(page) + QStringLiteral(" - ") +
                   Doc().FileName();
        };
        QCOMPARE(Surface().windowHandle()->title(), caption(0));

        Tools().TestExplorer();
        auto *explorer = qobject_cast<TPageExplorer *>(Dialogs().Explorer);
        QVERIFY(explorer && explorer->isVisible());
        QCOMPARE(WidgetTexts(*explorer).filter(QStringLiteral("<img")), pages);

        // Every object's dialog, page by page, in the order of the page.
        const QList<QStringList> objectTexts = {
            {M("Question"), M("Choice 1"), M("Choice 2"), M("Choice 3"), M("Choice 4"),
             M("Choice 5"), M("Choice 6")},
            {M("First"), M("Second")},
            {M("Answer 1"), M("Answer 2"), M("Answer 3"), M("Answer 4"), M("Answer 5")},
            {M("Text")},
            {M("Panel text")},
            QStringList{M("Confirm"), M("Page 2")} + pages,
            {m_file->RichText()},
            {M("Clip"), M("Clip caption")},
            {},
            QStringList{M("Go on"), M("Page 3")} + pages,
            QStringList{M("Exit"), M("Page 1")} + pages,
        };
        qsizetype object = 0;
        for (int page = 0; page < 3; ++page) {
            explorer->PageList()->setCurrentRow(page);
            QCOMPARE(Doc().Test()->CurrentIndex(), page);
            QCOMPARE(Surface().windowHandle()->title(), caption(page));
            Surface().grab();
            for (const auto &control : Doc().CurrentPage()->Objects()) {
                m_shown.clear();
                Surface().ObjectProperties(*control);
                QVERIFY(!m_shown.isEmpty());
                for (const QString &text : objectTexts.value(object))
                    QVERIFY2(m_shown.contains(text), qPrintable(text));
                QVERIFY2(MarkupLabels().isEmpty(), qPrintable(MarkupLabels()));
                ++object;
            }

            Surface().PageProperties();
            const QString target = pages.at(page == 1 ? 2 : 1);
            QCOMPARE(m_fields.value(QStringLiteral("PageNameEdit")), pages.at(page));
            QCOMPARE(m_fields.value(QStringLiteral("CorrectTargetBox")), target);
            QCOMPARE(m_fields.value(QStringLiteral("WrongTargetBox")), target);
            QVERIFY2(MarkupLabels().isEmpty(), qPrintable(MarkupLabels()));
        }
        QCOMPARE(object, objectTexts.size());

        Tools().TestProperties();
        QCOMPARE(m_fields.value(QStringLiteral("TitleEdit")), M("Title [*]"));
        for (int i = 0; i < 8; ++i)
            QVERIFY(m_shown.contains(m_file->Markup(QStringLiteral("Comment %1").arg(i))));
        QVERIFY2(MarkupLabels().isEmpty(), qPrintable(MarkupLabels()));

        Tools().MoveToPage();
        QCOMPARE(m_shown.filter(QStringLiteral("<img")), pages);
    }

    // A page template whose file name is markup: the list shows the name and
    // its tooltip the path, as they are.
    void templateNameShowsAsTyped()
    {
        Open();
        const QString folder = QDir(m_file->Folder()).filePath(QStringLiteral("templates"));
        QVERIFY(QDir().mkpath(folder));
        const QString name = QStringLiteral("<img src=\"p\">Template<br>.cvp");
        Doc().Test()->SavePageToFile(0, QDir(folder).filePath(name));
        auto *wizard = qobject_cast<TPageWizard *>(Dialogs().Wizard);
        QVERIFY(wizard);
        wizard->SetTemplateFolders({folder});

        QString tip;
        m_script->OnDialog = [&](QDialog &dialog) {
            dialog.show();
            Read(dialog);
            QListWidget *list = wizard->TemplateList();
            tip = RestMouse(list->viewport(), list->visualItemRect(list->item(0)).center());
            dialog.hide();
            return int(QDialog::Rejected);
        };
        Tools().SpeedButton(QStringLiteral("New Page from Template"))->click();
        QCOMPARE(m_shown.filter(QStringLiteral("<img")), QStringList{name});
        QVERIFY2(MarkupLabels().isEmpty(), qPrintable(MarkupLabels()));
        QCOMPARE(ToolTipShows(tip), QDir::toNativeSeparators(QDir(folder).filePath(name)));
    }

    // A picture file whose name is markup: the picture dialog shows the name,
    // and its tooltip the path, as they are; the next time it opens it names
    // no file.
    void pictureFileShowsAsTyped()
    {
        Open();
        // File dialogs read quotes in a name as a list of names.
        const QString name = QStringLiteral("<img src=p>Picture<br>.bmp");
        const QString picture = QDir(m_file->Folder()).filePath(name);
        QVERIFY(QFile::copy(
            QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/bmp/ff_bmp_gray.bmp"), picture));
        QString label;
        QString tip;
        m_script->OnDialog = [&](QDialog &dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
                files->selectFile(picture);
                return int(QDialog::Accepted);
            }
            dialog.show();
            dialog.findChild<QPushButton *>(QStringLiteral("OpenButton"))->click();
            Read(dialog);
            auto *file = dialog.findChild<QLabel *>(QStringLiteral("FileLabel"));
            label = file->text();
            tip = RestMouse(file, QPoint(2, 2));
            dialog.hide();
            return int(QDialog::Accepted);
        };
        Tools().InsertGraphics();
        QCOMPARE(label, name);
        QCOMPARE(ToolTipShows(tip), picture);
        QVERIFY2(MarkupLabels().isEmpty(), qPrintable(MarkupLabels()));

        m_script->OnDialog = [&](QDialog &dialog) {
            auto *file = dialog.findChild<QLabel *>(QStringLiteral("FileLabel"));
            label = file->text();
            tip = file->toolTip();
            return int(QDialog::Rejected);
        };
        Surface().ObjectProperties(*Doc().CurrentPage()->Objects().back());
        QCOMPARE(m_script->DialogTitles.constLast(), QStringLiteral("Graphics - Properties"));
        QCOMPARE(label, QString());
        QCOMPARE(tip, QString());
    }
};

QTEST_MAIN(TPlainTextTest)
#include "tst_plaintext.moc"
