// The tools window's commands on the test document: files, printing,
// running the player, the test's properties and help.
#include "QZOrodja.h"

#include "QZAbout.h"
#include "QZControls.h"
#include "QZDialogs.h"
#include "QZGlavnoOkno.h"
#include "QZInteraction.h"
#include "QZNalogaLastnosti.h"
#include "QZOpenPassword.h"
#include "QZRecordFields.h"
#include "QZSavePassword.h"
#include "QZStream.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const QString AlreadyOpen =
    QStringLiteral("Project is already open. You must close it before opening another project.");

// The printer every print command uses; set up by Print Setup.
QPrinter &CurrentPrinter()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

} // namespace

QString TestFileFilter() { return QStringLiteral("Corvella (*.cvl)"); }

void TOrodja::New()
{
    if (EditorState.CurrentTest) {
        ShowWarning(AlreadyOpen);
        return;
    }
    EditorState.CurrentTest = std::make_unique<TQZNaloga>(m_surface, &WidgetObjectFactory());
    EditorState.CurrentTest->TestRecord() = NewTestRecord();
    AddPage();
    EditorState.SetFileName(UntitledFileName());
    m_surface->UpdateCaption();
    SetTestOpenState();
}

void TOrodja::Open()
{
    if (EditorState.CurrentTest) {
        ShowWarning(AlreadyOpen);
        return;
    }
    const QString name = Interaction().OpenFileName(m_surface, QStringLiteral("Open"),
                                                    TestFileFilter(), QStringLiteral("cvl"));
    if (name.isEmpty())
        return;
    OpenFile(name);
}

void TOrodja::OpenFile(const QString &fileName)
{
    if (EditorState.CurrentTest)
        return;
    EditorState.SetFileName(fileName);
    EditorState.CurrentTest = std::make_unique<TQZNaloga>(m_surface, &WidgetObjectFactory());
    Saved = true;
    SetTestOpenState();
    bool opened = false;
    try {
        EditorState.CurrentTest->LoadTestFile(fileName);
        opened = true;
    } catch (const TQZNewerVersionError &) {
        ShowWarning(NewerVersionMessage);
    } catch (const TQZFileError &error) {
        ShowErrorMessage(QStringLiteral("Opening error: ") + fileName + QStringLiteral("\n") +
                         error.Cause());
    }
    if (!opened) {
        CloseTest();
        TestLoading = false;
        return;
    }

    TQZNaloga &test = *EditorState.CurrentTest;
    if (test.HasEditPassword()) {
        QString typed;
        if (TOpenPassword *dialog = Dialogs().OpenPassword) {
            dialog->Clear();
            Interaction().ExecDialog(*dialog);
            typed = dialog->Password();
        }
        if (!test.CheckEditPassword(typed)) {
            ShowPlainError(QStringLiteral("Wrong password!"));
            CloseTest();
            TestLoading = false;
            return;
        }
    }
    TestLoading = false;
    if (TQZStran *first = test.Page(0))
        first->Activate();
    m_surface->PageChanged();
    Saved = true;
    RefreshExplorer();
}

void TOrodja::Save()
{
    if (!EditorState.CurrentTest)
        return;
    if (EditorState.FileName != UntitledFileName())
        WriteFile();
    else
        SaveAs();
}

void TOrodja::SaveAs()
{
    if (!EditorState.CurrentTest)
        return;
    const QString name =
        Interaction().SaveFileName(m_surface, QStringLiteral("Save As"), TestFileFilter(),
                                   QStringLiteral("cvl"), EditorState.FileName);
    if (name.isEmpty())
        return;
    EditorState.SetFileName(name);
    WriteFile();
}

void TOrodja::WriteFile()
{
    Saved = true;
    try {
        EditorState.CurrentTest->SaveTestFile(EditorState.FileName);
    } catch (const TQZFileError &error) {
        Saved = false;
        ShowErrorMessage(QStringLiteral("Saving error: ") + EditorState.FileName +
                         QStringLiteral("\n") + error.Cause());
    }
    m_surface->UpdateCaption();
    RefreshExplorer();
}

void TOrodja::SaveWithPassword()
{
    if (!EditorState.CurrentTest)
        return;
    TSavePassword *dialog = Dialogs().SavePassword;
    if (!dialog)
        return;
    for (;;) {
        dialog->Clear();
        if (Interaction().ExecDialog(*dialog) != QDialog::Accepted)
            return;
        if (dialog->Password() == dialog->Retyped())
            break;
        ShowPlainError(QStringLiteral("Passwords do not match! Try again."));
    }
    EditorState.CurrentTest->SetEditPassword(dialog->Password());
    SaveAs();
}

void TOrodja::CloseAndSave()
{
    if (!EditorState.CurrentTest)
        return;
    Save();
    if (Saved)
        CloseTest();
}

void TOrodja::CloseWithoutSaving()
{
    if (!EditorState.CurrentTest)
        return;
    if (!Saved && !ConfirmYesNo(QStringLiteral("Close without saving?")))
        return;
    CloseTest();
}

void TOrodja::CloseTest()
{
    EditorState.CurrentPage = nullptr;
    EditorState.CurrentTest.reset();
    Saved = true;
    SetNoTestState();
    m_surface->SetPageColor(WindowColor);
    m_surface->UpdateCaption();
    RefreshExplorer();
}

void TOrodja::PrintSetup()
{
    QPageSetupDialog dialog(&CurrentPrinter(), m_surface);
    Interaction().ExecDialog(dialog);
}

void TOrodja::Print()
{
    if (!EditorState.CurrentTest || !ConfirmYesNo(QStringLiteral("Print the current page?")))
        return;
    QPrinter &printer = CurrentPrinter();
    // Without a printer the dialog still offers printing to a PDF file.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty())
        printer.setOutputFileName(QDir::home().filePath(QStringLiteral("page.pdf")));
    QPrintDialog dialog(&printer, m_surface);
    if (Interaction().ExecDialog(dialog) != QDialog::Accepted)
        return;
    const QPixmap image = m_surface->grab();
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowErrorMessage(QStringLiteral("Printing error: ") + printer.printerName() +
                         printer.outputFileName());
        return;
    }
    // The page image as large as the sheet allows, keeping its proportions.
    const QRect sheet = painter.viewport();
    QSize size = image.size();
    size.scale(sheet.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(sheet.topLeft(), size), image);
    painter.end();
}

void TOrodja::Exit() { m_surface->close(); }

void TOrodja::TestProperties()
{
    TNalogaLastnosti *dialog = Dialogs().Naloga;
    if (!EditorState.CurrentTest || !dialog)
        return;
    TTestRecord &record = EditorState.CurrentTest->TestRecord();
    dialog->Load(record);
    if (Interaction().ExecDialog(*dialog) == QDialog::Accepted)
        record = dialog->Store();
    m_surface->UpdateCaption();
}

void TOrodja::Run()
{
    if (!EditorState.CurrentTest)
        return;
    const QString folder = QCoreApplication::applicationDirPath();
    if (!Saved && ConfirmYesNo(QStringLiteral("You must save the project before testing.\n"
                                              "Save and run the test?")))
        Save();
    if (!Saved)
        return;
    // The player takes the file name as one argument, blanks and all.
    const QString player = QDir(folder).filePath(QStringLiteral("corvview"));
    if (!Interaction().StartProgram(player, {EditorState.FileName}, folder))
        ShowErrorMessage(QStringLiteral("The player could not be started: ") + player);
}

void TOrodja::About()
{
    if (TAbout *dialog = Dialogs().About)
        Interaction().ExecDialog(*dialog);
}

void TOrodja::TestExplorer()
{
    if (QWidget *explorer = Dialogs().Explorer) {
        explorer->show();
        explorer->raise();
        explorer->activateWindow();
    }
}

void TOrodja::NewPageFromTemplate()
{
    if (QDialog *wizard = Dialogs().Wizard)
        Interaction().ExecDialog(*wizard);
}

void TOrodja::RefreshExplorer()
{
    // The test explorer refreshes its page list whenever it is shown or
    // becomes active; an explorer on screen is told here.
    if (QWidget *explorer = Dialogs().Explorer; explorer && explorer->isVisible())
        QMetaObject::invokeMethod(explorer, "Refresh", Qt::DirectConnection);
}
