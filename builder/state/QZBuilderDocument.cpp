#include "QZBuilderDocument.h"

#include "QZClipLookup.h"
#include "QZControls.h"

namespace CorvBuilder {

TObjectSnapshot TObjectSnapshot::Of(const TQZControl &object)
{
    return {object.ObjectTypeTag(), object.Record(), object.Payload(), object.Extra()};
}

TBuilderDocument::TBuilderDocument(QObject *parent)
    : QObject(parent)
{
    connect(&m_undo, &QUndoStack::cleanChanged, this, &TBuilderDocument::EmitModified);
    connect(&m_undo, &QUndoStack::indexChanged, this, &TBuilderDocument::EmitModified);
}

TBuilderDocument::~TBuilderDocument()
{
    m_undo.clear();
    m_shown = nullptr;
    m_test.reset();
}

TQZStran *TBuilderDocument::CurrentPage() const
{
    return m_test && !TestLoading ? m_test->CurrentPage() : nullptr;
}

void TBuilderDocument::SetFileName(const QString &name)
{
    m_fileName = name;
    SetTestFile(name == UntitledFileName() ? QString() : name);
    emit FileNameChanged();
}

bool TBuilderDocument::IsModified() const { return m_test && (m_neverSaved || !m_undo.isClean()); }

void TBuilderDocument::EmitModified()
{
    const bool modified = IsModified();
    if (modified == m_lastModified)
        return;
    m_lastModified = modified;
    emit ModifiedChanged(modified);
}

void TBuilderDocument::SetTest(std::unique_ptr<TQZNaloga> test, const QString &fileName, bool isNew)
{
    m_undo.clear();
    m_shown = nullptr;
    m_test = std::move(test);
    m_neverSaved = isNew;
    SetFileName(fileName);
    emit TestOpenedOrClosed();
    EmitModified();
}

void TBuilderDocument::CloseTest()
{
    m_undo.clear();
    m_shown = nullptr;
    m_test.reset();
    m_neverSaved = false;
    SetFileName(UntitledFileName());
    emit TestOpenedOrClosed();
    emit CurrentPageChanged();
    emit PagesChanged();
    EmitModified();
}

void TBuilderDocument::MarkSaved()
{
    m_neverSaved = false;
    m_undo.setClean();
    EmitModified();
}

void TBuilderDocument::GoToPage(int index)
{
    if (!m_test || !m_test->Page(index))
        return;
    TQZStran *target = m_test->Page(index);
    if (m_shown && m_shown != target && m_test->IndexOfPage(m_shown) >= 0)
        m_shown->Deactivate();
    m_test->SetCurrentIndex(index);
    if (m_shown != target)
        target->Activate();
    m_shown = target;
    emit CurrentPageChanged();
}

void TBuilderDocument::TakeShownPageFromTest()
{
    m_shown = m_test ? m_test->CurrentPage() : nullptr;
    emit CurrentPageChanged();
}

void TBuilderDocument::ShowPage(TQZStran *page)
{
    if (!m_test)
        return;
    const int index = m_test->IndexOfPage(page);
    if (index >= 0 && (page != m_shown || m_test->CurrentIndex() != index))
        GoToPage(index);
}

void TBuilderDocument::PageLeaving(TQZStran *page)
{
    if (page && page == m_shown) {
        page->Deactivate();
        m_shown = nullptr;
    }
}

void TBuilderDocument::Push(QUndoCommand *command)
{
    if (m_test)
        m_undo.push(command);
    else
        delete command;
}

void TBuilderDocument::Undo()
{
    if (CommitPendingEdits)
        CommitPendingEdits();
    m_undo.undo();
}

void TBuilderDocument::Redo()
{
    if (CommitPendingEdits)
        CommitPendingEdits();
    m_undo.redo();
}

void TBuilderDocument::ObjectInserted(TQZStran *page, TQZControl *object)
{
    const bool shown = page == m_shown;
    if (shown && object->ObjectTypeTag() == ObjMedia)
        object->OpenMedia();
    object->SetShown(shown);
    // The face takes the object's place in the stacking order.
    if (QWidget *face = FaceOf(object)) {
        const int index = page->IndexOfObject(object->Tag());
        QWidget *above = nullptr;
        for (int i = index + 1; i < page->ObjectCount() && !above; ++i)
            above = FaceOf(page->Objects()[size_t(i)].get());
        if (above)
            face->stackUnder(above);
        else
            face->raise();
    }
    if (shown)
        emit ObjectChanged(object);
}

void TBuilderDocument::ObjectRemoved(TQZStran *page, TQZControl *object)
{
    object->SetShown(false);
    if (page == m_shown && object->ObjectTypeTag() == ObjMedia)
        object->CloseMedia();
}

TQZControl *TBuilderDocument::ReplaceObject(TQZStran *page, qint32 tag,
                                            const TObjectSnapshot &snapshot)
{
    const int index = page->IndexOfObject(tag);
    if (index < 0)
        return nullptr;
    auto made = page->MakeObject(snapshot.TypeTag, snapshot.Record, snapshot.Payload);
    if (!made)
        return nullptr;
    made->SetObjectTag(tag);
    made->SetExtra(snapshot.Extra);
    auto old = page->TakeObject(tag);
    ObjectRemoved(page, old.get());
    old.reset();
    TQZControl *object = page->InsertObject(index, std::move(made));
    ObjectInserted(page, object);
    return object;
}

} // namespace CorvBuilder
