// Every modal moment of the programs goes through one interaction object:
// message boxes, file dialogs, the program's own modal dialogs and program
// exit. The real one shows Qt dialogs; tests install a scripted one that
// answers from a script and records what was asked.
#pragma once

#include <QColor>
#include <QFlags>
#include <QFont>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

enum class TQZMessageKind {
    Warning,
    Error,
    Information,
    Confirmation,
    Plain, // no icon
};

enum class TQZButton {
    None = 0,
    Ok = 1,
    Yes = 2,
    No = 4,
    Cancel = 8,
};
Q_DECLARE_FLAGS(TQZButtons, TQZButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(TQZButtons)

class TQZInteraction
{
public:
    virtual ~TQZInteraction();

    // A modal message box; returns the button pressed (Cancel or No when the
    // box is closed otherwise). A "\n" in text breaks the line.
    virtual TQZButton Message(TQZMessageKind kind, const QString &caption, const QString &text,
                              TQZButtons buttons) = 0;
    // The same box with `defaultButton`, one of `buttons`, as the button that
    // Enter presses. An interaction that cannot mark one shows Message().
    virtual TQZButton MessageWithDefault(TQZMessageKind kind, const QString &caption,
                                         const QString &text, TQZButtons buttons,
                                         TQZButton defaultButton);
    // A file open dialog, starting in `folder` (the current folder when it is
    // empty); an empty name when it was cancelled.
    virtual QString OpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                                 const QString &defaultSuffix, const QString &folder = {}) = 0;
    // A file save dialog proposing `proposed`; it asks before overwriting an
    // existing file. An empty name when it was cancelled.
    virtual QString SaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                                 const QString &defaultSuffix, const QString &proposed) = 0;
    // A folder chooser starting in `folder`, for a folder that exists; an
    // empty name when it was cancelled.
    virtual QString ExistingFolder(QWidget *parent, const QString &caption,
                                   const QString &folder) = 0;
    // A one-line text box under the plain-text `label`, in a dialog captioned
    // `caption`; false when it was cancelled, and `text` is then unchanged.
    virtual bool InputText(QWidget *parent, const QString &caption, const QString &label,
                           QString &text) = 0;
    // The font dialog starting at `font`; false when it was cancelled, and
    // `font` is then unchanged.
    virtual bool ChooseFont(QWidget *parent, QFont &font) = 0;
    // The colour dialog starting at `color`; false when it was cancelled.
    virtual bool ChooseColor(QWidget *parent, QColor &color) = 0;
    // Runs one of the program's own modal dialogs (also Qt's print and page
    // set-up dialogs); returns its result code.
    virtual int ExecDialog(QDialog &dialog) = 0;
    // Starts a program without waiting for it; false when it could not be
    // started.
    virtual bool StartProgram(const QString &program, const QStringList &arguments,
                              const QString &workingFolder) = 0;
    // Ends the program with the exit code: the event loop returns once the
    // current handler does, or, before the loop runs, the process ends.
    virtual void Exit(int code) = 0;
};

// The interaction in force: the Qt one unless a test set another.
TQZInteraction &Interaction();
// Installs an interaction (not owned); null goes back to the Qt one. Returns
// the one installed before (null for the Qt one).
TQZInteraction *SetInteraction(TQZInteraction *interaction);

// The boxes the programs use, with their standard captions.
void ShowWarning(const QString &text);      // "Warning", OK
void ShowErrorMessage(const QString &text); // "Error", OK
void ShowPlainError(const QString &text);   // plain box "Error", OK
bool ConfirmYesNo(const QString &text);     // "Confirm", Yes and No
