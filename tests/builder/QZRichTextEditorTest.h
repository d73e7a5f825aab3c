// What the rich text editor's tests share: files of the corpus and of the
// test, a scripted interaction that also answers the editor's own dialogs,
// and a text with formatting to select in.
#pragma once

#include "QZScriptedInteraction.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextCharFormat>

#include <functional>
#include <initializer_list>

class QTextDocument;
class QTextEdit;

// A file of the shared corpus by its path in it.
QString Corpus(const QString &path);
QStringList Texts(std::initializer_list<const char *> texts);
QByteArray ReadAll(const QString &fileName);
void WriteAll(const QString &fileName, const QByteArray &bytes);
// Files the editor opens are copies, so that a save can never reach the
// corpus.
QString CorpusCopy(const QTemporaryDir &folder, const QString &path);

// The scripted interaction, with the program's own dialogs (the editor's file
// dialogs and the print dialog) answered in order from a list.
class TScript : public TQZScriptedInteraction
{
public:
    TScript();

    // A question the test did not answer is cancelled where it can be, so
    // that no unplanned "Yes" ever writes a file.
    TQZButton Message(TQZMessageKind kind, const QString &caption, const QString &text,
                      TQZButtons buttons) override;

    // The next file dialog picks `fileName`, ticking the read-only box of an
    // open dialog when asked.
    void AnswerFile(const QString &fileName, bool readOnly = false);
    void CancelDialog();

    QList<std::function<int(QDialog &)>> DialogAnswers;
};

// A text of three paragraphs: a bold run in the first, the second in italic
// 20-point Courier New and centred, the third right-aligned.
inline const QByteArray Formatted =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}\\fs24 "
    "plain {\\b bold run} end\\par\\pard\\qc{\\f1\\fs40\\i italic}\\par\\pard\\qr right\\par}";

void Select(QTextEdit *editor, int from, int to);
// The format of the character at `position`.
QTextCharFormat FormatAt(const QTextDocument *document, int position);
// Shows the window and waits until it is on the screen.
void Show(QDialog &dialog);
// What each test starts from: rich text editable, the clipboard empty.
void ResetRichTextTest();
