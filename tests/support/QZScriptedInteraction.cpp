#include "QZScriptedInteraction.h"

#include <QDialog>

TQZScriptedInteraction::TQZScriptedInteraction()
    : m_previous(SetInteraction(this))
{
}

TQZScriptedInteraction::~TQZScriptedInteraction() { SetInteraction(m_previous); }

TQZButton TQZScriptedInteraction::Message(TQZMessageKind kind, const QString &caption,
                                          const QString &text, TQZButtons buttons)
{
    return MessageWithDefault(kind, caption, text, buttons, TQZButton::None);
}

TQZButton TQZScriptedInteraction::MessageWithDefault(TQZMessageKind kind, const QString &caption,
                                                     const QString &text, TQZButtons buttons,
                                                     TQZButton defaultButton)
{
    Messages << TMessage{kind, caption, text, buttons, defaultButton};
    if (!Answers.isEmpty())
        return Answers.takeFirst();
    if (defaultButton != TQZButton::None && buttons.testFlag(defaultButton))
        return defaultButton;
    for (TQZButton button : {TQZButton::Ok, TQZButton::Yes, TQZButton::No, TQZButton::Cancel})
        if (buttons.testFlag(button))
            return button;
    return TQZButton::None;
}

QString TQZScriptedInteraction::OpenFileName(QWidget *, const QString &, const QString &filter,
                                             const QString &, const QString &folder)
{
    FileFilters << filter;
    OpenFolders << folder;
    return FileAnswers.isEmpty() ? QString() : FileAnswers.takeFirst();
}

QString TQZScriptedInteraction::SaveFileName(QWidget *, const QString &caption,
                                             const QString &filter, const QString &,
                                             const QString &proposed)
{
    FileFilters << filter;
    SaveDialogs << caption + QLatin1Char('|') + proposed;
    return FileAnswers.isEmpty() ? QString() : FileAnswers.takeFirst();
}

QString TQZScriptedInteraction::ExistingFolder(QWidget *, const QString &, const QString &folder)
{
    FolderDialogs << folder;
    return FileAnswers.isEmpty() ? QString() : FileAnswers.takeFirst();
}

bool TQZScriptedInteraction::InputText(QWidget *, const QString &caption, const QString &label,
                                       QString &text)
{
    TextInputs << caption + QLatin1Char('|') + label;
    if (TextAnswers.isEmpty())
        return false;
    text = TextAnswers.takeFirst();
    return true;
}

bool TQZScriptedInteraction::ChooseFont(QWidget *, QFont &font)
{
    ++FontDialogs;
    if (FontAnswers.isEmpty())
        return false;
    font = FontAnswers.takeFirst();
    return true;
}

bool TQZScriptedInteraction::ChooseColor(QWidget *, QColor &color)
{
    ++ColorDialogs;
    if (ColorAnswers.isEmpty())
        return false;
    color = ColorAnswers.takeFirst();
    return true;
}

bool TQZScriptedInteraction::StartProgram(const QString &program, const QStringList &arguments,
                                          const QString &workingFolder)
{
    Started << TStart{program, arguments, workingFolder};
    return StartSucceeds;
}

int TQZScriptedInteraction::ExecDialog(QDialog &dialog)
{
    DialogTitles << dialog.windowTitle();
    return OnDialog ? OnDialog(dialog) : int(QDialog::Accepted);
}

void TQZScriptedInteraction::Exit(int code) { Exits << code; }

QStringList TQZScriptedInteraction::MessageTexts() const
{
    QStringList texts;
    for (const TMessage &message : Messages)
        texts << message.Text;
    return texts;
}
