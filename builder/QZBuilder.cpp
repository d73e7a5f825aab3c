#include "QZBuilder.h"

#include "QZAbout.h"
#include "QZBesediloLastnosti.h"
#include "QZDaNeLastnosti.h"
#include "QZDialogs.h"
#include "QZGlavnoOkno.h"
#include "QZGumbLastnosti.h"
#include "QZInsertObjectDialog.h"
#include "QZIzbireLastnosti.h"
#include "QZMediaLastnosti.h"
#include "QZMemoLastnosti.h"
#include "QZNalogaLastnosti.h"
#include "QZOleLastnosti.h"
#include "QZOlePrivateFolder.h"
#include "QZOpenPassword.h"
#include "QZOrodja.h"
#include "QZPageExplorer.h"
#include "QZPageWizard.h"
#include "QZPanelBesediloLastnosti.h"
#include "QZResultsWindow.h"
#include "QZRezultat.h"
#include "QZSavePassword.h"
#include "QZSkoci.h"
#include "QZSlikaLastnosti.h"
#include "QZStranLastnosti.h"
#include "QZVnosnoOknoLastnosti.h"
#include "QZWindowPlacement.h"

#include <QCoreApplication>

namespace CorvBuilder {

TBuilder::TBuilder(QStringList arguments)
    : m_arguments(std::move(arguments))
{
}

// The dialogs are children of the main window and go with it.
TBuilder::~TBuilder()
{
    m_mainWindow.reset();
    Dialogs() = {};
}

void TBuilder::Create()
{
    QCoreApplication::setApplicationName(QStringLiteral("Corvella Builder"));
    // Copies of embedded files that runs which crashed or were killed left.
    RemoveStaleOleFolders();
    m_mainWindow = std::make_unique<TGlavnoOkno>();
    m_mainWindow->SetArguments(m_arguments);
    m_tools = new TOrodja(m_mainWindow.get());

    TGlavnoOkno *owner = m_mainWindow.get();
    TBuilderDialogs &dialogs = Dialogs();
    dialogs = {};
    dialogs.VnosnoOkno = new TVnosnoOknoLastnosti(owner);
    dialogs.Izbire = new TIzbireLastnosti(owner);
    dialogs.Memo = new TMemoLastnosti(owner);
    dialogs.Slika = new TSlikaLastnosti(owner);
    dialogs.Ole = new TOleLastnosti(owner);
    dialogs.DaNe = new TDaNeLastnosti(owner);
    dialogs.Besedilo = new TBesediloLastnosti(owner);
    dialogs.PanelBesedilo = new TPanelBesediloLastnosti(owner);
    dialogs.Media = new TMediaLastnosti(owner);
    dialogs.Skoci = new TSkoci(owner);
    dialogs.Gumb = new TGumbLastnosti(owner);
    dialogs.Stran = new TStranLastnosti(owner);
    dialogs.Naloga = new TNalogaLastnosti(owner);
    dialogs.Rezultat = new TRezultatDialog(owner);
    m_mainWindow->SetResultDialog(dialogs.Rezultat);
    dialogs.About = new TAbout(owner);
    dialogs.SavePassword = new TSavePassword(owner);
    dialogs.OpenPassword = new TOpenPassword(owner);
    TOrodja *tools = m_tools;
    TPageCommands pages;
    pages.PageProperties = [owner] {
        if (owner->PageProperties)
            owner->PageProperties();
        owner->UpdateCaption();
    };
    pages.DeletePage = [tools] {
        tools->DeletePage();
    };
    dialogs.Explorer = new TPageExplorer(owner, owner->Document(), pages);
    dialogs.Wizard = new TPageWizard(owner, owner->Document(), pages);
    dialogs.InsertObject = new TInsertObjectDialog(owner);
    dialogs.Results = new TResultsWindow(owner, &owner->Document());
    WireDialogs();
}

// The surface takes its size from the client area the window manager gives
// the maximised window, or from the whole screen where none runs; without
// one no activation may ever come to take it.
void TBuilder::Show() { m_mainWindow->FirstActivation(ShowMaximisedAndMeasure(*m_mainWindow)); }

} // namespace CorvBuilder
