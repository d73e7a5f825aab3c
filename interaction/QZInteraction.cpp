#include "QZInteraction.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QProcess>
#include <QThread>

#include <cstdlib>
#include <utility>

TQZInteraction::~TQZInteraction() = default;

namespace {

class TQtInteraction final : public TQZInteraction
{
public:
    TQZButton Message(TQZMessageKind kind, const QString &caption, const QString &text,
                      TQZButtons buttons) override
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        switch (kind) {
        case TQZMessageKind::Warning: icon = QMessageBox::Warning; break;
        case TQZMessageKind::Error: icon = QMessageBox::Critical; break;
        case TQZMessageKind::Information: icon = QMessageBox::Information; break;
        case TQZMessageKind::Confirmation: icon = QMessageBox::Question; break;
        case TQZMessageKind::Plain: break;
        }
        QMessageBox box(icon, caption, text, QMessageBox::NoButton, QApplication::activeWindow());
        const std::pair<TQZButton, QMessageBox::StandardButton> map[] = {
            {TQZButton::Ok, QMessageBox::Ok},
            {TQZButton::Yes, QMessageBox::Yes},
            {TQZButton::No, QMessageBox::No},
            {TQZButton::Cancel, QMessageBox::Cancel},
        };
        for (const auto &[ours, theirs] : map)
            if (buttons.testFlag(ours))
                box.addButton(theirs);
        const int pressed = box.exec();
        for (const auto &[ours, theirs] : map)
            if (pressed == theirs)
                return ours;
        return buttons.testFlag(TQZButton::Cancel) ? TQZButton::Cancel : TQZButton::No;
    }

    QString OpenFileName(QWidget *parent, const QString &caption, const QString &filter,
                         const QString &defaultSuffix) override
    {
        QFileDialog dialog(parent, caption, QString(), filter);
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
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        dialog.selectFile(proposed);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    bool ChooseFont(QWidget *parent, QFont &font) override
    {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, parent);
        if (ok)
            font = chosen;
        return ok;
    }

    bool ChooseColor(QWidget *parent, QColor &color) override
    {
        const QColor chosen = QColorDialog::getColor(color, parent);
        if (!chosen.isValid())
            return false;
        color = chosen;
        return true;
    }

    int ExecDialog(QDialog &dialog) override { return dialog.exec(); }

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
