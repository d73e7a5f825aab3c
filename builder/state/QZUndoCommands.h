// The builder's edits as undo commands. A command names the page it works on
// by pointer (a page taken out of the test lives in the command that took it,
// so the pointers of the pages on the stack stay valid) and an object by its
// tag on that page, which taking out and putting back keep. Undoing or redoing
// an edit shows the page it concerns. A command constructed after its edit
// was made ("done" commands) skips its first redo.
#pragma once

#include "QZBuilderDocument.h"
#include "QZRecords.h"

#include <QRect>
#include <QUndoCommand>

#include <memory>

class TQZControl;
class TQZStran;

namespace CorvBuilder {

class TBuilderCommand : public QUndoCommand
{
public:
    TBuilderCommand(TBuilderDocument &document, const QString &text,
                    QUndoCommand *parent = nullptr);

protected:
    // True on the first redo of a command whose edit was already made.
    bool SkipFirstRedo();
    void SetDone() { m_done = true; }

    TBuilderDocument &m_document;

private:
    bool m_done = false;
};

// One drag of an object: moved or sized. The mouse moves of one drag merge.
class TMoveObject final : public TBuilderCommand
{
public:
    // `drag` numbers the drag; moves of the same drag merge.
    TMoveObject(TBuilderDocument &document, TQZStran *page, qint32 tag, QRect before, QRect after,
                int drag);
    void undo() override;
    void redo() override;
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand *other) override;

private:
    void Apply(QRect geometry);

    TQZStran *m_page;
    qint32 m_tag;
    QRect m_before;
    QRect m_after;
    int m_drag;
};

// An object changed in place (a property dialog, OLE content, the rich text
// editor, typing): the object is made again from the snapshot.
class TChangeObject final : public TBuilderCommand
{
public:
    // Done: the object on the page already has `after`.
    TChangeObject(TBuilderDocument &document, const QString &text, TQZStran *page, qint32 tag,
                  TObjectSnapshot before, TObjectSnapshot after);
    void undo() override;
    void redo() override;

private:
    TQZStran *m_page;
    qint32 m_tag;
    TObjectSnapshot m_before;
    TObjectSnapshot m_after;
};

// Objects put on a page or taken off it. An object off its page lives here.
class TAddRemoveObject : public TBuilderCommand
{
public:
    TAddRemoveObject(TBuilderDocument &document, const QString &text, TQZStran *page, qint32 tag,
                     QUndoCommand *parent = nullptr);

protected:
    void Add();
    void Remove();

private:
    TQZStran *m_page;
    qint32 m_tag;
    int m_index = -1;
    std::unique_ptr<TQZControl> m_object;
};

// Done: the object was added (inserted or pasted).
class TInsertObject final : public TAddRemoveObject
{
public:
    TInsertObject(TBuilderDocument &document, const QString &text, TQZStran *page, qint32 tag,
                  QUndoCommand *parent = nullptr);
    void undo() override { Remove(); }
    void redo() override;
};

// Takes the object off its page when pushed.
class TDeleteObject final : public TAddRemoveObject
{
public:
    using TAddRemoveObject::TAddRemoveObject;
    void undo() override { Add(); }
    void redo() override { Remove(); }
};

// Pages put into the test or taken out. A page out of the test lives here.
class TAddRemovePage : public TBuilderCommand
{
public:
    TAddRemovePage(TBuilderDocument &document, const QString &text, TQZStran *page);

protected:
    void Add();
    // Shows `then` afterwards (the first page when null).
    void Remove(TQZStran *then);

    TQZStran *m_page;
    int m_index = -1;
    std::unique_ptr<TQZStran> m_owned;
};

// Done: the page is in the test and shown; `before` was shown before it came.
class TInsertPage final : public TAddRemovePage
{
public:
    TInsertPage(TBuilderDocument &document, const QString &text, TQZStran *page, TQZStran *before);
    void undo() override { Remove(m_before); }
    void redo() override;

private:
    TQZStran *m_before;
};

// Takes the page out when pushed; the first page is shown then.
class TDeletePage final : public TAddRemovePage
{
public:
    using TAddRemovePage::TAddRemovePage;
    void undo() override { Add(); }
    void redo() override { Remove(nullptr); }
};

// A page moved to another place in the list; it is shown.
class TMovePage final : public TBuilderCommand
{
public:
    TMovePage(TBuilderDocument &document, int from, int to);
    void undo() override { Move(m_to, m_from); }
    void redo() override { Move(m_from, m_to); }

private:
    void Move(int from, int to);

    int m_from;
    int m_to;
};

// A page's record: its name, targets and colour.
class TChangePage final : public TBuilderCommand
{
public:
    // Done: the page already has `after`.
    TChangePage(TBuilderDocument &document, TQZStran *page, const TPageRecord &before,
                const TPageRecord &after);
    void undo() override { Apply(m_before); }
    void redo() override;

private:
    void Apply(const TPageRecord &record);

    TQZStran *m_page;
    TPageRecord m_before;
    TPageRecord m_after;
};

// The test's record (title, comments, wrong-answer mode, edit password) and
// its settings, the extension block.
class TChangeTest final : public TBuilderCommand
{
public:
    // Done: the test already has `after`; its settings are not changed.
    TChangeTest(TBuilderDocument &document, const QString &text, const TTestRecord &before,
                const TTestRecord &after);
    // Done: the test already has `after` and `settingsAfter`.
    TChangeTest(TBuilderDocument &document, const QString &text, const TTestRecord &before,
                const TTestRecord &after, const TExtensionBlock &settingsBefore,
                const TExtensionBlock &settingsAfter);
    void undo() override { Apply(m_before, m_settingsBefore); }
    void redo() override;

private:
    void Apply(const TTestRecord &record, const TExtensionBlock &settings);

    TTestRecord m_before;
    TTestRecord m_after;
    TExtensionBlock m_settingsBefore;
    TExtensionBlock m_settingsAfter;
};

// The place and size of an object in pixels, as its record holds them.
QRect ObjectGeometry(const TQZControl &object);
// How the edits name an object type: "Choices", "Button" ...
QString ObjectKindName(int typeTag);

} // namespace CorvBuilder
