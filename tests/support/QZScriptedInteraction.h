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
    };

    // Installs itself for its lifetime; the interaction installed before comes
    // back when it is destroyed.
    TQZScriptedInteraction();
    ~TQZScriptedInteraction() override;

    TQZButton Message(TQZMessageKind kind, const QString &caption, const QString &text,
                      TQZButtons buttons) override;
    QString OpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                         const QString &defaultSuffix) override;
    int ExecDialog(QDialog &dialog) override;
    void Exit(int code) override;

    // Answers to the next message boxes, in order; without one a box is
    // answered with OK, or Yes, or its first button.
    QList<TQZButton> Answers;
    // Answers to the next file dialogs, in order; an empty name cancels.
    QStringList FileAnswers;
    // Called with each of the program's own modal dialogs; its return value
    // is the dialog's result (QDialog::Accepted without a handler).
    std::function<int(QDialog &)> OnDialog;

    // What was asked.
    QList<TMessage> Messages;
    QStringList FileFilters;
    QStringList DialogTitles;
    QList<int> Exits;

    // The texts of the message boxes shown, in order.
    QStringList MessageTexts() const;

private:
    TQZInteraction *m_previous;
};
