// The rich text editor, "Rich Text - Properties": the toolbar and the ruler
// against the selection, the file commands with their questions answered from
// a script, the clipboard and undo states, and the exchange with a real rich
// text object.
#include "QZMemo.h"
#include "QZMemoEditor.h"
#include "QZMemoFiles.h"
#include "QZMemoLastnosti.h"
#include "QZMemoRuler.h"
#include "QZRecordedHelp.h"
#include "QZRtf.h"
#include "QZScriptedInteraction.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <functional>
#include <initializer_list>

using namespace CorvBuilder;

namespace {

QString Corpus(const QString &path)
{
    return QDir::cleanPath(QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/") + path);
}

QStringList Texts(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Files the editor opens are copies, so that a save can never reach the
// corpus.
QString CorpusCopy(const QTemporaryDir &folder, const QString &path)
{
    const QString copy = folder.filePath(QFileInfo(path).fileName());
    QFile::copy(Corpus(path), copy);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

// The scripted interaction, with the program's own dialogs (the editor's file
// dialogs and the print dialog) answered in order from a list.
class TScript : public TQZScriptedInteraction
{
public:
    TScript()
    {
        OnDialog = [this](QDialog &dialog) {
            if (DialogAnswers.isEmpty())
                return int(QDialog::Rejected);
            return DialogAnswers.takeFirst()(dialog);
        };
    }

    // A question the test did not answer is cancelled where it can be, so
    // that no unplanned "Yes" ever writes a file.
    TQZButton Message(TQZMessageKind kind, const QString &caption, const QString &text,
                      TQZButtons buttons) override
    {
        if (Answers.isEmpty() && buttons.testFlag(TQZButton::Cancel))
            Answers << TQZButton::Cancel;
        return TQZScriptedInteraction::Message(kind, caption, text, buttons);
    }

    // The next file dialog picks `fileName`, ticking the read-only box of an
    // open dialog when asked.
    void AnswerFile(const QString &fileName, bool readOnly = false)
    {
        DialogAnswers << [fileName, readOnly](QDialog &dialog) {
            auto *files = qobject_cast<QFileDialog *>(&dialog);
            if (!files)
                return int(QDialog::Rejected);
            files->selectFile(fileName);
            if (auto *box = files->findChild<QCheckBox *>(QStringLiteral("ReadOnlyBox")))
                box->setChecked(readOnly);
            return int(QDialog::Accepted);
        };
    }
    void CancelDialog()
    {
        DialogAnswers << [](QDialog &) {
            return int(QDialog::Rejected);
        };
    }

    QList<std::function<int(QDialog &)>> DialogAnswers;
};

// A text of three paragraphs: a bold run in the first, the second in italic
// 20-point Courier New and centred, the third right-aligned.
const QByteArray Formatted =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\fs24 "
    "plain {\\b bold run} end\\par\\pard\\qc{\\f1\\fs40\\i italic}\\par\\pard\\qr right\\par}";

void Select(QTextEdit *editor, int from, int to)
{
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
}

QTextCharFormat FormatAt(const QTextDocument *document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

void Show(QDialog &dialog)
{
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

QStringList ActionTexts(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

} // namespace

class TRichTextEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        RichTextEditable = true;
        QGuiApplication::clipboard()->clear();
    }

    void menusAndHints();
    void rulerPlacesMarkers_data();
    void rulerPlacesMarkers();
    void rulerDragSetsIndents_data();
    void rulerDragSetsIndents();
    void boldWithoutSelectionChangesTypedTextOnly();
    void toolbarFollowsSelectionWithoutChangingText();
    void toolbarFormatsSelection();
    void fontAndBackgroundDialogs();
    void statusBar();
    void undoAndChangeState();
    void clipboard();
    void saveUntitledGoesThroughSaveAs();
    void saveAsAsksToRewrite_data();
    void saveAsAsksToRewrite();
    void openAsksToSave_data();
    void openAsksToSave();
    void openFiles_data();
    void openFiles();
    void openReadOnly();
    void saveWritesByExtension();
    void fileErrors();
    void droppingFilesOpensFirstOnly();
    void printing();
    void exchangeWithRichTextObject();
    void exchangeLeavesUneditedContent_data();
    void exchangeLeavesUneditedContent();
};

void TRichTextEditorTest::menusAndHints()
{
    TQZRecordedHelp help;
    TMemoLastnosti dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Rich Text - Properties"));
    QCOMPARE(dialog.FileName(), QStringLiteral("Untitled"));
    const QList<QAction *> menus = dialog.MenuBar()->actions();
    QCOMPARE(ActionTexts(menus), (Texts({"&File", "&Edit", "&Help!"})));
    QCOMPARE(ActionTexts(menus[0]->menu()->actions()),
             (Texts({"&New", "&Open...", "&Save", "Save &As...", "&Print", "-", "&Close"})));
    QCOMPARE(ActionTexts(menus[1]->menu()->actions()),
             (Texts({"&Undo", "-", "Cu&t", "&Copy", "&Paste", "-", "&Font...",
                     "&Background Color..."})));
    const std::pair<QAction *, const char *> hints[] = {
        {dialog.NewAction(), "Create a new file"},
        {dialog.OpenAction(), "Open an existing file"},
        {dialog.SaveAction(), "Save current file"},
        {dialog.SaveAsAction(), "Save current file under a new name"},
        {dialog.PrintAction(), "Print current file"},
        {dialog.UndoAction(), "Undo the last action"},
        {dialog.CutAction(), "Delete selected item"},
        {dialog.CopyAction(), "Copy selected item to clipboard"},
        {dialog.PasteAction(), "Paste contents of clipboard"}};
    for (const auto &[action, hint] : hints)
        QCOMPARE(action->statusTip(), QString::fromLatin1(hint));
    QVERIFY(!dialog.UndoAction()->isEnabled());

    QStringList families;
    for (int i = 0; i < dialog.FontName()->count(); ++i)
        families << dialog.FontName()->itemText(i);
    QStringList sorted = families;
    sorted.sort(Qt::CaseInsensitive);
    QVERIFY(!families.isEmpty());
    QCOMPARE(families, sorted);

    menus[2]->trigger();
    QCOMPARE(help.Requests, QList<int>{40});
}

void TRichTextEditorTest::rulerPlacesMarkers_data()
{
    QTest::addColumn<QByteArray>("paragraph");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("left");
    // The right marker's distance from the ruler's right edge.
    QTest::addColumn<int>("fromRight");
    QTest::newRow("no indents") << QByteArray("") << 2 << 2 << 14;
    QTest::newRow("36-point first indent") << QByteArray("\\fi720") << 50 << 2 << 14;
    QTest::newRow("hanging") << QByteArray("\\li720\\fi-360") << 26 << 50 << 14;
    QTest::newRow("right") << QByteArray("\\ri720") << 2 << 2 << 62;
    QTest::newRow("cut toward zero") << QByteArray("\\fi210") << 15 << 2 << 14;
}

void TRichTextEditorTest::rulerPlacesMarkers()
{
    QFETCH(QByteArray, paragraph);
    QFETCH(int, first);
    QFETCH(int, left);
    QFETCH(int, fromRight);
    TMemoLastnosti dialog;
    dialog.LoadContent("{\\rtf1\\pard" + paragraph + " Some text\\par}", 0x00FFFFFF);
    Show(dialog);
    const TMemoRuler *ruler = dialog.Ruler();
    QCOMPARE(ruler->FirstMarker()->x(), first);
    QCOMPARE(ruler->LeftMarker()->x(), left);
    QCOMPARE(ruler->width() - ruler->RightMarker()->x(), fromRight);
    // The line stays as wide as the ruler less its offset on both sides.
    QCOMPARE(ruler->Line()->width(), ruler->width() - 2 * TMemoRuler::LeftOffset);
    dialog.resize(dialog.width() + 40, dialog.height());
    QTRY_COMPARE(ruler->width() - ruler->RightMarker()->x(), fromRight);
    QCOMPARE(ruler->Line()->width(), ruler->width() - 2 * TMemoRuler::LeftOffset);
}

void TRichTextEditorTest::rulerDragSetsIndents_data()
{
    QTest::addColumn<QString>("marker");
    // Where the pointer lets the marker go, from the ruler's left edge or,
    // for the right marker, from its right edge.
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    // The text starts with a first indent of 18 and a left indent of 18.
    QTest::newRow("first line to 54") << "FirstInd" << 54 << 36 << 0 << 0;
    QTest::newRow("first line to 10") << "FirstInd" << 10 << 3 << 33 << 0;
    QTest::newRow("left to 102") << "LeftInd" << 102 << 18 << 54 << 0;
    QTest::newRow("left to 6") << "LeftInd" << 6 << 18 << -18 << 0;
    QTest::newRow("right to 58 from the edge") << "RightInd" << 58 << 18 << 18 << 36;
}

void TRichTextEditorTest::rulerDragSetsIndents()
{
    QFETCH(QString, marker);
    QFETCH(int, at);
    QFETCH(int, first);
    QFETCH(int, left);
    QFETCH(int, right);
    TMemoLastnosti dialog;
    dialog.LoadContent("{\\rtf1\\pard\\li720\\fi-360 One\\par Two\\par}", 0x00FFFFFF);
    Show(dialog);
    TMemoRuler *ruler = dialog.Ruler();
    auto *held = ruler->findChild<TMemoRulerMarker *>(marker);
    QVERIFY(held);
    const int x = held == ruler->RightMarker() ? ruler->width() - at : at;
    const int y = held->height() / 2;
    const int was = held->x();
    QTest::mousePress(held, Qt::LeftButton, {}, QPoint(2, y));
    QVERIFY(ruler->Dragging());
    QCOMPARE(ruler->DragOffset(), TMemoRulerMarker::MarkerWidth / 2);
    // The marker's centre jumps under the pointer and follows it.
    QCOMPARE(held->x(), was + 2 - ruler->DragOffset());
    QTest::mouseMove(held, QPoint(x - held->x(), y));
    QCOMPARE(held->x() + ruler->DragOffset(), x);
    QTest::mouseRelease(held, Qt::LeftButton, {}, QPoint(x - held->x(), y));
    QVERIFY(!ruler->Dragging());

    const TParagraphIndents indents = dialog.Editor()->ParagraphIndents();
    QCOMPARE(indents, (TParagraphIndents{first, left, right}));
    // Only the caret's paragraph took them.
    QTextCursor second(dialog.Editor()->document()->lastBlock());
    dialog.Editor()->setTextCursor(second);
    QCOMPARE(dialog.Editor()->ParagraphIndents(), (TParagraphIndents{18, 18, 0}));
    // The indents go out as RTF and come back.
    dialog.Editor()->moveCursor(QTextCursor::Start);
    dialog.LoadContent(dialog.Content(), 0);
    QCOMPARE(dialog.Editor()->ParagraphIndents(), (TParagraphIndents{first, left, right}));
}

void TRichTextEditorTest::boldWithoutSelectionChangesTypedTextOnly()
{
    TMemoLastnosti dialog;
    Show(dialog);
    QTextEdit *editor = dialog.Editor();
    QTest::keyClicks(editor, QStringLiteral("abc"));
    QToolButton *bold = dialog.ButtonOf(dialog.BoldAction());
    QVERIFY(bold);
    QTest::mouseClick(bold, Qt::LeftButton);
    QVERIFY(dialog.BoldAction()->isChecked());
    QTest::keyClicks(editor, QStringLiteral("de"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("abcde"));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(FormatAt(editor->document(), i).fontWeight() >= QFont::Bold, i >= 3);
    // Off again: the text typed after it is plain, the bold text stays bold.
    QTest::mouseClick(bold, Qt::LeftButton);
    QTest::keyClicks(editor, QStringLiteral("f"));
    QVERIFY(FormatAt(editor->document(), 4).fontWeight() >= QFont::Bold);
    QVERIFY(FormatAt(editor->document(), 5).fontWeight() < QFont::Bold);
}

void TRichTextEditorTest::toolbarFollowsSelectionWithoutChangingText()
{
    TMemoLastnosti dialog;
    dialog.LoadContent(Formatted, 0x00FFFFFF);
    Show(dialog);
    QTextEdit *editor = dialog.Editor();
    const QByteArray before = dialog.Content();

    Select(editor, 8, 11); // "ld " inside "bold run"
    QVERIFY(dialog.BoldAction()->isChecked());
    QVERIFY(!dialog.ItalicAction()->isChecked());
    QVERIFY(dialog.LeftAlignAction()->isChecked());
    QCOMPARE(dialog.FontSize()->value(), 12);
    QCOMPARE(dialog.FontName()->currentText(), QStringLiteral("Arial"));

    const int italic = editor->document()->findBlockByNumber(1).position();
    Select(editor, italic + 1, italic + 3);
    QVERIFY(!dialog.BoldAction()->isChecked());
    QVERIFY(dialog.ItalicAction()->isChecked());
    QVERIFY(dialog.CenterAlignAction()->isChecked());
    QCOMPARE(dialog.FontSize()->value(), 20);
    QCOMPARE(dialog.FontName()->currentText(), QStringLiteral("Courier New"));

    const int right = editor->document()->lastBlock().position();
    Select(editor, right, right);
    QVERIFY(dialog.RightAlignAction()->isChecked());
    QVERIFY(!dialog.CenterAlignAction()->isChecked());
    QVERIFY(!dialog.Updating());

    // Following the selection changed nothing in the text.
    QCOMPARE(dialog.Content(), before);
    QVERIFY(!editor->document()->isModified());
    QVERIFY(!editor->document()->isUndoAvailable());
    QVERIFY(!dialog.UndoAction()->isEnabled());
}

void TRichTextEditorTest::toolbarFormatsSelection()
{
    TMemoLastnosti dialog;
    dialog.LoadContent(Formatted, 0x00FFFFFF);
    Show(dialog);
    QTextEdit *editor = dialog.Editor();
    const QTextDocument *document = editor->document();

    Select(editor, 0, 5); // "plain"
    dialog.ItalicAction()->trigger();
    dialog.UnderlineAction()->trigger();
    QVERIFY(FormatAt(document, 0).fontItalic());
    QVERIFY(FormatAt(document, 4).fontUnderline());
    QVERIFY(!FormatAt(document, 5).fontItalic());

    dialog.FontSize()->setValue(30);
    QCOMPARE(FormatAt(document, 2).fontPointSize(), 30.0);
    // A size of 0 names no size.
    dialog.FontSize()->setValue(0);
    QCOMPARE(FormatAt(document, 2).fontPointSize(), 30.0);
    dialog.FontSize()->setValue(14);

    dialog.FontName()->setEditText(QStringLiteral("Liberation Serif"));
    emit dialog.FontName()->textActivated(QStringLiteral("Liberation Serif"));
    QCOMPARE(FormatAt(document, 3).fontFamilies().toStringList(),
             QStringList{QStringLiteral("Liberation Serif")});
    QCOMPARE(FormatAt(document, 3).fontPointSize(), 14.0);

    dialog.RightAlignAction()->trigger();
    QVERIFY(!dialog.LeftAlignAction()->isChecked());
    QCOMPARE(document->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);

    // Bullets on over two paragraphs, then off for both.
    Select(editor, 2, document->findBlockByNumber(1).position() + 2);
    dialog.BulletsAction()->trigger();
    QVERIFY(dialog.BulletsAction()->isChecked());
    QVERIFY(document->firstBlock().textList());
    QCOMPARE(document->firstBlock().textList(), document->findBlockByNumber(1).textList());
    QCOMPARE(document->firstBlock().textList()->format().style(), QTextListFormat::ListDisc);
    QVERIFY(!document->lastBlock().textList());
    QVERIFY(dialog.Content().contains("\\pnlvlblt"));
    dialog.BulletsAction()->trigger();
    QVERIFY(!document->firstBlock().textList());
    QVERIFY(!document->findBlockByNumber(1).textList());
    QVERIFY(!dialog.BulletsAction()->isChecked());

    // Every change is one step back.
    QVERIFY(dialog.UndoAction()->isEnabled());
    QCOMPARE(dialog.StatusPanel(1)->text(), QStringLiteral("Changed"));
}

void TRichTextEditorTest::fontAndBackgroundDialogs()
{
    TScript script;
    TMemoLastnosti dialog;
    dialog.LoadContent(Formatted, 0x80000005);
    Show(dialog);
    QTextEdit *editor = dialog.Editor();
    Select(editor, 6, 10); // "bold"

    QFont chosen(QStringLiteral("Liberation Mono"));
    chosen.setPointSize(18);
    chosen.setItalic(true);
    script.FontAnswers << chosen;
    dialog.FontAction()->trigger();
    QCOMPARE(script.FontDialogs, 1);
    const QTextCharFormat format = FormatAt(editor->document(), 7);
    QCOMPARE(format.fontFamilies().toStringList(), QStringList{QStringLiteral("Liberation Mono")});
    QCOMPARE(format.fontPointSize(), 18.0);
    QVERIFY(format.fontItalic());
    QVERIFY(format.fontWeight() < QFont::Bold);
    QVERIFY(dialog.ItalicAction()->isChecked());
    QVERIFY(editor->hasFocus());
    // Cancelled: nothing changes.
    const QByteArray before = dialog.Content();
    dialog.FontAction()->trigger();
    QCOMPARE(dialog.Content(), before);

    // A system colour stays one until another colour is chosen.
    QCOMPARE(dialog.Color(), 0x80000005u);
    dialog.BackgroundAction()->trigger();
    QCOMPARE(dialog.Color(), 0x80000005u);
    script.ColorAnswers << QColor(0x10, 0x20, 0x30);
    dialog.ButtonOf(dialog.ColorButtonAction())->click();
    QCOMPARE(script.ColorDialogs, 2);
    QCOMPARE(dialog.Color(), 0x00302010u);
    QCOMPARE(editor->viewport()->palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    QCOMPARE(dialog.Content(), before);
}

void TRichTextEditorTest::statusBar()
{
    TMemoLastnosti dialog;
    dialog.LoadContent("{\\rtf1 first line\\par second\\par}", 0x00FFFFFF);
    Show(dialog);
    QTextEdit *editor = dialog.Editor();
    QCOMPARE(dialog.StatusPanel(0)->text(), QStringLiteral("Line:   1   Column:   1"));
    QTextCursor cursor(editor->document()->findBlockByNumber(1));
    cursor.setPosition(cursor.position() + 3);
    editor->setTextCursor(cursor);
    QCOMPARE(dialog.StatusPanel(0)->text(), QStringLiteral("Line:   2   Column:   4"));
    QCOMPARE(dialog.StatusPanel(1)->text(), QString());

    // Copy and Cut only while text is selected.
    QVERIFY(!dialog.CopyAction()->isEnabled());
    QVERIFY(!dialog.CutAction()->isEnabled());
    Select(editor, 0, 5);
    QVERIFY(dialog.CopyAction()->isEnabled());
    QVERIFY(dialog.CutAction()->isEnabled());
    Select(editor, 2, 2);
    QVERIFY(!dialog.CopyAction()->isEnabled());

    // A hint fills the bar while it is shown.
    QStatusTipEvent hint(dialog.SaveAction()->statusTip());
    QCoreApplication::sendEvent(&dialog, &hint);
    QCOMPARE(dialog.StatusBar()->currentMessage(), QStringLiteral("Save current file"));
    QVERIFY(dialog.StatusPanel(0)->isHidden());
    QStatusTipEvent end{QString()};
    QCoreApplication::sendEvent(&dialog, &end);
    QCOMPARE(dialog.StatusBar()->currentMessage(), QString());
    QVERIFY(dialog.StatusPanel(0)->isVisible());
}

void TRichTextEditorTest::undoAndChangeState()
{
    TMemoLastnosti dialog;
    dialog.LoadContent("{\\rtf1 loaded\\par}", 0x00FFFFFF);
    Show(dialog);
    QTextEdit *editor = dialog.Editor();
    // The loaded text is where undo starts.
    QVERIFY(!dialog.UndoAction()->isEnabled());
    QCOMPARE(dialog.StatusPanel(1)->text(), QString());

    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral("!"));
    QVERIFY(dialog.UndoAction()->isEnabled());
    QCOMPARE(dialog.StatusPanel(1)->text(), QStringLiteral("Changed"));
    QVERIFY(dialog.ButtonOf(dialog.UndoAction())->isEnabled());

    dialog.UndoAction()->trigger();
    QCOMPARE(editor->toPlainText(), QStringLiteral("loaded"));
    QVERIFY(!dialog.UndoAction()->isEnabled());
    QCOMPARE(dialog.StatusPanel(1)->text(), QString());

    // New empties the text and forgets the file; nothing to undo.
    QTest::keyClicks(editor, QStringLiteral("x"));
    dialog.NewAction()->trigger();
    QCOMPARE(editor->toPlainText(), QString());
    QCOMPARE(dialog.FileName(), QStringLiteral("Untitled"));
    QVERIFY(!dialog.UndoAction()->isEnabled());
    QCOMPARE(dialog.StatusPanel(1)->text(), QString());
}

void TRichTextEditorTest::clipboard()
{
    TMemoLastnosti dialog;
    dialog.LoadContent(Formatted, 0x00FFFFFF);
    Show(dialog);
    QTextEdit *editor = dialog.Editor();
    QClipboard *clipboard = QGuiApplication::clipboard();
    QVERIFY(!dialog.PasteAction()->isEnabled());
    clipboard->setText(QStringLiteral("words"));
    QVERIFY(dialog.ButtonOf(dialog.PasteAction())->isEnabled());
    auto *other = new QMimeData;
    other->setData(QStringLiteral("application/x-corvella-test"), "bytes");
    clipboard->setMimeData(other);
    QVERIFY(!dialog.PasteAction()->isEnabled());

    // Another program's RTF is pasted with its formatting, pictures too.
    auto *rtf = new QMimeData;
    rtf->setData(QStringLiteral("text/rtf"), "{\\rtf1 {\\b pasted}\\par}");
    clipboard->setMimeData(rtf);
    QVERIFY(dialog.PasteAction()->isEnabled());
    editor->moveCursor(QTextCursor::End);
    dialog.PasteAction()->trigger();
    const int at = int(editor->toPlainText().indexOf(QStringLiteral("pasted")));
    QVERIFY(at > 0);
    QVERIFY(FormatAt(editor->document(), at).fontWeight() >= QFont::Bold);
    auto *picture = new QMimeData;
    picture->setData(QStringLiteral("text/rtf"),
                     ReadAll(Corpus(QStringLiteral("rtf/rtfjs_png_pict.rtf"))));
    clipboard->setMimeData(picture);
    dialog.PasteAction()->trigger();
    QVERIFY(dialog.Content().contains("\\pict"));

    // Copying offers RTF to other programs as well.
    Select(editor, 6, 14);
    dialog.CopyAction()->trigger();
    const QByteArray copied = clipboard->mimeData()->data(QStringLiteral("text/rtf"));
    QCOMPARE(RtfToPlainText(copied).value_or(QString()).trimmed(), QStringLiteral("bold run"));
    QVERIFY(copied.contains("\\b"));

    clipboard->clear();
    QVERIFY(!dialog.PasteAction()->isEnabled());
}

void TRichTextEditorTest::saveUntitledGoesThroughSaveAs()
{
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("notes.rtf"));
    TScript script;
    TMemoLastnosti dialog;
    Show(dialog);
    QTest::keyClicks(dialog.Editor(), QStringLiteral("Saved words"));

    // Cancelled: nothing is written and the name stays.
    script.CancelDialog();
    dialog.SaveAction()->trigger();
    QCOMPARE(script.DialogTitles, QStringList{QStringLiteral("Save As")});
    QCOMPARE(dialog.FileName(), QStringLiteral("Untitled"));
    QCOMPARE(dialog.StatusPanel(1)->text(), QStringLiteral("Changed"));

    script.AnswerFile(target);
    dialog.SaveAction()->trigger();
    QCOMPARE(script.DialogTitles.size(), 2);
    QCOMPARE(dialog.FileName(), target);
    QCOMPARE(dialog.StatusPanel(1)->text(), QString());
    QVERIFY(script.Messages.isEmpty());
    QCOMPARE(RtfToPlainText(ReadAll(target)), QStringLiteral("Saved words"));

    // Named now: Save writes at once.
    QTest::keyClicks(dialog.Editor(), QStringLiteral(" again"));
    dialog.SaveAction()->trigger();
    QCOMPARE(script.DialogTitles.size(), 2);
    QCOMPARE(RtfToPlainText(ReadAll(target)), QStringLiteral("Saved words again"));
    // The caption never names the file.
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Rich Text - Properties"));
}

void TRichTextEditorTest::saveAsAsksToRewrite_data()
{
    QTest::addColumn<TQZButton>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("Yes") << TQZButton::Yes << true;
    QTest::newRow("No") << TQZButton::No << false;
    QTest::newRow("Cancel") << TQZButton::Cancel << false;
}

void TRichTextEditorTest::saveAsAsksToRewrite()
{
    QFETCH(TQZButton, answer);
    QFETCH(bool, written);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("old.rtf"));
    WriteAll(target, "old bytes");
    TScript script;
    TMemoLastnosti dialog;
    dialog.LoadContent("{\\rtf1 new text\\par}", 0x00FFFFFF);
    script.AnswerFile(target);
    script.Answers << answer;
    dialog.SaveAsAction()->trigger();
    QCOMPARE(script.Messages.size(), 1);
    const TQZScriptedInteraction::TMessage &message = script.Messages.constFirst();
    QCOMPARE(message.Text, QStringLiteral("Rewrite ") + target);
    QCOMPARE(message.Kind, TQZMessageKind::Confirmation);
    QCOMPARE(message.Buttons, TQZButton::Yes | TQZButton::No | TQZButton::Cancel);
    if (written) {
        QCOMPARE(RtfToPlainText(ReadAll(target)), QStringLiteral("new text"));
        QCOMPARE(dialog.FileName(), target);
    } else {
        QCOMPARE(ReadAll(target), QByteArray("old bytes"));
        QCOMPARE(dialog.FileName(), QStringLiteral("Untitled"));
    }
}

void TRichTextEditorTest::openAsksToSave_data()
{
    QTest::addColumn<TQZButton>("answer");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Yes") << TQZButton::Yes << Texts({"Save As", "Open"}) << true << true;
    QTest::newRow("No") << TQZButton::No << Texts({"Open"}) << true << false;
    QTest::newRow("Cancel") << TQZButton::Cancel << QStringList{} << false << false;
}

void TRichTextEditorTest::openAsksToSave()
{
    QFETCH(TQZButton, answer);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, opened);
    QFETCH(bool, saved);
    QTemporaryDir folder;
    const QString saveTarget = folder.filePath(QStringLiteral("mine.rtf"));
    const QString source = CorpusCopy(folder, QStringLiteral("rtf/richedit_msftedit_simple3.rtf"));
    TScript script;
    TMemoLastnosti dialog;
    Show(dialog);
    QTest::keyClicks(dialog.Editor(), QStringLiteral("typed"));
    script.Answers << answer;
    if (answer == TQZButton::Yes)
        script.AnswerFile(saveTarget);
    script.AnswerFile(source);
    dialog.OpenAction()->trigger();

    QCOMPARE(script.MessageTexts(), QStringList{QStringLiteral("Save Untitled?")});
    QCOMPARE(script.Messages.constFirst().Kind, TQZMessageKind::Confirmation);
    QCOMPARE(script.Messages.constFirst().Buttons,
             TQZButton::Yes | TQZButton::No | TQZButton::Cancel);
    QCOMPARE(script.DialogTitles, dialogs);
    QCOMPARE(QFileInfo::exists(saveTarget), saved);
    if (saved)
        QCOMPARE(RtfToPlainText(ReadAll(saveTarget)), QStringLiteral("typed"));
    QCOMPARE(dialog.FileName(), opened ? source : saved ? saveTarget : QStringLiteral("Untitled"));
    QCOMPARE(dialog.Editor()->toPlainText() == QStringLiteral("typed"), !opened);
    if (opened) {
        QVERIFY(!dialog.Editor()->document()->isModified());
        QCOMPARE(dialog.StatusPanel(1)->text(), QString());
        QVERIFY(dialog.Editor()->hasFocus());
    }
}

void TRichTextEditorTest::openFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("rtf");
    for (const char *name : {"richedit_msftedit_simple3.rtf", "lo74_features_B.rtf",
                             "wordpad_msftedit_cp1250_sl_agreement_e.rtf",
                             "word_cp1251_russian.rtf", "phprtflite_lists.rtf"})
        QTest::newRow(name) << QStringLiteral("rtf/") + QLatin1String(name) << true;
    // Not RTF, though named so: plain text.
    QTest::newRow("malformed_plain_text.rtf")
        << QStringLiteral("rtf/malformed_plain_text.rtf") << false;
    QTest::newRow("UTF-8 text") << QStringLiteral("rtf/word_cp1251_russian.txt") << false;
}

void TRichTextEditorTest::openFiles()
{
    QFETCH(QString, file);
    QFETCH(bool, rtf);
    QTemporaryDir folder;
    const QString copy = CorpusCopy(folder, file);
    TScript script;
    TMemoLastnosti dialog;
    script.AnswerFile(copy);
    dialog.OpenAction()->trigger();
    QVERIFY2(script.Messages.isEmpty(), qPrintable(script.MessageTexts().join(QLatin1Char('|'))));
    QCOMPARE(dialog.FileName(), copy);
    const QByteArray bytes = ReadAll(copy);
    const QString shown = dialog.Editor()->toPlainText();
    if (rtf) {
        const auto expected = RtfToPlainText(bytes);
        QVERIFY(expected);
        // The list markers the box draws itself are no part of its text.
        QCOMPARE(shown.simplified(), expected->simplified());
    } else {
        QCOMPARE(shown, QString::fromUtf8(bytes));
    }
    QVERIFY(!dialog.Editor()->isReadOnly());
    QVERIFY(!dialog.UndoAction()->isEnabled());
}

void TRichTextEditorTest::openReadOnly()
{
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("plain.TXT"));
    // Not UTF-8: the default code page (windows-1250) reads it.
    WriteAll(text, "\xe8rn\xfd \x9a\xe1l");
    TScript script;
    TMemoLastnosti dialog;
    script.AnswerFile(text, true);
    dialog.OpenAction()->trigger();
    QCOMPARE(dialog.Editor()->toPlainText(), QStringLiteral(u"črný šál"));
    QVERIFY(dialog.Editor()->isReadOnly());
    // Read-only text takes no formatting either.
    dialog.Editor()->selectAll();
    const QByteArray before = dialog.Content();
    dialog.BoldAction()->trigger();
    QVERIFY(!dialog.BoldAction()->isChecked());
    QCOMPARE(dialog.Content(), before);
    QVERIFY(!dialog.PasteAction()->isEnabled());

    // It stays read-only for the next text, until a file is opened without
    // the tick.
    dialog.LoadContent("{\\rtf1 next\\par}", 0);
    QVERIFY(dialog.Editor()->isReadOnly());
    script.AnswerFile(text, false);
    dialog.OpenAction()->trigger();
    QVERIFY(!dialog.Editor()->isReadOnly());
}

void TRichTextEditorTest::saveWritesByExtension()
{
    QTemporaryDir folder;
    TScript script;
    TMemoLastnosti dialog;
    dialog.LoadContent("{\\rtf1\\ansi\\ansicpg1250 {\\b \\'e8rn\\'fd} \\u353?\\par second\\par}",
                       0);
    const QString text = folder.filePath(QStringLiteral("out.txt"));
    script.AnswerFile(text);
    QVERIFY(dialog.FileSaveAs());
    QCOMPARE(ReadAll(text), QString(QStringLiteral(u"črný š\nsecond")).toUtf8());

    const QString rich = folder.filePath(QStringLiteral("out.rtf"));
    script.AnswerFile(rich);
    QVERIFY(dialog.FileSaveAs());
    const QByteArray bytes = ReadAll(rich);
    QVERIFY(bytes.startsWith("{\\rtf1"));
    QTextDocument back;
    QVERIFY(ReadRtf(bytes, back));
    QCOMPARE(back.toPlainText(), QStringLiteral(u"črný š\nsecond"));
    QVERIFY(FormatAt(&back, 1).fontWeight() >= QFont::Bold);

    // What was saved opens again as it was written.
    TMemoLastnosti other;
    QString error;
    QVERIFY(LoadTextFile(text, *other.Editor(), &error));
    QCOMPARE(other.Editor()->toPlainText(), QStringLiteral(u"črný š\nsecond"));
}

void TRichTextEditorTest::fileErrors()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("gone")));
    const QString file = folder.filePath(QStringLiteral("gone/text.rtf"));
    WriteAll(file, "{\\rtf1 kept\\par}");
    TScript script;
    TMemoLastnosti dialog;
    Show(dialog);
    script.AnswerFile(file);
    dialog.OpenAction()->trigger();
    QCOMPARE(dialog.FileName(), file);

    // The file's folder went away: Save fails, and says so.
    QVERIFY(QDir(folder.filePath(QStringLiteral("gone"))).removeRecursively());
    QTest::keyClicks(dialog.Editor(), QStringLiteral("more "));
    QVERIFY(!dialog.FileSave());
    QCOMPARE(script.Messages.size(), 1);
    QCOMPARE(script.Messages[0].Kind, TQZMessageKind::Error);
    QCOMPARE(script.Messages[0].Caption, QStringLiteral("Error"));
    QVERIFY2(script.Messages[0].Text.startsWith(QStringLiteral("Saving error: ") + file +
                                                QStringLiteral("\n")),
             qPrintable(script.Messages[0].Text));
    QCOMPARE(dialog.StatusPanel(1)->text(), QStringLiteral("Changed"));

    // An open that asked to save first stops when the save failed.
    script.Answers << TQZButton::Yes;
    script.AnswerFile(file);
    dialog.OpenAction()->trigger();
    QCOMPARE(script.MessageTexts().mid(1, 1),
             QStringList{QStringLiteral("Save ") + file + QStringLiteral("?")});
    QCOMPARE(script.Messages.size(), 3);
    QCOMPARE(script.DialogTitles, QStringList{QStringLiteral("Open")});
    QCOMPARE(dialog.Editor()->toPlainText(), QStringLiteral("more kept"));

    // A folder cannot be opened as a file; the text and the name stay.
    script.Answers << TQZButton::No;
    dialog.FilesDropped({folder.path()});
    QCOMPARE(script.Messages.size(), 5);
    QVERIFY2(script.Messages[4].Text.startsWith(QStringLiteral("Opening error: ") + folder.path() +
                                                QStringLiteral("\n")),
             qPrintable(script.Messages[4].Text));
    QCOMPARE(dialog.Editor()->toPlainText(), QStringLiteral("more kept"));
    QCOMPARE(dialog.FileName(), file);
}

// A drag of `data` that ends on `target`: it enters, moves and drops.
void DragOnto(QWidget *target, const QMimeData &data)
{
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
}

void TRichTextEditorTest::droppingFilesOpensFirstOnly()
{
    QTemporaryDir folder;
    QList<QUrl> urls;
    for (const char *name : {"first.txt", "second.txt", "third.txt"}) {
        urls << QUrl::fromLocalFile(folder.filePath(QString::fromLatin1(name)));
        WriteAll(urls.last().toLocalFile(), QByteArray(name));
    }
    TScript script;
    TMemoLastnosti dialog;
    Show(dialog);
    QVERIFY(dialog.acceptDrops());
    QTest::keyClicks(dialog.Editor(), QStringLiteral("typed"));
    QMimeData three;
    three.setUrls(urls);

    // Cancel keeps the typed text.
    script.Answers << TQZButton::Cancel;
    DragOnto(dialog.Editor()->viewport(), three);
    QCOMPARE(script.MessageTexts(), QStringList{QStringLiteral("Save Untitled?")});
    QCOMPARE(dialog.Editor()->toPlainText(), QStringLiteral("typed"));

    script.Answers << TQZButton::No;
    DragOnto(dialog.Editor()->viewport(), three);
    QCOMPARE(script.Messages.size(), 2);
    QCOMPARE(dialog.Editor()->toPlainText(), QStringLiteral("first.txt"));
    QCOMPARE(dialog.FileName(), urls[0].toLocalFile());
    QVERIFY(script.DialogTitles.isEmpty());

    // Dropped beside the text, on the toolbar; the text is unchanged, so
    // nothing is asked.
    QMimeData two;
    two.setUrls({urls[2], urls[1]});
    DragOnto(dialog.ToolBar(), two);
    QCOMPARE(script.Messages.size(), 2);
    QCOMPARE(dialog.Editor()->toPlainText(), QStringLiteral("third.txt"));
}

void TRichTextEditorTest::printing()
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("printed.pdf"));
    TScript script;
    TMemoLastnosti dialog;
    dialog.LoadContent(Formatted, 0);
    script.DialogAnswers << [&](QDialog &shown) {
        auto *print = qobject_cast<QPrintDialog *>(&shown);
        if (!print)
            return int(QDialog::Rejected);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    };
    dialog.PrintAction()->trigger();
    QCOMPARE(script.DialogTitles.size(), 1);
    QVERIFY(ReadAll(pdf).startsWith("%PDF"));
    QVERIFY(script.Messages.isEmpty());

    // Cancelled: nothing printed.
    QFile::remove(pdf);
    script.CancelDialog();
    dialog.PrintAction()->trigger();
    QVERIFY(!QFileInfo::exists(pdf));
}

void TRichTextEditorTest::exchangeWithRichTextObject()
{
    TScript script;
    QWidget page;
    TMemoRecord record = ZeroRecord<TMemoRecord>();
    record.Left = 10;
    record.Top = 20;
    record.Width = 300;
    record.Height = 200;
    record.Color = 0x00E0F0FF;
    TQZMemo memo(&page, record);
    memo.LoadPayload(Formatted);
    TMemoLastnosti dialog;

    script.ColorAnswers << QColor(0x40, 0x80, 0xC0);
    script.DialogAnswers << [&](QDialog &shown) {
        [&] {
            QCOMPARE(&shown, static_cast<QDialog *>(&dialog));
            QCOMPARE(dialog.Color(), 0x00E0F0FFu);
            QCOMPARE(dialog.Editor()->toPlainText(), memo.Box()->toPlainText());
            QVERIFY(!dialog.UndoAction()->isEnabled());
            dialog.Editor()->moveCursor(QTextCursor::Start);
            dialog.Editor()->textCursor().insertText(QStringLiteral("Edited "));
            dialog.BackgroundAction()->trigger();
        }();
        // Closed by its close box, not accepted.
        dialog.CloseAction()->trigger();
        return int(QDialog::Rejected);
    };
    EditRichText(dialog, memo);

    QVERIFY(memo.Box()->toPlainText().startsWith(QStringLiteral("Edited plain bold run end")));
    QCOMPARE(quint32(memo.Data().Color), 0x00C08040u);
    QCOMPARE(memo.Frame()->palette().color(QPalette::Window), QColor(0x40, 0x80, 0xC0));
    // Position and size stay; the content's formatting came along.
    QCOMPARE(qint32(memo.Data().Left), 10);
    QCOMPARE(qint32(memo.Data().Height), 200);
    const int bold = int(memo.Box()->toPlainText().indexOf(QStringLiteral("bold")));
    QVERIFY(FormatAt(memo.Box()->document(), bold).fontWeight() >= QFont::Bold);
    // Taking the text back is no edit the author could undo in the box.
    QVERIFY(!memo.Box()->document()->isUndoAvailable());
}

void TRichTextEditorTest::exchangeLeavesUneditedContent_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name :
         {"lo74_features_B.rtf", "lo74_ce_fcharset238_B.rtf", "abiword305_B.rtf",
          "rtfjs_png_pict.rtf", "phprtflite_lists.rtf", "word_cp1251_russian.rtf"})
        QTest::newRow(name) << QStringLiteral("rtf/") + QLatin1String(name);
}

void TRichTextEditorTest::exchangeLeavesUneditedContent()
{
    QFETCH(QString, file);
    TScript script;
    QWidget page;
    TMemoRecord record = ZeroRecord<TMemoRecord>();
    record.Width = 400;
    record.Height = 300;
    record.Color = 0x80000005;
    TQZMemo memo(&page, record);
    memo.LoadPayload(ReadAll(Corpus(file)));
    const QByteArray before = memo.Payload();
    script.DialogAnswers << [](QDialog &) {
        return int(QDialog::Accepted);
    };
    TMemoLastnosti dialog;
    EditRichText(dialog, memo);
    QCOMPARE(memo.Payload(), before);
    QCOMPARE(quint32(memo.Data().Color), 0x80000005u);
}

QTEST_MAIN(TRichTextEditorTest)
#include "tst_richtexteditor.moc"
