// The builder's document: the open test, its file name, the page shown and
// the undo stack of the author's edits. Every edit goes onto the stack as a
// command; the windows follow the document's signals instead of refreshing
// each other. Whether the test is saved follows the stack's clean state.
#pragma once

#include "QZNaloga.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>

class TQZControl;
class TQZStran;

namespace CorvBuilder {

// The name of a test that was never saved.
inline QString UntitledFileName() { return QStringLiteral("Untitled.cvl"); }

// What an object is made of, enough to make it again: its type, its record
// in pixels and its payload. Commands keep these for the objects they change.
struct TObjectSnapshot
{
    int TypeTag = -1;
    QByteArray Record;
    QByteArray Payload;
    // The settings the test's extension block keeps for the object.
    QJsonObject Extra;

    static TObjectSnapshot Of(const TQZControl &object);
    bool operator==(const TObjectSnapshot &) const = default;
};

class TBuilderDocument : public QObject
{
    Q_OBJECT

public:
    explicit TBuilderDocument(QObject *parent = nullptr);
    // Drops the commands (which own objects with faces) before the test.
    ~TBuilderDocument() override;

    TQZNaloga *Test() const { return m_test.get(); }
    bool HasTest() const { return m_test != nullptr; }
    // The page whose objects are on the surface; null without a test or
    // while a test is being read.
    TQZStran *CurrentPage() const;
    QString FileName() const { return m_fileName; }
    // UntitledFileName() for a test never saved; the folder of any other is
    // where the test's clips are looked for.
    void SetFileName(const QString &name);
    QUndoStack &UndoStack() { return m_undo; }

    // True when the open test has changes that are not in its file: edits
    // since the last save (or undone past it), or a new test never saved.
    bool IsModified() const;

    // Takes a test just made or read, with an empty stack. A new test (never
    // saved) counts as modified until it is saved.
    void SetTest(std::unique_ptr<TQZNaloga> test, const QString &fileName, bool isNew);
    // Destroys the open test and its commands.
    void CloseTest();
    // The test was written to its file: the stack's state becomes the saved one.
    void MarkSaved();

    // Shows a page, hiding the one shown; not an edit.
    void GoToPage(int index);
    // The test went to a page by itself (a button played on the surface):
    // the document takes that page as the one shown.
    void TakeShownPageFromTest();
    // Shows the page an edit concerns, so that the author sees what changes.
    void ShowPage(TQZStran *page);

    // Pushes an edit onto the stack; pushing runs the command's redo.
    void Push(QUndoCommand *command);
    // Edits the surface holds but has not pushed yet (typing in a rich text
    // box) are pushed now; called before saving, closing, undo and redo.
    std::function<void()> CommitPendingEdits;
    void Undo();
    void Redo();

    // Hooks of the commands: an object put (back) on a page, taken off it, or
    // changed in place; the page list or a page's record changed; the test's
    // record changed.
    void ObjectInserted(TQZStran *page, TQZControl *object);
    void ObjectRemoved(TQZStran *page, TQZControl *object);
    void NotifyObjectChanged(TQZControl *object) { emit ObjectChanged(object); }
    void NotifyPagesChanged() { emit PagesChanged(); }
    void NotifyTestChanged() { emit TestRecordChanged(); }
    // A page is being taken out of the test: it is hidden first if shown.
    void PageLeaving(TQZStran *page);
    // Replaces the object with the tag on the page by one made from the
    // snapshot, in the same place of the stacking order and with the same
    // tag; returns the new object.
    TQZControl *ReplaceObject(TQZStran *page, qint32 tag, const TObjectSnapshot &snapshot);

signals:
    // A test was opened or closed.
    void TestOpenedOrClosed();
    void PagesChanged();
    void CurrentPageChanged();
    // An object was put on the page shown, or moved, sized or changed there.
    void ObjectChanged(TQZControl *object);
    void TestRecordChanged();
    void ModifiedChanged(bool modified);
    void FileNameChanged();

private:
    void EmitModified();

    std::unique_ptr<TQZNaloga> m_test;
    QString m_fileName = UntitledFileName();
    QUndoStack m_undo;
    // The page whose objects are shown (activated), tracked apart from the
    // test's current index, which a page taken out can leave behind.
    TQZStran *m_shown = nullptr;
    bool m_neverSaved = false;
    bool m_lastModified = false;
};

} // namespace CorvBuilder
