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
#include "QZRecordFields.h"
#include "QZSkoci.h"
#include "QZTexts.h"

#include <QAction>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMimeData>
#include <QToolButton>

#include <cstring>

namespace {

template<int N> void SetLatin(TShortString<N> &field, const char *text)
{
    field.SetBytes(QByteArray(text));
}

} // namespace

bool TOrodja::HasPage() const { return EditorState.CurrentTest && EditorState.CurrentPage; }

TQZControl *TOrodja::AddNewObject(int typeTag, const QByteArray &record)
{
    if (!HasPage())
        return nullptr;
    auto object = WidgetObjectFactory().CreateObject(typeTag, record, m_surface);
    if (!object)
        return nullptr;
    TQZControl *added = EditorState.CurrentPage->AddObject(std::move(object));
    added->SetShown(true);
    m_surface->PrepareObject(added);
    return added;
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
    const TQZNaloga &test = *EditorState.CurrentTest;
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
    auto page = EditorState.CurrentTest->NewPage();
    TPageRecord record =
        NewPageRecord(EncodeDefault(name), EncodeDefault(targets), EncodeDefault(targets));
    record.PageColor = WindowColor;
    page->SetPageRecord(record);
    return page;
}

void TOrodja::ShowCurrentPage()
{
    m_surface->PageChanged();
    RefreshExplorer();
}

void TOrodja::AddPage()
{
    if (!EditorState.CurrentTest)
        return;
    TQZNaloga &test = *EditorState.CurrentTest;
    const QString name = NewPageName(true);
    test.AddPage(MakePage(name, QLatin1String(ForwardTargetName)));
    test.GoToPage(test.PageCount() - 1);
    ShowCurrentPage();
}

void TOrodja::InsertPage()
{
    if (!HasPage())
        return;
    TQZNaloga &test = *EditorState.CurrentTest;
    const QString name = NewPageName(false);
    test.InsertPage(MakePage(name, QString()));
    // The new page took the current index; the page shown before is after it.
    if (TQZStran *previous = test.Page(test.CurrentIndex() + 1))
        previous->Deactivate();
    test.CurrentPage()->Activate();
    ShowCurrentPage();
}

void TOrodja::DeletePage()
{
    if (!HasPage())
        return;
    TQZNaloga &test = *EditorState.CurrentTest;
    if (test.PageCount() == 1) {
        Interaction().Message(TQZMessageKind::Information, QStringLiteral("Information"),
                              QStringLiteral("I can not delete the only page!"), TQZButton::Ok);
        return;
    }
    if (!ConfirmYesNo(QStringLiteral("Delete entire page?")))
        return;
    EditorState.CurrentPage = nullptr;
    test.DeletePage(test.CurrentIndex());
    test.SetCurrentIndex(0);
    test.Page(0)->Activate();
    ShowCurrentPage();
}

void TOrodja::PreviousPage()
{
    if (!HasPage())
        return;
    TQZNaloga &test = *EditorState.CurrentTest;
    test.GoToPage(test.CurrentIndex() - 1);
    ShowCurrentPage();
}

void TOrodja::NextPage()
{
    if (!HasPage())
        return;
    TQZNaloga &test = *EditorState.CurrentTest;
    test.GoToPage(test.CurrentIndex() + 1);
    ShowCurrentPage();
}

void TOrodja::MoveToPage()
{
    TSkoci *dialog = Dialogs().Skoci;
    if (!HasPage() || !dialog)
        return;
    TQZNaloga &test = *EditorState.CurrentTest;
    QStringList names;
    for (int i = 0; i < test.PageCount(); ++i)
        names << test.Page(i)->PageName();
    dialog->SetPages(names, test.CurrentIndex());
    if (Interaction().ExecDialog(*dialog) == QDialog::Accepted)
        test.GoToPage(dialog->SelectedIndex());
    ShowCurrentPage();
}

void TOrodja::Copy() { EditorState.CopyMode = true; }

void TOrodja::Paste()
{
    if (!HasPage())
        return;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const QString format = ClipboardFormatOfType(ObjIzbire);
    if (!data || !data->hasFormat(format))
        return;
    const QByteArray record = data->data(format);
    if (record.size() != RecordSize(ObjIzbire))
        return;
    AddNewObject(ObjIzbire, record);
}
