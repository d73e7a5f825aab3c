#include "QZEditorState.h"

#include "QZRecordFields.h"

#include <QHash>
#include <QPixmap>

#include <cstring>

static void InitBuilderResources() { Q_INIT_RESOURCE(builder); }

namespace CorvBuilder {

TEditorState EditorState;

void TTypeDefaults::Reset()
{
    for (int tag = 0; tag < int(m_records.size()); ++tag)
        m_records[size_t(tag)] = tag == ObjSlika || tag == ObjMedia || tag == ObjPage
                                     ? QByteArray()
                                     : NewObjectRecord(tag);
}

bool TTypeDefaults::Has(int typeTag) const
{
    return typeTag >= 0 && typeTag < int(m_records.size()) && !m_records[size_t(typeTag)].isEmpty();
}

QByteArray TTypeDefaults::Record(int typeTag) const
{
    return Has(typeTag) ? m_records[size_t(typeTag)] : QByteArray();
}

void TTypeDefaults::Take(int typeTag, const QByteArray &record)
{
    if (Has(typeTag) && record.size() == RecordSize(typeTag))
        m_records[size_t(typeTag)] = record;
}

void TTypeDefaults::TakeSize(int typeTag, qint32 width, qint32 height)
{
    if (!Has(typeTag))
        return;
    QByteArray &record = m_records[size_t(typeTag)];
    const TGeometryOffsets at = GeometryOffsets(typeTag);
    TInt32 w;
    w = width;
    std::memcpy(record.data() + at.Width, &w, sizeof w);
    if (at.Height >= 0 && !IsQuestionType(typeTag)) {
        TInt32 h;
        h = height;
        std::memcpy(record.data() + at.Height, &h, sizeof h);
    }
}

void TEditorState::Reset()
{
    Dragging = false;
    GrabOffset = {};
    DeleteMode = false;
    OleInsertMode = false;
    CopyMode = false;
    CutMode = false;
    SnapToGrid = true;
    GridStep = 0;
    PageNameCounter = 2;
    TypeDefaults.Reset();
}

namespace {

QHash<int, QCursor> &Cursors()
{
    static QHash<int, QCursor> cursors;
    return cursors;
}

} // namespace

void LoadBuilderCursors()
{
    InitBuilderResources();
    // Resource name, slot and hot spot of each image.
    struct TImage
    {
        const char *Resource;
        TBuilderCursor Slot;
        int HotX, HotY;
    };
    static const TImage images[] = {
        {":/cursors/CSIZE.xpm", crObjectSize, 15, 15},
        {":/cursors/COLE.xpm", crOleInsert, 1, 1},
        {":/cursors/CBRISI.xpm", crDelete, 1, 1},
    };
    for (const TImage &image : images) {
        const QPixmap pixmap(QString::fromLatin1(image.Resource));
        Cursors().insert(image.Slot, pixmap.isNull() ? QCursor(Qt::SizeAllCursor)
                                                     : QCursor(pixmap, image.HotX, image.HotY));
    }
}

QCursor BuilderCursor(TBuilderCursor slot)
{
    if (!Cursors().contains(slot))
        LoadBuilderCursors();
    return Cursors().value(slot, QCursor(Qt::ArrowCursor));
}

} // namespace CorvBuilder
