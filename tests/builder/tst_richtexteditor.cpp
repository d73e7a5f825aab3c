// The rich text editor's window, "Rich Text - Properties": its menus and
// hints, the toolbar and the ruler against the selection and the formatting
// they apply, the font and colour dialogs, the status bar, and the undo and
// clipboard states.
#include "QZRichTextEditorTest.h"

#include "QZMemoEditor.h"
#include "QZMemoLastnosti.h"
#include "QZMemoRuler.h"
#include "QZRecordedHelp.h"
#include "QZRtf.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QToolButton>

using namespace CorvBuilder;

namespace {

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
    void init() { ResetRichTextTest(); }

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

QTEST_MAIN(TRichTextEditorTest)
#include "tst_richtexteditor.moc"
