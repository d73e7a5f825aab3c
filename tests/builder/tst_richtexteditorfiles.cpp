// The rich text editor's file commands with their questions answered from a
// script: save and save as, open (also as read-only and by dropping files),
// the file errors, printing, and the exchange with a real rich text object.
#include "QZRichTextEditorTest.h"

#include "QZMemo.h"
#include "QZMemoEditor.h"
#include "QZMemoFiles.h"
#include "QZMemoLastnosti.h"
#include "QZRtf.h"
#include "QZScriptedInteraction.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

using namespace CorvBuilder;

namespace {

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

} // namespace

class TRichTextEditorFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetRichTextTest(); }

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

void TRichTextEditorFilesTest::saveUntitledGoesThroughSaveAs()
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

void TRichTextEditorFilesTest::saveAsAsksToRewrite_data()
{
    QTest::addColumn<TQZButton>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("Yes") << TQZButton::Yes << true;
    QTest::newRow("No") << TQZButton::No << false;
    QTest::newRow("Cancel") << TQZButton::Cancel << false;
}

void TRichTextEditorFilesTest::saveAsAsksToRewrite()
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

void TRichTextEditorFilesTest::openAsksToSave_data()
{
    QTest::addColumn<TQZButton>("answer");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Yes") << TQZButton::Yes << Texts({"Save As", "Open"}) << true << true;
    QTest::newRow("No") << TQZButton::No << Texts({"Open"}) << true << false;
    QTest::newRow("Cancel") << TQZButton::Cancel << QStringList{} << false << false;
}

void TRichTextEditorFilesTest::openAsksToSave()
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

void TRichTextEditorFilesTest::openFiles_data()
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

void TRichTextEditorFilesTest::openFiles()
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

void TRichTextEditorFilesTest::openReadOnly()
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

void TRichTextEditorFilesTest::saveWritesByExtension()
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

void TRichTextEditorFilesTest::fileErrors()
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

void TRichTextEditorFilesTest::droppingFilesOpensFirstOnly()
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

void TRichTextEditorFilesTest::printing()
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

void TRichTextEditorFilesTest::exchangeWithRichTextObject()
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

void TRichTextEditorFilesTest::exchangeLeavesUneditedContent_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name :
         {"lo74_features_B.rtf", "lo74_ce_fcharset238_B.rtf", "abiword305_B.rtf",
          "rtfjs_png_pict.rtf", "phprtflite_lists.rtf", "word_cp1251_russian.rtf"})
        QTest::newRow(name) << QStringLiteral("rtf/") + QLatin1String(name);
}

void TRichTextEditorFilesTest::exchangeLeavesUneditedContent()
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

QTEST_MAIN(TRichTextEditorFilesTest)
#include "tst_richtexteditorfiles.moc"
