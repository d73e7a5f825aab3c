// The rich text editor's file commands: new, open (also by dropping files),
// save, save as and print, with their dialogs and questions, all asked
// through the interaction.
#include "QZMemoLastnosti.h"

#include "QZInteraction.h"
#include "QZMemoEditor.h"
#include "QZMemoFiles.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPrintDialog>
#include <QPrinter>

namespace CorvBuilder {

QString TMemoLastnosti::FileFilter()
{
    return QStringLiteral("Rich Text Files (*.RTF);;Text Files (*.TXT)");
}

void TMemoLastnosti::FileNew()
{
    m_fileName = Untitled();
    m_editor->ReplaceDocument(m_editor->NewDocument());
    RefreshChangeState();
    SelectionChange();
}

QFileDialog &TMemoLastnosti::OpenDialog()
{
    if (!m_openDialog) {
        // Qt's own dialog, so that it can carry the read-only tick box.
        m_openDialog = std::make_unique<QFileDialog>(
            this, QStringLiteral("Open"), QCoreApplication::applicationDirPath(), FileFilter());
        m_openDialog->setObjectName(QStringLiteral("OpenDialog"));
        m_openDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_openDialog->setFileMode(QFileDialog::ExistingFile);
        m_readOnlyBox = new QCheckBox(QStringLiteral("Open as &read-only"), m_openDialog.get());
        m_readOnlyBox->setObjectName(QStringLiteral("ReadOnlyBox"));
        if (auto *grid = qobject_cast<QGridLayout *>(m_openDialog->layout()))
            grid->addWidget(m_readOnlyBox, grid->rowCount(), 0, 1, -1);
    }
    return *m_openDialog;
}

QFileDialog &TMemoLastnosti::SaveDialog()
{
    if (!m_saveDialog) {
        m_saveDialog = std::make_unique<QFileDialog>(
            this, QStringLiteral("Save As"), QCoreApplication::applicationDirPath(), FileFilter());
        m_saveDialog->setObjectName(QStringLiteral("SaveDialog"));
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
        m_saveDialog->setFileMode(QFileDialog::AnyFile);
        // The editor asks "Rewrite" itself.
        m_saveDialog->setOption(QFileDialog::DontConfirmOverwrite);
        m_saveDialog->setDefaultSuffix(QStringLiteral("rtf"));
        QFileDialog *dialog = m_saveDialog.get();
        connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString &filter) {
            dialog->setDefaultSuffix(filter.contains(QLatin1String("*.TXT"))
                                         ? QStringLiteral("txt")
                                         : QStringLiteral("rtf"));
        });
    }
    return *m_saveDialog;
}

QPrinter &TMemoLastnosti::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool TMemoLastnosti::SaveCheck()
{
    if (!m_editor->document()->isModified())
        return true;
    switch (Interaction().Message(TQZMessageKind::Confirmation, QStringLiteral("Confirm"),
                                  QStringLiteral("Save %1?").arg(m_fileName),
                                  TQZButton::Yes | TQZButton::No | TQZButton::Cancel)) {
    // The text is only given up once it is saved.
    case TQZButton::Yes: return FileSave();
    case TQZButton::No: return true;
    default: return false;
    }
}

void TMemoLastnosti::FileOpen()
{
    if (!SaveCheck())
        return;
    QFileDialog &dialog = OpenDialog();
    m_readOnlyBox->setChecked(false);
    if (Interaction().ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenFile(dialog.selectedFiles().constFirst(), m_readOnlyBox->isChecked());
}

void TMemoLastnosti::FilesDropped(const QStringList &fileNames)
{
    if (fileNames.isEmpty() || !SaveCheck())
        return;
    OpenFile(fileNames.constFirst(), m_editor->isReadOnly());
}

void TMemoLastnosti::OpenFile(const QString &fileName, bool readOnly)
{
    QString error;
    if (!LoadTextFile(fileName, *m_editor, &error)) {
        ReportError(QStringLiteral("Opening error: "), fileName, error);
        return;
    }
    m_fileName = fileName;
    m_editor->setReadOnly(readOnly);
    m_editor->setFocus();
    RefreshChangeState();
    RefreshPasteState();
    SelectionChange();
}

bool TMemoLastnosti::FileSave()
{
    if (m_fileName == Untitled())
        return FileSaveAs();
    return SaveTo(m_fileName);
}

bool TMemoLastnosti::FileSaveAs()
{
    QFileDialog &dialog = SaveDialog();
    dialog.selectFile(m_fileName);
    if (Interaction().ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString fileName = dialog.selectedFiles().constFirst();
    if (QFileInfo::exists(fileName) &&
        Interaction().Message(TQZMessageKind::Confirmation, QStringLiteral("Confirm"),
                              QStringLiteral("Rewrite %1").arg(fileName),
                              TQZButton::Yes | TQZButton::No | TQZButton::Cancel) != TQZButton::Yes)
        return false;
    return SaveTo(fileName);
}

bool TMemoLastnosti::SaveTo(const QString &fileName)
{
    QString error;
    if (!WriteTextFile(fileName, *m_editor->document(), &error)) {
        ReportError(QStringLiteral("Saving error: "), fileName, error);
        return false;
    }
    m_fileName = fileName;
    m_editor->document()->setModified(false);
    RefreshChangeState();
    return true;
}

void TMemoLastnosti::ReportError(const QString &words, const QString &fileName,
                                 const QString &error)
{
    ShowErrorMessage(words + fileName + QStringLiteral("\n") + error);
}

void TMemoLastnosti::FilePrint()
{
    QPrinter &printer = Printer();
    // Without a printer the dialog still offers printing to a PDF file.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty())
        printer.setOutputFileName(QDir::home().filePath(QFileInfo(m_fileName).completeBaseName() +
                                                        QStringLiteral(".pdf")));
    QPrintDialog dialog(&printer, this);
    if (Interaction().ExecDialog(dialog) != QDialog::Accepted)
        return;
    printer.setDocName(m_fileName);
    m_editor->document()->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        ShowErrorMessage(QStringLiteral("Printing error: ") + m_fileName);
}

} // namespace CorvBuilder
