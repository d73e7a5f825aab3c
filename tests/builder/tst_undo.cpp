// Undo and redo of the author's edits, through the real surface, dialogs and
// commands, and objects pasted between two builders.
#include "QZBuilder.h"
#include "QZControls.h"
#include "QZDialogs.h"
#include "QZEditorState.h"
#include "QZGlavnoOkno.h"
#include "QZOrodja.h"
#include "QZPageExplorer.h"
#include "QZQuestions.h"
#include "QZRecordFields.h"
#include "QZRecordedHelp.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"
#include "QZUndoCommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace CorvBuilder;
using namespace Qt::StringLiterals;

namespace {

void SendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                      modifiers);
    QApplication::sendEvent(widget, &event);
}

// A left drag of an object's face by `steps` mouse moves of (dx, dy) each.
void Drag(QWidget *face, QPoint by, int steps = 3, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPoint grab(2, 2);
    QWidget *surface = face->parentWidget();
    const QPoint start = face->mapTo(surface, grab);
    SendMouse(face, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton, modifiers);
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = face->mapFromGlobal(surface->mapToGlobal(start + by * i / steps));
        SendMouse(face, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, modifiers);
    }
    SendMouse(face, QEvent::MouseButtonRelease, grab, Qt::LeftButton, Qt::NoButton, modifiers);
}

void Press(QWidget *face)
{
    SendMouse(face, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
    SendMouse(face, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
}

void RightPress(QWidget *control, QPoint at)
{
    SendMouse(control, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    SendMouse(control, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
    QCoreApplication::processEvents();
}

} // namespace

class TUndoTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TQZScriptedInteraction> m_script;
    std::unique_ptr<TQZRecordedHelp> m_help;
    std::unique_ptr<TBuilder> m_builder;
    QTemporaryDir m_dir;

    TGlavnoOkno &Surface() { return m_builder->MainWindow(); }
    TOrodja &Tools() { return m_builder->Tools(); }
    TBuilderDocument &Doc() { return Surface().Document(); }
    TQZStran &Page() { return *Doc().CurrentPage(); }
    QWidget *LastFace() { return FaceOf(Page().Objects().back().get()); }
    QString UndoText() { return Tools().MenuItem(QStringLiteral("Undo"))->text(); }
    QString RedoText() { return Tools().MenuItem(QStringLiteral("Redo"))->text(); }

    static std::unique_ptr<TBuilder> NewBuilder()
    {
        auto builder = std::make_unique<TBuilder>(QStringList{QStringLiteral("corvbld")});
        builder->Create();
        builder->MainWindow().FirstActivation(QSize(1024, 768));
        builder->MainWindow().setGeometry(0, 0, 1024, 768);
        return builder;
    }

    QByteArray Saved(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        Doc().Test()->SaveTestFile(path);
        return ReadWholeFile(path);
    }

    // The dialog run by the next right press: its line edit set to a text.
    void AnswerDialogWith(const char *edit, const QString &text)
    {
        m_script->OnDialog = [edit, text](QDialog &dialog) {
            if (auto *line = dialog.findChild<QLineEdit *>(QString::fromLatin1(edit)))
                line->setText(text);
            return int(QDialog::Accepted);
        };
    }

private slots:
    void init()
    {
        m_script = std::make_unique<TQZScriptedInteraction>();
        m_help = std::make_unique<TQZRecordedHelp>();
        m_builder = NewBuilder();
    }

    void cleanup()
    {
        m_builder.reset();
        m_help.reset();
        m_script.reset();
    }

    // Forty and more edits of every kind, undone to the file as it started
    // and redone to the file as it was after them, byte for byte.
    void wholeSessionUndoesAndRedoesByteForByte()
    {
        Tools().New();
        Tools().InsertChoices();
        Tools().InsertButton();
        const QByteArray start = Saved(QStringLiteral("start.cvl"));
        Doc().UndoStack().clear();
        Doc().MarkSaved();

        void (TOrodja::*const inserts[])() = {&TOrodja::InsertChoices,
                                              &TOrodja::InsertAlternative,
                                              &TOrodja::InsertInputBox,
                                              &TOrodja::InsertRichText,
                                              &TOrodja::InsertOleFrame,
                                              &TOrodja::InsertTransparentText,
                                              &TOrodja::InsertTextWithBackground,
                                              &TOrodja::InsertButton};
        int step = 0;
        for (auto insert : inserts) {
            (Tools().*insert)();                                      // 8 inserts
            Drag(LastFace(), QPoint(40 + 50 * step, 30 + 40 * step)); // 8 moves
            ++step;
        }
        Drag(FaceOf(Page().Objects()[0].get()), QPoint(60, 20), 3, Qt::ShiftModifier); // resize
        Drag(FaceOf(Page().Objects()[2].get()), QPoint(30, 30), 2, Qt::ShiftModifier); // resize
        AnswerDialogWith("CaptionEdit", QStringLiteral("Next"));
        RightPress(FaceOf(Page().Objects()[1].get()), QPoint(3, 3)); // button properties
        AnswerDialogWith("PageNameEdit", QStringLiteral("Start"));
        RightPress(&Surface(), QPoint(1000, 740)); // page properties
        AnswerDialogWith("TitleEdit", QStringLiteral("Birds"));
        Tools().TestProperties();
        Press(LastFace());
        Tools().Copy();
        Tools().Paste(); // paste
        Tools().Paste(); // paste again
        Press(LastFace());
        Tools().Cut(); // cut
        Tools().ToggleDelete();
        m_script->Answers = {TQZButton::Yes};
        Press(FaceOf(Page().Objects()[3].get())); // delete object
        QCoreApplication::processEvents();
        Tools().ToggleDelete();
        Tools().AddPage(); // add page
        Tools().InsertButton();
        Drag(LastFace(), QPoint(300, 200));
        Tools().AddPage();
        Tools().InsertPage(); // insert page
        Tools().InsertChoices();
        auto &explorer = *qobject_cast<TPageExplorer *>(Dialogs().Explorer);
        explorer.show();
        explorer.MoveUp();    // move page
        explorer.Duplicate(); // duplicate page
        explorer.PageList()->setCurrentRow(1);
        m_script->Answers = {TQZButton::Yes};
        explorer.DeletePage(); // delete page
        explorer.PageList()->setCurrentRow(0);
        Tools().InsertInputBox();
        Drag(LastFace(), QPoint(100, 300));
        AnswerDialogWith("PageNameEdit", QStringLiteral("First"));
        explorer.Properties(); // page properties again
        m_script->OnDialog = {};
        explorer.hide();
        for (int i = 0; i < 4; ++i) // more moves
            Drag(FaceOf(Page().Objects()[0].get()), QPoint(9 * i, 18));

        const int edits = Doc().UndoStack().count();
        QVERIFY2(edits >= 40, qPrintable(QString::number(edits)));
        QVERIFY(Doc().IsModified());
        const QByteArray after = Saved(QStringLiteral("after.cvl"));
        QVERIFY(after != start);

        while (Doc().UndoStack().canUndo())
            Tools().Undo();
        QVERIFY(!Doc().IsModified());
        QCOMPARE(Saved(QStringLiteral("undone.cvl")), start);

        while (Doc().UndoStack().canRedo())
            Tools().Redo();
        QCOMPARE(Saved(QStringLiteral("redone.cvl")), after);
        QVERIFY(m_script->Messages.size() <= 2); // the two confirmations only
    }

    // The settings of the Test - Properties dialog are one edit with its
    // record, undone to the file as it was; a dialog left unchanged is none.
    void settingsAreOneEdit()
    {
        Tools().New();
        const QString name = m_dir.filePath(QStringLiteral("settings.cvl"));
        m_script->FileAnswers = {name};
        Tools().Save();
        const QByteArray start = ReadWholeFile(name);
        const int before = Doc().UndoStack().count();

        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("TitleEdit"))->setText(u"Birds"_s);
            dialog.findChild<QAbstractButton *>(QStringLiteral("AskStudentNameBox"))->click();
            return int(QDialog::Accepted);
        };
        Tools().TestProperties();
        QCOMPARE(Doc().UndoStack().count(), before + 1);
        QCOMPARE(UndoText(), QStringLiteral("Undo Test Properties"));
        QVERIFY(Doc().IsModified());
        QCOMPARE(Doc().Test()->Extensions(), (QJsonObject{{u"askStudentName"_s, true}}));
        const QByteArray changed = Saved(QStringLiteral("changed.cvl"));
        QVERIFY(changed.size() > start.size());
        QVERIFY(changed.endsWith(EncodeExtensionBlock(Doc().Test()->GatheredExtensions())));

        Tools().Undo();
        QVERIFY(!Doc().IsModified());
        QVERIFY(Doc().Test()->Extensions().isEmpty());
        QCOMPARE(Saved(QStringLiteral("undone.cvl")), start);
        Tools().Redo();
        QCOMPARE(Saved(QStringLiteral("redone.cvl")), changed);

        m_script->OnDialog = {};
        Tools().TestProperties();
        QCOMPARE(Doc().UndoStack().count(), before + 1);
    }

    // The tolerances of an input box are one edit with its record; the test
    // keeps them through saving, opening and saving again, byte for byte.
    void inputBoxTolerancesAreOneEdit()
    {
        Tools().New();
        Tools().InsertInputBox();
        const QString name = m_dir.filePath(QStringLiteral("tolerant.cvl"));
        m_script->FileAnswers = {name};
        Tools().Save();
        const QByteArray start = ReadWholeFile(name);
        const int before = Doc().UndoStack().count();

        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(u"AnswerEdit1"_s)->setText(u"Sao Paulo"_s);
            dialog.findChild<QLineEdit *>(u"AnswerEdit2"_s)->setText(u"12,5"_s);
            for (const QString &box :
                 {u"IgnoreSpacesBox"_s, u"IgnoreAccentsBox"_s, u"NumbersBox"_s})
                dialog.findChild<QAbstractButton *>(box)->click();
            dialog.findChild<QSpinBox *>(u"EditDistanceBox"_s)->setValue(2);
            dialog.findChild<QDoubleSpinBox *>(u"ToleranceBox"_s)->setValue(0.25);
            return int(QDialog::Accepted);
        };
        RightPress(LastFace(), QPoint(3, 3));
        m_script->OnDialog = {};
        QCOMPARE(Doc().UndoStack().count(), before + 1);
        QCOMPARE(UndoText(), QStringLiteral("Undo Input Box Properties"));
        const QJsonObject settings = QJsonDocument::fromJson(R"({"ignoreSpaces": true,
            "ignoreAccents": true, "editDistance": 2, "numberTolerance": 0.25})")
                                         .object();
        QCOMPARE(Page().Objects().back()->Extra(), settings);
        const auto *box = dynamic_cast<TQZVnosnoOkno *>(Page().Objects().back().get());
        QVERIFY(box);
        box->Edit()->setText(u"são paolo"_s);
        QVERIFY(box->IsCorrect());
        box->Edit()->setText(u"12.7"_s);
        QVERIFY(box->IsCorrect());

        Tools().Save();
        const QByteArray changed = ReadWholeFile(name);
        QVERIFY(changed.endsWith(EncodeExtensionBlock(Doc().Test()->GatheredExtensions())));
        Tools().Undo();
        QVERIFY(Page().Objects().back()->Extra().isEmpty());
        QCOMPARE(Saved(QStringLiteral("undone.cvl")), start);
        Tools().Redo();
        QCOMPARE(Page().Objects().back()->Extra(), settings);
        QCOMPARE(Saved(QStringLiteral("redone.cvl")), changed);

        // Opened again and saved unchanged, with the dialog opened and left
        // as it was: the same bytes, and no edit.
        Tools().OpenFile(name);
        const int opened = Doc().UndoStack().count();
        m_script->OnDialog = [](QDialog &) {
            return int(QDialog::Accepted);
        };
        RightPress(LastFace(), QPoint(3, 3));
        m_script->OnDialog = {};
        QCOMPARE(Doc().UndoStack().count(), opened);
        QCOMPARE(Saved(QStringLiteral("resaved.cvl")), changed);
    }

    // A damaged settings block is no reason to complain: the test opens with
    // the default settings, which saving writes (as no block).
    void damagedSettingsOpenQuietly()
    {
        Tools().New();
        const QString name = m_dir.filePath(QStringLiteral("damaged.cvl"));
        m_script->FileAnswers = {name};
        Tools().Save();
        const QByteArray start = ReadWholeFile(name);
        QFile file(name);
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray("CVLXTND\0\1\0\xff\xff\0\0{}", 16));
        file.close();
        Tools().CloseWithoutSaving();

        m_script->FileAnswers = {name};
        Tools().Open();
        QVERIFY(Doc().HasTest());
        QCOMPARE(m_script->Messages.size(), 0);
        QVERIFY(Doc().Test()->Extensions().isEmpty());
        QVERIFY(!Doc().IsModified());
        Tools().Save();
        QCOMPARE(ReadWholeFile(name), start);
    }

    // The moves of one drag are one edit; a second drag is another.
    void oneDragIsOneEdit()
    {
        Tools().New();
        Tools().InsertButton();
        TQZControl *button = Page().Objects().back().get();
        const QRect start = ObjectGeometry(*button);
        Drag(FaceOf(button), QPoint(90, 45), 5);
        const QRect first = ObjectGeometry(*button);
        Drag(FaceOf(button), QPoint(18, 18), 4, Qt::ShiftModifier);
        const QRect second = ObjectGeometry(*button);
        QCOMPARE(Doc().UndoStack().count(), 3); // insert, move, resize
        QCOMPARE(first.topLeft(), start.topLeft() + QPoint(90, 45));
        // Sized to the pointer: 2 + 18 pixels from the corner, on the grid.
        QCOMPARE(second.size(), QSize(18, 18));
        QCOMPARE(second.topLeft(), first.topLeft());
        QCOMPARE(UndoText(), QStringLiteral("Undo Resize"));

        Tools().Undo();
        QCOMPARE(ObjectGeometry(*Page().Objects().back()), first);
        QCOMPARE(UndoText(), QStringLiteral("Undo Move"));
        QCOMPARE(RedoText(), QStringLiteral("Redo Resize"));
        Tools().Undo();
        QCOMPARE(ObjectGeometry(*Page().Objects().back()), start);
        QCOMPARE(FaceOf(Page().Objects().back().get())->pos(), start.topLeft());
        Tools().Redo();
        Tools().Redo();
        QCOMPARE(ObjectGeometry(*Page().Objects().back()), second);
    }

    // Each edit names itself, takes the page it concerns back on screen, and
    // undoing to the saved state makes the test saved again.
    void editsNameThemselvesAndFollowTheSavedState()
    {
        Tools().New();
        m_script->FileAnswers = {m_dir.filePath(QStringLiteral("named.cvl"))};
        Tools().Save();
        QVERIFY(!Doc().IsModified());

        Tools().InsertChoices();
        QCOMPARE(UndoText(), QStringLiteral("Undo Insert Choices"));
        QVERIFY(Doc().IsModified());
        QCOMPARE(Surface().windowTitle().endsWith(QStringLiteral("named.cvl")), true);
        Tools().AddPage();
        QCOMPARE(Doc().Test()->CurrentIndex(), 1);
        m_script->Answers = {TQZButton::Yes};
        Tools().DeletePage();
        QCOMPARE(UndoText(), QStringLiteral("Undo Delete Page"));
        QCOMPARE(Doc().Test()->PageCount(), 1);
        Tools().Undo();
        QCOMPARE(RedoText(), QStringLiteral("Redo Delete Page"));
        QCOMPARE(Doc().Test()->PageCount(), 2);
        QCOMPARE(Doc().CurrentPage(), Doc().Test()->Page(1));
        Tools().Undo(); // the page added
        QCOMPARE(Doc().Test()->PageCount(), 1);
        // Undoing the insertion shows page 1 and takes the object off it.
        Tools().Undo();
        QCOMPARE(Page().ObjectCount(), 0);
        QVERIFY(!Doc().IsModified());

        // Closing now asks the plain question, not the save question.
        m_script->Answers = {TQZButton::No};
        Surface().close();
        QCOMPARE(m_script->MessageTexts().constLast(), QStringLiteral("Do you want to exit?"));

        // A change after the undo asks to save.
        Tools().InsertButton();
        m_script->Answers = {TQZButton::No};
        Surface().close();
        QCOMPARE(m_script->MessageTexts().constLast(),
                 QStringLiteral("Project is not saved!\nDo you want to save it before quitting?"));
    }

    // Typing in a rich text box on the surface is one edit once the box
    // loses the focus; the edits' shortcuts work on the surface and in the
    // tools window alike.
    void typingAndShortcuts()
    {
        Tools().New();
        Tools().InsertRichText();
        QWidget *face = LastFace();
        auto *box = qobject_cast<QTextEdit *>(face);
        if (!box)
            box = face->findChild<QTextEdit *>();
        QVERIFY(box);
        const QByteArray before = Page().Objects().back()->Payload();
        QFocusEvent in(QEvent::FocusIn);
        QApplication::sendEvent(box, &in);
        QTest::keyClicks(box, QStringLiteral("Hello"));
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(box, &out);
        QCOMPARE(UndoText(), QStringLiteral("Undo Typing"));
        QVERIFY(box->toPlainText().contains(QStringLiteral("Hello")));

        Surface().show();
        QApplication::setActiveWindow(&Surface());
        QVERIFY(QTest::qWaitForWindowActive(&Surface()));
        Surface().setFocus();
        QTest::keyClick(&Surface(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Page().Objects().back()->Payload(), before);
        QCOMPARE(RedoText(), QStringLiteral("Redo Typing"));
        Tools().show();
        QApplication::setActiveWindow(&Tools());
        QVERIFY(QTest::qWaitForWindowActive(&Tools()));
        QTest::keyClick(&Tools(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(UndoText(), QStringLiteral("Undo Typing"));
        QVERIFY(LastFace()->findChild<QTextEdit *>() || qobject_cast<QTextEdit *>(LastFace()));
        QTest::keyClick(&Tools(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(UndoText(), QStringLiteral("Undo Typing")); // nothing left to redo
        Doc().MarkSaved();
    }

    // Copy in one builder, paste in another through the system clipboard: the
    // object comes whole, with the settings the extension block keeps for it
    // (which its property dialog keeps too), and its pasting is one edit
    // there.
    void pasteIntoAnotherBuilder()
    {
        Tools().New();
        Tools().InsertButton();
        const QJsonObject extra{{u"later"_s, 2}};
        Page().Objects().back()->SetExtra(extra);
        AnswerDialogWith("CaptionEdit", QStringLiteral("Onward"));
        RightPress(LastFace(), QPoint(3, 3));
        QCOMPARE(Page().Objects().back()->Extra(), extra);
        Drag(LastFace(), QPoint(180, 90));
        Press(LastFace());
        Tools().Copy();
        const QByteArray record = Page().Objects().back()->Record();
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(QStringLiteral("application/x-corvella-object")));
        QVERIFY(data->text().contains(QStringLiteral("\"Onward\"")));

        auto other = NewBuilder();
        other->Tools().New();
        other->Tools().Paste();
        TBuilderDocument &there = other->MainWindow().Document();
        QCOMPARE(there.CurrentPage()->ObjectCount(), 1);
        QCOMPARE(there.CurrentPage()->Objects().back()->Record(), record);
        QCOMPARE(there.CurrentPage()->Objects().back()->Extra(), extra);
        QCOMPARE(other->Tools().MenuItem(QStringLiteral("Undo"))->text(),
                 QStringLiteral("Undo Paste"));
        other->Tools().Undo();
        QCOMPARE(there.CurrentPage()->ObjectCount(), 0);
        QCOMPARE(Page().ObjectCount(), 1);
        there.MarkSaved();
        m_script->Answers = {TQZButton::Yes};
        other.reset();
    }
};

QTEST_MAIN(TUndoTest)
#include "tst_undo.moc"
