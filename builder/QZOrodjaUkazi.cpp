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
#include "QZResultsWindow.h"
#include "QZSavePassword.h"
#include "QZStream.h"
#include "QZUndoCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <cstring>

namespace CorvBuilder {

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

TBuilderDocument &TOrodja::Doc() const { return m_surface->Document(); }

void TOrodja::New()
{
    if (Doc().HasTest()) {
        ShowWarning(AlreadyOpen);
        return;
    }
    auto test = std::make_unique<TQZNaloga>(m_surface, &WidgetObjectFactory());
    test->TestRecord() = NewTestRecord();
    // The first page is part of the new test, not an edit of it.
    Doc().SetTest(std::move(test), UntitledFileName(), true);
    Doc().Test()->AddPage(MakePage(NewPageName(true), QLatin1String(ForwardTargetName)));
    Doc().GoToPage(0);
    Doc().NotifyPagesChanged();
}

void TOrodja::Open()
{
    if (Doc().HasTest()) {
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
    if (Doc().HasTest())
        return;
    Doc().SetTest(std::make_unique<TQZNaloga>(m_surface, &WidgetObjectFactory()), fileName, false);
    bool opened = false;
    try {
        Doc().Test()->LoadTestFile(fileName);
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

    TQZNaloga &test = *Doc().Test();
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
    Doc().GoToPage(0);
    Doc().NotifyPagesChanged();
    Doc().MarkSaved();
}

void TOrodja::Save()
{
    if (!Doc().HasTest())
        return;
    if (Doc().FileName() != UntitledFileName())
        WriteFile();
    else
        SaveAs();
}

void TOrodja::SaveAs()
{
    if (!Doc().HasTest())
        return;
    const QString name =
        Interaction().SaveFileName(m_surface, QStringLiteral("Save As"), TestFileFilter(),
                                   QStringLiteral("cvl"), Doc().FileName());
    if (name.isEmpty())
        return;
    Doc().SetFileName(name);
    WriteFile();
}

void TOrodja::WriteFile()
{
    m_surface->CommitTyping();
    try {
        Doc().Test()->SaveTestFile(Doc().FileName());
        Doc().MarkSaved();
    } catch (const TQZFileError &error) {
        ShowErrorMessage(QStringLiteral("Saving error: ") + Doc().FileName() +
                         QStringLiteral("\n") + error.Cause());
    }
    m_surface->UpdateCaption();
}

void TOrodja::SaveWithPassword()
{
    if (!Doc().HasTest())
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
    TQZNaloga &test = *Doc().Test();
    const TTestRecord before = test.TestRecord();
    test.SetEditPassword(dialog->Password());
    if (std::memcmp(&before, &test.TestRecord(), sizeof before) != 0)
        Doc().Push(new TChangeTest(Doc(), QStringLiteral("Password"), before, test.TestRecord()));
    SaveAs();
}

void TOrodja::CloseAndSave()
{
    if (!Doc().HasTest())
        return;
    Save();
    if (!Doc().IsModified())
        CloseTest();
}

void TOrodja::CloseWithoutSaving()
{
    if (!Doc().HasTest())
        return;
    m_surface->CommitTyping();
    if (Doc().IsModified() && !ConfirmYesNo(QStringLiteral("Close without saving?")))
        return;
    CloseTest();
}

void TOrodja::CloseTest()
{
    Doc().CloseTest();
    m_surface->SetPageColor(WindowColor);
}

void TOrodja::PrintSetup()
{
    QPageSetupDialog dialog(&CurrentPrinter(), m_surface);
    Interaction().ExecDialog(dialog);
}

void TOrodja::Print()
{
    if (!Doc().HasTest() || !ConfirmYesNo(QStringLiteral("Print the current page?")))
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
    if (!Doc().HasTest() || !dialog)
        return;
    TQZNaloga &test = *Doc().Test();
    TTestRecord &record = test.TestRecord();
    const TTestRecord before = record;
    const TExtensionBlock settingsBefore = test.ExtensionBlock();
    dialog->Load(record);
    dialog->LoadSettings(test.Extensions());
    if (Interaction().ExecDialog(*dialog) != QDialog::Accepted)
        return;
    record = dialog->Store();
    test.SetExtensions(dialog->StoreSettings());
    // Accepting the dialog is an edit like any other, so that a changed title
    // or setting is not lost on closing.
    if (std::memcmp(&before, &record, sizeof before) != 0 ||
        test.ExtensionBlock() != settingsBefore)
        Doc().Push(new TChangeTest(Doc(), QStringLiteral("Test Properties"), before, record,
                                   settingsBefore, test.ExtensionBlock()));
    m_surface->UpdateCaption();
}

void TOrodja::Run()
{
    if (!Doc().HasTest())
        return;
    m_surface->CommitTyping();
    const QString folder = QCoreApplication::applicationDirPath();
    if (Doc().IsModified() &&
        ConfirmYesNo(QStringLiteral("You must save the project before testing.\n"
                                    "Save and run the test?")))
        Save();
    if (Doc().IsModified())
        return;
    // The player takes the file name as one argument, blanks and all.
    const QString player = QDir(folder).filePath(QStringLiteral("corvview"));
    if (!Interaction().StartProgram(player, {Doc().FileName()}, folder))
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

void TOrodja::Results()
{
    if (TResultsWindow *results = Dialogs().Results)
        results->Open();
}

void TOrodja::NewPageFromTemplate()
{
    if (QDialog *wizard = Dialogs().Wizard)
        Interaction().ExecDialog(*wizard);
}

void TOrodja::Undo() { Doc().Undo(); }

void TOrodja::Redo() { Doc().Redo(); }

} // namespace CorvBuilder
