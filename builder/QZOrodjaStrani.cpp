// The tools window's commands on pages and objects: the insert commands, the
// mode toggles, adding, inserting, deleting and visiting pages, and the copy
// and paste of choices.
#include "QZOrodja.h"

#include "QZCodePage.h"
#include "QZControls.h"
#include "QZDialogs.h"
#include "QZFonts.h"
#include "QZGlavnoOkno.h"
#include "QZInteraction.h"
#include "QZObjectClipboard.h"
#include "QZRecordFields.h"
#include "QZSkoci.h"
#include "QZTexts.h"
#include "QZUndoCommands.h"

#include <QAction>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMimeData>
#include <QToolButton>

#include <cstring>

namespace CorvBuilder {

namespace {

template<int N> void SetLatin(TShortString<N> &field, const char *text)
{
    field.SetBytes(QByteArray(text));
}

} // namespace

bool TOrodja::HasPage() const { return Doc().CurrentPage() != nullptr; }

TQZControl *TOrodja::AddNewObject(int typeTag, const QByteArray &record)
{
    if (!HasPage())
        return nullptr;
    auto object = WidgetObjectFactory().CreateObject(typeTag, record, m_surface);
    if (!object)
        return nullptr;
    TQZControl *added = Doc().CurrentPage()->AddObject(std::move(object));
    PushInserted(added, typeTag);
    return added;
}

void TOrodja::PushInserted(TQZControl *object, int typeTag)
{
    TQZStran *page = Doc().CurrentPage();
    Doc().ObjectInserted(page, object);
    Doc().Push(new TInsertObject(Doc(), QStringLiteral("Insert ") + ObjectKindName(typeTag), page,
                                 object->Tag()));
}

void TOrodja::InsertChoices()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TIzbireRecord>();
    record.Left = 0;
    record.Top = 0;
    SetLatin(record.QuestionText, "Question");
    for (int i = 0; i < 6; ++i)
        record.Choices[i].SetBytes("Choice " + QByteArray::number(i + 1));
    record.ChoiceCount = 3;
    record.SingleAnswer = 1;
    std::memset(&record.CorrectSet, 0, sizeof record.CorrectSet);
    record.CorrectSet.Include(1);
    AddNewObject(ObjIzbire, RecordToBytes(record));
}

void TOrodja::InsertAlternative()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TDaNeRecord>();
    record.Left = 0;
    record.Top = 0;
    AddNewObject(ObjDaNe, RecordToBytes(record));
}

void TOrodja::InsertInputBox()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TVnosnoOknoRecord>();
    record.Left = 0;
    record.Top = 0;
    record.AnswerCount = 1;
    std::memset(&record.Answers, 0, sizeof record.Answers);
    AddNewObject(ObjVnosnoOkno, RecordToBytes(record));
}

void TOrodja::InsertRichText()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TMemoRecord>();
    record.Left = 0;
    record.Top = 0;
    AddNewObject(ObjMemo, RecordToBytes(record));
}

void TOrodja::InsertOleFrame()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TOleRecord>();
    record.Left = 0;
    record.Top = 0;
    record.IsEmpty = 1;
    AddNewObject(ObjOle, RecordToBytes(record));
}

void TOrodja::InsertTransparentText()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TBesediloRecord>();
    record.Left = 0;
    record.Top = 0;
    SetLatin(record.Text, "Text");
    TQZControl *added = AddNewObject(ObjBesedilo, RecordToBytes(record));
    if (!added)
        return;
    // The label starts just large enough for its word.
    const QFontMetrics metrics(FaceFont(record.Font));
    added->ResizeTo(metrics.horizontalAdvance(QStringLiteral("Text")), metrics.height());
}

void TOrodja::InsertTextWithBackground()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TPanelBesediloRecord>();
    record.Left = 0;
    record.Top = 0;
    record.TextPosition = 0;
    SetLatin(record.Text, "Text");
    AddNewObject(ObjPanelBesedilo, RecordToBytes(record));
}

void TOrodja::InsertButton()
{
    if (!HasPage())
        return;
    auto record = EditorState.TypeDefaults.Get<TGumbRecord>();
    record.Left = 0;
    record.Top = 0;
    SetLatin(record.Caption, "Button");
    record.ButtonKind = 3;
    record.TargetPage.SetBytes({});
    AddNewObject(ObjGumb, RecordToBytes(record));
}

void TOrodja::ToggleDelete()
{
    EditorState.DeleteMode = !EditorState.DeleteMode;
    m_buttons.value(QStringLiteral("Delete object"))->setChecked(EditorState.DeleteMode);
    m_items.value(QStringLiteral("Delete object"))->setChecked(EditorState.DeleteMode);
}

void TOrodja::ToggleOleInsert()
{
    EditorState.OleInsertMode = !EditorState.OleInsertMode;
    m_buttons.value(QStringLiteral("Insert OLE object in OLE frame"))
        ->setChecked(EditorState.OleInsertMode);
    m_items.value(QStringLiteral("Insert the Contents - the OLE Object"))
        ->setChecked(EditorState.OleInsertMode);
}

void TOrodja::ToggleStep()
{
    EditorState.SnapToGrid = !EditorState.SnapToGrid;
    m_items.value(QStringLiteral("Step"))->setChecked(EditorState.SnapToGrid);
}

QString TOrodja::NewPageName(bool mustBeNew)
{
    const TQZNaloga &test = *Doc().Test();
    if (mustBeNew && test.PageCount() == 0)
        return QStringLiteral("Page 1");
    QString name;
    do {
        name = QStringLiteral("Page %1").arg(EditorState.PageNameCounter);
        ++EditorState.PageNameCounter;
    } while (mustBeNew && test.PageExists(name));
    return name;
}

std::unique_ptr<TQZStran> TOrodja::MakePage(const QString &name, const QString &targets)
{
    auto page = Doc().Test()->NewPage();
    TPageRecord record =
        NewPageRecord(EncodeDefault(name), EncodeDefault(targets), EncodeDefault(targets));
    record.PageColor = WindowColor;
    page->SetPageRecord(record);
    return page;
}

void TOrodja::AddPage()
{
    if (!Doc().HasTest())
        return;
    TQZNaloga &test = *Doc().Test();
    TQZStran *before = Doc().CurrentPage();
    const QString name = NewPageName(true);
    auto made = MakePage(name, QLatin1String(ForwardTargetName));
    TQZStran *page = made.get();
    test.AddPage(std::move(made));
    Doc().GoToPage(test.PageCount() - 1);
    Doc().Push(new TInsertPage(Doc(), QStringLiteral("Add Page"), page, before));
}

void TOrodja::InsertPage()
{
    if (!HasPage())
        return;
    TQZNaloga &test = *Doc().Test();
    TQZStran *before = Doc().CurrentPage();
    const QString name = NewPageName(false);
    auto made = MakePage(name, QString());
    TQZStran *page = made.get();
    // The new page takes the place of the page shown, which moves after it.
    test.InsertPageAt(test.CurrentIndex(), std::move(made));
    Doc().GoToPage(test.IndexOfPage(page));
    Doc().Push(new TInsertPage(Doc(), QStringLiteral("Insert Page"), page, before));
}

void TOrodja::DeletePage()
{
    if (!HasPage())
        return;
    TQZNaloga &test = *Doc().Test();
    if (test.PageCount() == 1) {
        Interaction().Message(TQZMessageKind::Information, QStringLiteral("Information"),
                              QStringLiteral("I can not delete the only page!"), TQZButton::Ok);
        return;
    }
    if (!ConfirmYesNo(QStringLiteral("Delete entire page?")))
        return;
    Doc().Push(new TDeletePage(Doc(), QStringLiteral("Delete Page"), Doc().CurrentPage()));
}

void TOrodja::PreviousPage()
{
    if (!HasPage())
        return;
    Doc().GoToPage(Doc().Test()->CurrentIndex() - 1);
}

void TOrodja::NextPage()
{
    if (!HasPage())
        return;
    Doc().GoToPage(Doc().Test()->CurrentIndex() + 1);
}

void TOrodja::MoveToPage()
{
    TSkoci *dialog = Dialogs().Skoci;
    if (!HasPage() || !dialog)
        return;
    TQZNaloga &test = *Doc().Test();
    QStringList names;
    for (int i = 0; i < test.PageCount(); ++i)
        names << test.Page(i)->PageName();
    dialog->SetPages(names, test.CurrentIndex());
    if (Interaction().ExecDialog(*dialog) == QDialog::Accepted)
        Doc().GoToPage(dialog->SelectedIndex());
}

void TOrodja::Copy()
{
    if (const TQZControl *object = m_surface->PressedObject())
        CopyObjectToClipboard(*object);
    else if (HasPage())
        EditorState.CopyMode = true;
}

void TOrodja::Cut()
{
    TQZControl *object = m_surface->PressedObject();
    if (!object) {
        if (HasPage())
            EditorState.CutMode = true;
        return;
    }
    CopyObjectToClipboard(*object);
    Doc().Push(new TDeleteObject(Doc(), QStringLiteral("Cut"), Doc().CurrentPage(), object->Tag()));
}

// The objects pasted are one edit.
void TOrodja::Paste()
{
    if (!HasPage())
        return;
    auto objects = ObjectsFromClipboard(*Doc().Test());
    if (objects.empty())
        return;
    TQZStran *page = Doc().CurrentPage();
    auto *paste = new QUndoCommand(QStringLiteral("Paste"));
    for (auto &made : objects) {
        TQZControl *object = page->AddObject(std::move(made));
        KeepOffOthers(*object, *page, EditorState.GridStep);
        Doc().ObjectInserted(page, object);
        new TInsertObject(Doc(), QStringLiteral("Paste"), page, object->Tag(), paste);
    }
    Doc().Push(paste);
}

} // namespace CorvBuilder
