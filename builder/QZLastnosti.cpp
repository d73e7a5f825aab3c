// What a right press on the surface opens: the property dialog of the
// object's type, or the page's properties. An accepted dialog's record is
// applied to the object as one edit and, for the types that have one,
// becomes the type's default record.
#include "QZBuilder.h"

#include "QZBesediloLastnosti.h"
#include "QZControls.h"
#include "QZDaNeLastnosti.h"
#include "QZDialogs.h"
#include "QZGlavnoOkno.h"
#include "QZGumbLastnosti.h"
#include "QZInteraction.h"
#include "QZIzbireLastnosti.h"
#include "QZMedia.h"
#include "QZMediaLastnosti.h"
#include "QZMemo.h"
#include "QZMemoLastnosti.h"
#include "QZOle.h"
#include "QZOleLastnosti.h"
#include "QZPanelBesediloLastnosti.h"
#include "QZQuestions.h"
#include "QZSlika.h"
#include "QZSlikaLastnosti.h"
#include "QZStranLastnosti.h"
#include "QZTexts.h"
#include "QZUndoCommands.h"
#include "QZVnosnoOknoLastnosti.h"

#include <cstring>
#include <optional>

namespace CorvBuilder {

namespace {

template<typename Record> std::optional<Record> Stored(std::optional<Record> record)
{
    return record;
}

template<typename Record> std::optional<Record> Stored(Record record) { return record; }

QStringList PageNamesOfTest(const TBuilderDocument &document)
{
    QStringList names;
    if (const TQZNaloga *test = document.Test())
        for (int i = 0; i < test->PageCount(); ++i)
            names << test->Page(i)->PageName();
    return names;
}

// Load, show, and on OK store: the record to apply, or nothing when the
// dialog was cancelled or its fields did not make a record.
template<typename Object, typename Dialog> auto EditedRecord(Dialog *dialog, Object &object)
    -> decltype(Stored(dialog->Store()))
{
    dialog->Load(object.Data());
    if (Interaction().ExecDialog(*dialog) != QDialog::Accepted)
        return std::nullopt;
    return Stored(dialog->Store());
}

// The common case: apply the record, and take it as the type's default.
template<typename Object, typename Dialog> bool Edit(Dialog *dialog, TQZControl &control)
{
    auto *object = dynamic_cast<Object *>(&control);
    if (!dialog || !object)
        return false;
    const auto record = EditedRecord(dialog, *object);
    if (!record)
        return false;
    object->ApplyRecord(*record);
    return true;
}

// The input box's record and its settings, both taken on OK.
bool EditInputBox(TVnosnoOknoLastnosti *dialog, TQZControl &control)
{
    auto *box = dynamic_cast<TQZVnosnoOkno *>(&control);
    if (!dialog || !box)
        return false;
    dialog->Load(box->Data(), box->Extra());
    if (Interaction().ExecDialog(*dialog) != QDialog::Accepted)
        return false;
    const auto record = dialog->Store();
    if (!record)
        return false;
    box->SetExtra(dialog->Extra());
    box->ApplyRecord(*record);
    return true;
}

bool EditPicture(TQZControl &control, QWidget *surface)
{
    auto *picture = dynamic_cast<TQZSlika *>(&control);
    TSlikaLastnosti *dialog = Dialogs().Slika;
    if (!dialog || !picture)
        return false;
    const auto record = EditedRecord(dialog, *picture);
    if (!record)
        return false;
    if (!dialog->ChosenFile().isEmpty()) {
        QString error;
        if (!picture->LoadPictureFile(dialog->ChosenFile(), &error)) {
            ShowErrorMessage(error);
            return false;
        }
    }
    picture->ApplyRecord(*record);
    surface->update();
    return true;
}

} // namespace

void TBuilder::WireDialogs()
{
    TGlavnoOkno *surface = m_mainWindow.get();
    surface->ObjectProperties = [surface](TQZControl &object) {
        const TBuilderDialogs &dialogs = Dialogs();
        TBuilderDocument &document = surface->Document();
        TQZStran *page = document.CurrentPage();
        const qint32 tag = object.Tag();
        const int type = object.ObjectTypeTag();
        TObjectSnapshot before = TObjectSnapshot::Of(object);
        // The dialog's result as one edit, when it changed the object.
        const auto push = [&](const QString &edit) {
            const TQZControl *changed = page ? page->FindObject(tag) : nullptr;
            if (!changed)
                return;
            TObjectSnapshot after = TObjectSnapshot::Of(*changed);
            if (!(after == before))
                document.Push(new TChangeObject(document, edit, page, tag, std::move(before),
                                                std::move(after)));
        };
        bool applied = false;
        switch (object.ObjectTypeTag()) {
        case ObjIzbire: applied = Edit<TQZIzbire>(dialogs.Izbire, object); break;
        case ObjVnosnoOkno: applied = EditInputBox(dialogs.VnosnoOkno, object); break;
        case ObjDaNe: applied = Edit<TQZDaNe>(dialogs.DaNe, object); break;
        case ObjBesedilo: applied = Edit<TQZBesedilo>(dialogs.Besedilo, object); break;
        case ObjPanelBesedilo:
            applied = Edit<TQZPanelBesedilo>(dialogs.PanelBesedilo, object);
            break;
        case ObjMemo:
            // However the editor is closed, its text and colour go back.
            if (auto *editor = qobject_cast<TMemoLastnosti *>(dialogs.Memo)) {
                if (auto *memo = dynamic_cast<TQZMemo *>(&object)) {
                    EditRichText(*editor, *memo);
                    applied = true;
                }
            }
            break;
        case ObjSlika:
            EditPicture(object, surface);
            push(ObjectKindName(type) + QStringLiteral(" Properties"));
            return;
        case ObjMedia:
            Edit<TQZMedia>(dialogs.Media, object);
            push(ObjectKindName(type) + QStringLiteral(" Properties"));
            return;
        case ObjOle:
            applied = Edit<TQZOle>(dialogs.Ole, object);
            surface->update();
            break;
        case ObjGumb:
            if (dialogs.Gumb)
                dialogs.Gumb->SetPageNames(PageNamesOfTest(document));
            applied = Edit<TQZGumb>(dialogs.Gumb, object);
            break;
        default: return;
        }
        push(type == ObjMemo ? QStringLiteral("Edit Rich Text")
                             : ObjectKindName(type) + QStringLiteral(" Properties"));
        if (applied)
            EditorState.TypeDefaults.Take(type, object.Record());
    };

    surface->PageProperties = [surface] {
        TStranLastnosti *dialog = Dialogs().Stran;
        TBuilderDocument &document = surface->Document();
        TQZStran *page = document.CurrentPage();
        if (!dialog || !page)
            return;
        dialog->SetPageNames(PageNamesOfTest(document));
        const TPageRecord before = page->PageRecord();
        dialog->Load(before);
        if (Interaction().ExecDialog(*dialog) != QDialog::Accepted)
            return;
        page->SetPageRecord(dialog->Store());
        if (std::memcmp(&before, &page->PageRecord(), sizeof before) != 0)
            document.Push(new TChangePage(document, page, before, page->PageRecord()));
        surface->UpdateCaption();
    };
}

} // namespace CorvBuilder
