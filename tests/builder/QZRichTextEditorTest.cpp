#include "QZRichTextEditorTest.h"

#include "QZMemo.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

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

QString CorpusCopy(const QTemporaryDir &folder, const QString &path)
{
    const QString copy = folder.filePath(QFileInfo(path).fileName());
    QFile::copy(Corpus(path), copy);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

TScript::TScript()
{
    OnDialog = [this](QDialog &dialog) {
        if (DialogAnswers.isEmpty())
            return int(QDialog::Rejected);
        return DialogAnswers.takeFirst()(dialog);
    };
}

TQZButton TScript::Message(TQZMessageKind kind, const QString &caption, const QString &text,
                           TQZButtons buttons)
{
    if (Answers.isEmpty() && buttons.testFlag(TQZButton::Cancel))
        Answers << TQZButton::Cancel;
    return TQZScriptedInteraction::Message(kind, caption, text, buttons);
}

void TScript::AnswerFile(const QString &fileName, bool readOnly)
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

void TScript::CancelDialog()
{
    DialogAnswers << [](QDialog &) {
        return int(QDialog::Rejected);
    };
}

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

void ResetRichTextTest()
{
    RichTextEditable = true;
    QGuiApplication::clipboard()->clear();
}
