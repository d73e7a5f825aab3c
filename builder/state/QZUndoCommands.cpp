#include "QZUndoCommands.h"

#include "QZControls.h"
#include "QZRecordFields.h"

#include <cstring>

namespace CorvBuilder {

namespace {

qint32 Int32At(const QByteArray &record, int offset)
{
    if (offset < 0 || offset + 4 > record.size())
        return 0;
    TInt32 value;
    std::memcpy(&value, record.constData() + offset, sizeof value);
    return value;
}

} // namespace

QRect ObjectGeometry(const TQZControl &object)
{
    const QByteArray record = object.Record();
    const TGeometryOffsets at = GeometryOffsets(object.ObjectTypeTag());
    qint32 height = Int32At(record, at.Height);
    if (at.Height < 0)
        if (const QWidget *face = FaceOf(&object))
            height = face->height();
    return QRect(Int32At(record, at.Left), Int32At(record, at.Top), Int32At(record, at.Width),
                 height);
}

QString ObjectKindName(int typeTag)
{
    switch (typeTag) {
    case ObjIzbire: return QStringLiteral("Choices");
    case ObjVnosnoOkno: return QStringLiteral("Input Box");
    case ObjDaNe: return QStringLiteral("Alternative");
    case ObjBesedilo: return QStringLiteral("Transparent Text");
    case ObjPanelBesedilo: return QStringLiteral("Text with Background");
    case ObjMemo: return QStringLiteral("Rich Text");
    case ObjSlika: return QStringLiteral("Graphics");
    case ObjMedia: return QStringLiteral("Multimedia");
    case ObjOle: return QStringLiteral("OLE Frame");
    case ObjGumb: return QStringLiteral("Button");
    default: return QStringLiteral("Object");
    }
}

TBuilderCommand::TBuilderCommand(TBuilderDocument &document, const QString &text,
                                 QUndoCommand *parent)
    : QUndoCommand(text, parent)
    , m_document(document)
{
}

bool TBuilderCommand::SkipFirstRedo() { return std::exchange(m_done, false); }

// --- moving and sizing

TMoveObject::TMoveObject(TBuilderDocument &document, TQZStran *page, qint32 tag, QRect before,
                         QRect after, int drag)
    : TBuilderCommand(document, before.size() == after.size() ? QStringLiteral("Move")
                                                              : QStringLiteral("Resize"))
    , m_page(page)
    , m_tag(tag)
    , m_before(before)
    , m_after(after)
    , m_drag(drag)
{
    // The surface moved the object already.
    SetDone();
}

void TMoveObject::undo() { Apply(m_before); }

void TMoveObject::redo()
{
    if (!SkipFirstRedo())
        Apply(m_after);
}

bool TMoveObject::mergeWith(const QUndoCommand *other)
{
    const auto *move = static_cast<const TMoveObject *>(other);
    if (move->m_drag != m_drag || move->m_page != m_page || move->m_tag != m_tag)
        return false;
    m_after = move->m_after;
    setText(m_before.size() == m_after.size() ? QStringLiteral("Move") : QStringLiteral("Resize"));
    return true;
}

void TMoveObject::Apply(QRect geometry)
{
    m_document.ShowPage(m_page);
    TQZControl *object = m_page->FindObject(m_tag);
    if (!object)
        return;
    object->MoveTo(geometry.left(), geometry.top());
    object->ResizeTo(geometry.width(), geometry.height());
    m_document.NotifyObjectChanged(object);
}

// --- changes in place

TChangeObject::TChangeObject(TBuilderDocument &document, const QString &text, TQZStran *page,
                             qint32 tag, TObjectSnapshot before, TObjectSnapshot after)
    : TBuilderCommand(document, text)
    , m_page(page)
    , m_tag(tag)
    , m_before(std::move(before))
    , m_after(std::move(after))
{
    SetDone();
}

void TChangeObject::undo()
{
    m_document.ShowPage(m_page);
    m_document.ReplaceObject(m_page, m_tag, m_before);
}

void TChangeObject::redo()
{
    if (SkipFirstRedo())
        return;
    m_document.ShowPage(m_page);
    m_document.ReplaceObject(m_page, m_tag, m_after);
}

// --- objects on and off their page

TAddRemoveObject::TAddRemoveObject(TBuilderDocument &document, const QString &text, TQZStran *page,
                                   qint32 tag, QUndoCommand *parent)
    : TBuilderCommand(document, text, parent)
    , m_page(page)
    , m_tag(tag)
{
}

void TAddRemoveObject::Add()
{
    if (!m_object)
        return;
    m_document.ShowPage(m_page);
    TQZControl *object = m_page->InsertObject(m_index, std::move(m_object));
    m_document.ObjectInserted(m_page, object);
}

void TAddRemoveObject::Remove()
{
    m_document.ShowPage(m_page);
    m_index = m_page->IndexOfObject(m_tag);
    m_object = m_page->TakeObject(m_tag);
    if (m_object)
        m_document.ObjectRemoved(m_page, m_object.get());
}

TInsertObject::TInsertObject(TBuilderDocument &document, const QString &text, TQZStran *page,
                             qint32 tag, QUndoCommand *parent)
    : TAddRemoveObject(document, text, page, tag, parent)
{
    SetDone();
}

void TInsertObject::redo()
{
    if (!SkipFirstRedo())
        Add();
}

// --- pages in and out of the test

TAddRemovePage::TAddRemovePage(TBuilderDocument &document, const QString &text, TQZStran *page)
    : TBuilderCommand(document, text)
    , m_page(page)
{
}

void TAddRemovePage::Add()
{
    TQZNaloga *test = m_document.Test();
    if (!m_owned || !test)
        return;
    test->InsertPageAt(m_index, std::move(m_owned));
    m_document.NotifyPagesChanged();
    m_document.ShowPage(m_page);
}

void TAddRemovePage::Remove(TQZStran *then)
{
    TQZNaloga *test = m_document.Test();
    if (!test)
        return;
    m_index = test->IndexOfPage(m_page);
    if (m_index < 0)
        return;
    m_document.PageLeaving(m_page);
    m_owned = test->TakePage(m_index);
    m_document.NotifyPagesChanged();
    const int shown = then ? test->IndexOfPage(then) : 0;
    m_document.GoToPage(shown >= 0 ? shown : 0);
}

TInsertPage::TInsertPage(TBuilderDocument &document, const QString &text, TQZStran *page,
                         TQZStran *before)
    : TAddRemovePage(document, text, page)
    , m_before(before)
{
    SetDone();
}

void TInsertPage::redo()
{
    if (SkipFirstRedo())
        m_document.NotifyPagesChanged();
    else
        Add();
}

TMovePage::TMovePage(TBuilderDocument &document, int from, int to)
    : TBuilderCommand(document, QStringLiteral("Move Page"))
    , m_from(from)
    , m_to(to)
{
}

void TMovePage::Move(int from, int to)
{
    TQZNaloga *test = m_document.Test();
    if (!test || !test->Page(from) || !test->Page(to))
        return;
    TQZStran *page = test->Page(from);
    TQZStran *shown = m_document.CurrentPage();
    auto taken = test->TakePage(from);
    test->InsertPageAt(to, std::move(taken));
    // The index of the page shown moved with the list.
    if (shown)
        test->SetCurrentIndex(test->IndexOfPage(shown));
    m_document.NotifyPagesChanged();
    m_document.ShowPage(page);
}

// --- records of pages and of the test

TChangePage::TChangePage(TBuilderDocument &document, TQZStran *page, const TPageRecord &before,
                         const TPageRecord &after)
    : TBuilderCommand(document, QStringLiteral("Page Properties"))
    , m_page(page)
    , m_before(before)
    , m_after(after)
{
    SetDone();
}

void TChangePage::redo()
{
    if (SkipFirstRedo())
        m_document.NotifyPagesChanged();
    else
        Apply(m_after);
}

void TChangePage::Apply(const TPageRecord &record)
{
    m_document.ShowPage(m_page);
    m_page->SetPageRecord(record);
    m_document.NotifyPagesChanged();
}

TChangeTest::TChangeTest(TBuilderDocument &document, const QString &text, const TTestRecord &before,
                         const TTestRecord &after)
    : TChangeTest(document, text, before, after, {}, {})
{
    if (const TQZNaloga *test = document.Test())
        m_settingsBefore = m_settingsAfter = test->ExtensionBlock();
}

TChangeTest::TChangeTest(TBuilderDocument &document, const QString &text, const TTestRecord &before,
                         const TTestRecord &after, const TExtensionBlock &settingsBefore,
                         const TExtensionBlock &settingsAfter)
    : TBuilderCommand(document, text)
    , m_before(before)
    , m_after(after)
    , m_settingsBefore(settingsBefore)
    , m_settingsAfter(settingsAfter)
{
    SetDone();
}

void TChangeTest::redo()
{
    if (SkipFirstRedo())
        m_document.NotifyTestChanged();
    else
        Apply(m_after, m_settingsAfter);
}

void TChangeTest::Apply(const TTestRecord &record, const TExtensionBlock &settings)
{
    if (TQZNaloga *test = m_document.Test()) {
        test->TestRecord() = record;
        test->SetExtensionBlock(settings);
    }
    m_document.NotifyTestChanged();
}

} // namespace CorvBuilder
