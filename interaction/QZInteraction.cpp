#include "QZInteraction.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QWindow>

#include <cstdlib>
#include <utility>

TQZInteraction::~TQZInteraction() = default;

TQZButton TQZInteraction::MessageWithDefault(TQZMessageKind kind, const QString &caption,
                                             const QString &text, TQZButtons buttons, TQZButton)
{
    return Message(kind, caption, text, buttons);
}

namespace {

// The builder's tools window stays on top of the other windows; a modal
// dialog must come above it, so every dialog is kept on top too, and being
// the newest it opens above the tools window.
void KeepOnTop(QDialog &dialog)
{
    if (dialog.isVisible())
        return;
    if (!dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // Window managers keep a dialog in the layer of the window it belongs to:
    // it belongs to the tool window kept on top, when one is shown.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window == &dialog || !window->isVisible() || window->windowType() != Qt::Tool ||
            !window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            continue;
        dialog.winId();
        if (dialog.windowHandle() && window->windowHandle())
            dialog.windowHandle()->setTransientParent(window->windowHandle());
        break;
    }
}

class TQtInteraction final : public TQZInteraction
{
public:
    TQZButton Message(TQZMessageKind kind, const QString &caption, const QString &text,
                      TQZButtons buttons) override
    {
        return MessageWithDefault(kind, caption, text, buttons, TQZButton::None);
    }

    TQZButton MessageWithDefault(TQZMessageKind kind, const QString &caption, const QString &text,
                                 TQZButtons buttons, TQZButton defaultButton) override
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        switch (kind) {
        case TQZMessageKind::Warning: icon = QMessageBox::Warning; break;
        case TQZMessageKind::Error: icon = QMessageBox::Critical; break;
        case TQZMessageKind::Information: icon = QMessageBox::Information; break;
        case TQZMessageKind::Confirmation: icon = QMessageBox::Question; break;
        case TQZMessageKind::Plain: break;
        }
        QMessageBox box(icon, caption, QString(), QMessageBox::NoButton,
                        QApplication::activeWindow());
        // A text may hold a test's own words and names: it is shown as typed,
        // never as markup, which could load pictures and show links. The
        // format comes first, so the text is never read as markup at all.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        KeepOnTop(box);
        const std::pair<TQZButton, QMessageBox::StandardButton> map[] = {
            {TQZButton::Ok, QMessageBox::Ok},
            {TQZButton::Yes, QMessageBox::Yes},
            {TQZButton::No, QMessageBox::No},
            {TQZButton::Cancel, QMessageBox::Cancel},
        };
        for (const auto &[ours, theirs] : map)
            if (buttons.testFlag(ours)) {
                QPushButton *button = box.addButton(theirs);
                if (ours == defaultButton)
                    box.setDefaultButton(button);
            }
        const int pressed = box.exec();
        for (const auto &[ours, theirs] : map)
            if (pressed == theirs)
                return ours;
        return buttons.testFlag(TQZButton::Cancel) ? TQZButton::Cancel : TQZButton::No;
    }

    QString OpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                         const QString &defaultSuffix, const QString &folder = {}) override
    {
        QFileDialog dialog(parent, caption, folder, filter);
        KeepOnTop(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    QString SaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                         const QString &defaultSuffix, const QString &proposed) override
    {
        QFileDialog dialog(parent, caption, QString(), filter);
        KeepOnTop(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        dialog.selectFile(proposed);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    QString ExistingFolder(QWidget *parent, const QString &caption, const QString &folder) override
    {
        QFileDialog dialog(parent, caption, folder);
        KeepOnTop(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    bool InputText(QWidget *parent, const QString &caption, const QString &label,
                   QString &text) override
    {
        QInputDialog dialog(parent);
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(label);
        // The caption may be a test's title; the label is never read as markup.
        const auto labels = dialog.findChildren<QLabel *>();
        for (QLabel *shown : labels)
            shown->setTextFormat(Qt::PlainText);
        dialog.setTextValue(text);
        KeepOnTop(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        text = dialog.textValue();
        return true;
    }

    bool ChooseFont(QWidget *parent, QFont &font) override
    {
        QFontDialog dialog(font, parent);
        KeepOnTop(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        font = dialog.selectedFont();
        return true;
    }

    bool ChooseColor(QWidget *parent, QColor &color) override
    {
        QColorDialog dialog(color, parent);
        KeepOnTop(dialog);
        if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
            return false;
        color = dialog.selectedColor();
        return true;
    }

    int ExecDialog(QDialog &dialog) override
    {
        KeepOnTop(dialog);
        return dialog.exec();
    }

    bool StartProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override
    {
        return QProcess::startDetached(program, arguments, workingFolder);
    }

    void Exit(int code) override
    {
        if (QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::exit(code);
        else
            std::exit(code);
    }
};

TQZInteraction *&Installed()
{
    static TQZInteraction *installed = nullptr;
    return installed;
}

} // namespace

TQZInteraction &Interaction()
{
    static TQtInteraction qt;
    TQZInteraction *installed = Installed();
    return installed ? *installed : qt;
}

TQZInteraction *SetInteraction(TQZInteraction *interaction)
{
    return std::exchange(Installed(), interaction);
}

void ShowWarning(const QString &text)
{
    Interaction().Message(TQZMessageKind::Warning, QStringLiteral("Warning"), text, TQZButton::Ok);
}

void ShowErrorMessage(const QString &text)
{
    Interaction().Message(TQZMessageKind::Error, QStringLiteral("Error"), text, TQZButton::Ok);
}

void ShowPlainError(const QString &text)
{
    Interaction().Message(TQZMessageKind::Plain, QStringLiteral("Error"), text, TQZButton::Ok);
}

bool ConfirmYesNo(const QString &text)
{
    return Interaction().Message(TQZMessageKind::Confirmation, QStringLiteral("Confirm"), text,
                                 TQZButton::Yes | TQZButton::No) == TQZButton::Yes;
}
