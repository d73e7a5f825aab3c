// The interaction of tests: answers message boxes and file dialogs from a
// script, records everything that was asked, and never ends the process.
#pragma once

#include "QZInteraction.h"

#include <QList>
#include <QStringList>

#include <functional>

class TQZScriptedInteraction : public TQZInteraction
{
public:
    struct TMessage
    {
        TQZMessageKind Kind;
        QString Caption;
        QString Text;
        TQZButtons Buttons;
        TQZButton Default = TQZButton::None; // None: the box marks no default
    };

    // Installs itself for its lifetime; the interaction installed before comes
    // back when it is destroyed.
    TQZScriptedInteraction();
    ~TQZScriptedInteraction() override;

    TQZButton Message(TQZMessageKind kind, const QString &caption, const QString &text,
                      TQZButtons buttons) override;
    TQZButton MessageWithDefault(TQZMessageKind kind, const QString &caption, const QString &text,
                                 TQZButtons buttons, TQZButton defaultButton) override;
    QString OpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                         const QString &defaultSuffix, const QString &folder = {}) override;
    QString SaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                         const QString &defaultSuffix, const QString &proposed) override;
    QString ExistingFolder(QWidget *parent, const QString &caption, const QString &folder) override;
    bool InputText(QWidget *parent, const QString &caption, const QString &label,
                   QString &text) override;
    bool ChooseFont(QWidget *parent, QFont &font) override;
    bool ChooseColor(QWidget *parent, QColor &color) override;
    int ExecDialog(QDialog &dialog) override;
    bool StartProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override;
    void Exit(int code) override;

    // Answers to the next message boxes, in order; without one a box is
    // answered with its default button, or else OK, or Yes, or its first
    // button.
    QList<TQZButton> Answers;
    // Answers to the next file dialogs, open, save and folder alike, in
    // order; an empty name cancels.
    QStringList FileAnswers;
    // Answers to the next text boxes, in order; without one the box is
    // cancelled.
    QStringList TextAnswers;
    // Answers to the next font and colour dialogs; without one the dialog is
    // cancelled.
    QList<QFont> FontAnswers;
    QList<QColor> ColorAnswers;
    // Whether StartProgram reports success.
    bool StartSucceeds = true;
    // Called with each of the program's own modal dialogs; its return value
    // is the dialog's result (QDialog::Accepted without a handler).
    std::function<int(QDialog &)> OnDialog;

    // What was asked.
    QList<TMessage> Messages;
    QStringList FileFilters;
    // The folder each open dialog started in.
    QStringList OpenFolders;
    // The folder each folder chooser started in.
    QStringList FolderDialogs;
    // Caption and proposed name of each save dialog, "caption|proposed".
    QStringList SaveDialogs;
    struct TStart
    {
        QString Program;
        QStringList Arguments;
        QString WorkingFolder;
    };
    QList<TStart> Started;
    // Caption and label of each text box, "caption|label".
    QStringList TextInputs;
    int FontDialogs = 0;
    int ColorDialogs = 0;
    QStringList DialogTitles;
    QList<int> Exits;

    // The texts of the message boxes shown, in order.
    QStringList MessageTexts() const;

private:
    TQZInteraction *m_previous;
};
