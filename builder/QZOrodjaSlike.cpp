// The insert commands that go through a property dialog first: pictures and
// multimedia clips.
#include "QZOrodja.h"

#include "QZControls.h"
#include "QZDialogs.h"
#include "QZGlavnoOkno.h"
#include "QZInteraction.h"
#include "QZRecordFields.h"

#include "QZMediaLastnosti.h"
#include "QZSlika.h"
#include "QZSlikaLastnosti.h"

namespace CorvBuilder {

void TOrodja::InsertGraphics()
{
    TSlikaLastnosti *dialog = Dialogs().Slika;
    if (!HasPage() || !dialog)
        return;
    dialog->Load(RecordFromBytes<TSlikaRecord>(NewObjectRecord(ObjSlika)));
    if (Interaction().ExecDialog(*dialog) != QDialog::Accepted || dialog->ChosenFile().isEmpty())
        return;
    const TSlikaRecord record = dialog->Store();
    auto object = std::make_unique<TQZSlika>(m_surface, record);
    QString error;
    if (!object->LoadPictureFile(dialog->ChosenFile(), &error)) {
        ShowErrorMessage(error);
        return;
    }
    object->ApplyRecord(record);
    PushInserted(Doc().CurrentPage()->AddObject(std::move(object)), ObjSlika);
}

void TOrodja::InsertMultimedia()
{
    TMediaLastnosti *dialog = Dialogs().Media;
    if (!HasPage() || !dialog)
        return;
    dialog->Load(RecordFromBytes<TMediaRecord>(NewObjectRecord(ObjMedia)));
    if (Interaction().ExecDialog(*dialog) != QDialog::Accepted)
        return;
    AddNewObject(ObjMedia, RecordToBytes(dialog->Store()));
}

} // namespace CorvBuilder
