// What a right press on the surface opens: the property dialog of the
// object's type, or the page's properties; the accepted record is applied.
#include "QZBuilder.h"

#include "QZDialogs.h"
#include "QZGlavnoOkno.h"
#include "QZInteraction.h"
#include "QZStranLastnosti.h"

void TBuilder::WireDialogs()
{
    TGlavnoOkno *surface = m_mainWindow.get();
    surface->PageProperties = [surface] {
        TStranLastnosti *dialog = Dialogs().Stran;
        TQZNaloga *test = EditorState.CurrentTest.get();
        TQZStran *page = EditorState.CurrentPage;
        if (!dialog || !test || !page)
            return;
        QStringList names;
        for (int i = 0; i < test->PageCount(); ++i)
            names << test->Page(i)->PageName();
        dialog->SetPageNames(names);
        dialog->Load(page->PageRecord());
        if (Interaction().ExecDialog(*dialog) != QDialog::Accepted)
            return;
        page->SetPageRecord(dialog->Store());
        Saved = false;
        surface->UpdateCaption();
    };
}
