// Embedded documents edited in their own programs from the builder: "Insert
// Object" creates a new empty document or takes a file, what it inserted
// opens at once, and what the author saves in the other program comes back
// into the test as one edit. No program is started: the desktop's opener is
// replaced, and a save is a write of the watched copy.
#include "QZBuilder.h"
#include "QZDialogs.h"
#include "QZGlavnoOkno.h"
#include "QZInsertObjectDialog.h"
#include "QZNewDocuments.h"
#include "QZOle.h"
#include "QZOleActivation.h"
#include "QZOrodja.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"
#include "QZUndoCommands.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace CorvBuilder;

namespace {

void Press(QWidget *control)
{
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, QPointF(5, 5), QPointF(control->mapToGlobal(QPoint(5, 5))),
                          Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(control, &event);
    }
}

void WriteByRename(const QString &path, const QByteArray &content)
{
    const QString temporary = path + QStringLiteral("~");
    WriteWholeFile(temporary, content);
    QVERIFY(QFile::rename(temporary, path) ||
            (QFile::remove(path) && QFile::rename(temporary, path)));
}

// The checks an OpenDocument reader makes first: a zip whose first entry is
// "mimetype", stored and without extra field, holding the type; a manifest
// and a content.
void VerifyOpenDocument(const QByteArray &file, const QString &mimeType)
{
    QVERIFY(file.startsWith("PK\x03\x04"));
    QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 8), quint16(0)); // stored
    const quint16 nameLength = qFromLittleEndian<quint16>(file.constData() + 26);
    QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 28), quint16(0)); // no extra field
    QCOMPARE(file.mid(30, nameLength), QByteArray("mimetype"));
    QCOMPARE(file.mid(30 + nameLength, mimeType.size()), mimeType.toLatin1());
    QVERIFY(file.contains("META-INF/manifest.xml"));
    QVERIFY(file.contains("content.xml"));
    QCOMPARE(QMimeDatabase().mimeTypeForData(file).name(), mimeType);
}

} // namespace

class TestOleRoundTrip : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    std::unique_ptr<TQZScriptedInteraction> m_script;
    std::unique_ptr<TBuilder> m_builder;
    TOleDesktopOpener m_opener;
    TOleApplicationLookup m_lookup;
    QList<QUrl> m_opened;

    TGlavnoOkno &Surface() { return m_builder->MainWindow(); }
    TBuilderDocument &Doc() { return Surface().Document(); }
    TInsertObjectDialog &Dialog() { return *Dialogs().InsertObject; }
    // The OLE frame of the page, as it is now (an edit makes it again).
    TQZOle *Frame() { return dynamic_cast<TQZOle *>(Doc().CurrentPage()->Objects().back().get()); }
    QByteArray FrameFile()
    {
        const auto &object = Frame()->Object();
        return object && object->Package() ? object->Package()->Content : QByteArray();
    }

    // Presses the frame in OLE insert mode; the dialog gets `answer`.
    void InsertWith(std::function<int(QDialog &)> answer)
    {
        m_script->OnDialog = std::move(answer);
        m_builder->Tools().ToggleOleInsert();
        Press(Frame()->View());
        m_script->OnDialog = {};
    }

    // The opening question for a file of this name and type.
    static QString Question(const QString &name, const QString &mimeType)
    {
        const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
        return QStringLiteral("Open the embedded file \"%1\" (%2, %3) with the default application "
                              "for %3?\nOpen embedded files only from tests you trust.")
            .arg(name, type.comment(), mimeType);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        m_opener = SetOleDesktopOpener([this](const QUrl &url) {
            m_opened << url;
            return true;
        });
        m_lookup = SetOleApplicationLookup([](const QString &) { return QString(); });
    }

    void cleanupTestCase()
    {
        SetOleDesktopOpener(m_opener);
        SetOleApplicationLookup(m_lookup);
    }

    void init()
    {
        m_script = std::make_unique<TQZScriptedInteraction>();
        m_builder = std::make_unique<TBuilder>(QStringList{QStringLiteral("corvbld")});
        m_builder->Create();
        Surface().FirstActivation(QSize(1024, 768));
        m_builder->Tools().New();
        m_builder->Tools().InsertOleFrame();
        m_opened.clear();
    }

    void cleanup()
    {
        m_builder.reset();
        m_script.reset();
    }

    void dialogOffersNewDocumentsAndFiles()
    {
        TInsertObjectDialog &dialog = Dialog();
        dialog.Reset();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Insert Object"));
        auto *createNew = dialog.findChild<QRadioButton *>(QStringLiteral("CreateNewButton"));
        auto *fromFile = dialog.findChild<QRadioButton *>(QStringLiteral("FromFileButton"));
        auto *kinds = dialog.findChild<QListWidget *>(QStringLiteral("KindList"));
        auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("FileEdit"));
        auto *browse = dialog.findChild<QPushButton *>(QStringLiteral("BrowseButton"));
        auto *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QCOMPARE(createNew->text(), QStringLiteral("Create new"));
        QCOMPARE(fromFile->text(), QStringLiteral("From file"));
        QCOMPARE(browse->text(), QStringLiteral("Browse..."));
        QStringList labels;
        for (int i = 0; i < kinds->count(); ++i) {
            labels << kinds->item(i)->text();
            QVERIFY(!kinds->item(i)->icon().isNull());
        }
        QCOMPARE(labels,
                 (QStringList{QStringLiteral("Text document"), QStringLiteral("Spreadsheet"),
                              QStringLiteral("Presentation"), QStringLiteral("Drawing")}));
        QVERIFY(createNew->isChecked() && ok->isEnabled());
        QCOMPARE(dialog.NewDocument()->FileName, QStringLiteral("Text document.odt"));

        // From file wants a file; Browse picks one and switches to it, as
        // typing a name does, and picking a kind switches back.
        fromFile->click();
        QVERIFY(!ok->isEnabled());
        QCOMPARE(dialog.NewDocument(), nullptr);
        QTest::keyClicks(file, QStringLiteral("plan.txt"));
        QVERIFY(fromFile->isChecked() && ok->isEnabled());
        QCOMPARE(dialog.FileName(), QStringLiteral("plan.txt"));
        QTest::mouseClick(kinds->viewport(), Qt::LeftButton, {},
                          kinds->visualItemRect(kinds->item(2)).center());
        QVERIFY(createNew->isChecked());
        QCOMPARE(dialog.NewDocument()->FileName, QStringLiteral("Presentation.odp"));
        m_script->FileAnswers = {QStringLiteral("/tmp/plan.odt")};
        QTest::mouseClick(browse, Qt::LeftButton);
        QVERIFY(fromFile->isChecked() && ok->isEnabled());
        QCOMPARE(dialog.FileName(), QStringLiteral("/tmp/plan.odt"));
        // Used again, it starts over.
        dialog.Reset();
        QVERIFY(createNew->isChecked() && dialog.FileName().isEmpty());
    }

    void newDocumentOpensAndSavesComeBack_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mimeType");
        QTest::newRow("text") << 0 << "Text document.odt"
                              << "application/vnd.oasis.opendocument.text";
        QTest::newRow("spreadsheet") << 1 << "Spreadsheet.ods"
                                     << "application/vnd.oasis.opendocument.spreadsheet";
        QTest::newRow("presentation") << 2 << "Presentation.odp"
                                      << "application/vnd.oasis.opendocument.presentation";
        QTest::newRow("drawing") << 3 << "Drawing.odg"
                                 << "application/vnd.oasis.opendocument.graphics";
    }

    void newDocumentOpensAndSavesComeBack()
    {
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(QString, mimeType);
        m_script->Answers = {TQZButton::Yes};
        InsertWith([row](QDialog &dialog) {
            dialog.findChild<QListWidget *>(QStringLiteral("KindList"))->setCurrentRow(row);
            return int(QDialog::Accepted);
        });
        // The new document, a real OpenDocument file, is embedded and opened
        // at once, after the question every embedded file is opened with.
        const QByteArray empty = FrameFile();
        VerifyOpenDocument(empty, mimeType);
        QCOMPARE(Frame()->Object()->Package()->FileName, name);
        QCOMPARE(m_script->MessageTexts(), QStringList{Question(name, mimeType)});
        QCOMPARE(m_opened.size(), 1);
        const QString copy = m_opened.at(0).toLocalFile();
        QVERIFY(copy.startsWith(m_runtime.path() + QLatin1Char('/')));
        QCOMPARE(QFileInfo(copy).fileName(), name);
        QCOMPARE(ReadWholeFile(copy), empty);
        QCOMPARE(Doc().UndoStack().undoText(), QStringLiteral("Insert OLE Object"));

        // The author saves in the other program: one edit, the test modified.
        Doc().MarkSaved();
        const int edits = Doc().UndoStack().count();
        const QByteArray written = empty + QByteArray("edited");
        WriteByRename(copy, written);
        QTRY_COMPARE(FrameFile(), written);
        QCOMPARE(Doc().UndoStack().count(), edits + 1);
        QCOMPARE(Doc().UndoStack().undoText(), UpdateOleObjectEdit());
        QVERIFY(Doc().IsModified());
        QCOMPARE(Frame()->Object()->Package()->FileName, name);
        // Saved again, in place this time: another edit.
        WriteWholeFile(copy, written + "again");
        QTRY_COMPARE(FrameFile(), written + "again");
        QCOMPARE(Doc().UndoStack().count(), edits + 2);

        Doc().Undo();
        Doc().Undo();
        QCOMPARE(FrameFile(), empty);
        QVERIFY(!Doc().IsModified());
        Doc().Redo();
        QCOMPARE(FrameFile(), written);
        QCOMPARE(m_script->Messages.size(), 1);
    }

    void fromFileOpensAndReplacedObjectTakesNoSaves()
    {
        QTemporaryDir folder;
        const QString plan = folder.filePath(QStringLiteral("plan.txt"));
        WriteWholeFile(plan, "Week 1: birds\n");
        m_script->Answers = {TQZButton::Yes};
        m_script->FileAnswers = {plan};
        InsertWith([](QDialog &dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("BrowseButton")),
                              Qt::LeftButton);
            return int(QDialog::Accepted);
        });
        QCOMPARE(FrameFile(), QByteArray("Week 1: birds\n"));
        QCOMPARE(m_opened.size(), 1);
        const QString copy = m_opened.at(0).toLocalFile();
        QCOMPARE(Surface().OleEdits().Watched(), 1);

        // The object is deleted and the frame left empty: the old copy's
        // saves do not come back into it.
        m_script->Answers = {TQZButton::Yes};
        InsertWith([](QDialog &) { return int(QDialog::Rejected); });
        QCOMPARE(m_script->Messages.last().Text, QStringLiteral("Delete the OLE object?"));
        QVERIFY(!Frame()->Object());
        QCOMPARE(Surface().OleEdits().Watched(), 0);
        const int edits = Doc().UndoStack().count();
        WriteWholeFile(copy, "Week 2: fish\n");
        QTest::qWait(600);
        QVERIFY(!Frame()->Object());
        QCOMPARE(Doc().UndoStack().count(), edits);
        QCOMPARE(QFile::exists(plan), true);
        QCOMPARE(ReadWholeFile(plan), QByteArray("Week 1: birds\n"));
    }
};

QTEST_MAIN(TestOleRoundTrip)
#include "tst_oleroundtrip.moc"
