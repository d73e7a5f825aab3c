// The builder's editor state: one record for the whole run, shared by the
// design surface, the tools window and the dialogs.
#pragma once

#include "QZNaloga.h"
#include "QZScaling.h"

#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QString>

#include <array>
#include <memory>

namespace CorvBuilder {

// The record each insertable object type starts from, following the author's
// work: accepted property dialogs copy the whole record, mouse resizes the
// size. Pictures and clips have none.
class TTypeDefaults
{
public:
    // The initial records: the new-object records with the window font and
    // colour.
    void Reset();
    bool Has(int typeTag) const;
    // The record in pixels; empty for a type without one.
    QByteArray Record(int typeTag) const;
    template<typename RecordType> RecordType Get() const
    {
        return RecordFromBytes<RecordType>(Record(TypeTagOf<RecordType>()));
    }
    // Takes an object's whole record (types with a default only).
    void Take(int typeTag, const QByteArray &record);
    // Takes an object's size after a mouse resize: the width alone for the
    // three question types, width and height for the others with a default.
    void TakeSize(int typeTag, qint32 width, qint32 height);

private:
    std::array<QByteArray, 11> m_records;
};

// How the author is working, whatever test is open: the modes, the grid and
// the type defaults. The open test itself is the builder document's.
struct TEditorState
{
    bool Dragging = false;
    QPoint GrabOffset;
    bool DeleteMode = false;
    bool OleInsertMode = false;
    bool CopyMode = false;
    bool CutMode = false;
    bool SnapToGrid = true;
    // Pixels; fixed at the first activation of the surface.
    qint32 GridStep = 0;
    int PageNameCounter = 2;
    TTypeDefaults TypeDefaults;

    // Back to the state of a builder just started.
    void Reset();
};

extern TEditorState EditorState;

// The builder's own cursors, in slots 100 to 102 after LoadBuilderCursors.
enum TBuilderCursor { crObjectSize = 100, crOleInsert = 101, crDelete = 102 };
void LoadBuilderCursors();
QCursor BuilderCursor(TBuilderCursor slot);

} // namespace CorvBuilder
