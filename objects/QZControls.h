// The page objects with widget faces. Each object keeps its record in screen
// pixels and owns its face: the main face control is a child of the parent
// window (the page surface, or the preview panel of the choices dialog) and
// carries the object's Tag; the object deletes it when it is destroyed.
#pragma once

#include "QZControl.h"
#include "QZNaloga.h"
#include "QZRecords.h"
#include "QZScaling.h"
#include "QZSurface.h"
#include "QZTypes.h"

#include <QPointer>
#include <QWidget>

// The widget objects' factory for pages on a TQZPageSurface.
TQZObjectFactory &WidgetObjectFactory();

// What every widget object has beyond TQZControl: its main face control, the
// control placed directly on the parent window that carries the object's Tag.
class TQZFaced
{
public:
    virtual ~TQZFaced() = default;
    virtual QWidget *Face() const = 0;
};

// The main face control of a page object; null for an object without one.
inline QWidget *FaceOf(const TQZControl *object)
{
    const auto *faced = dynamic_cast<const TQZFaced *>(object);
    return faced ? faced->Face() : nullptr;
}

// Common part of every widget object: the record, the parent window and the
// main face control.
template<typename RecordType, typename Base = TQZControl> class TQZFaceControl : public Base,
                                                                                 public TQZFaced
{
public:
    ~TQZFaceControl() override { delete m_face.data(); }

    QByteArray Record() const override { return RecordToBytes(m_record); }
    const RecordType &Data() const { return m_record; }
    QWidget *Face() const override { return m_face; }
    QWidget *ParentWindow() const { return m_parent; }

    void SaveToStream(QByteArray &stream) const override
    {
        WriteObjectToStream(stream, this->ObjectTypeTag(), Record(), this->Payload());
    }
    void SetShown(bool visible) override
    {
        if (m_face)
            m_face->setVisible(visible);
    }
    void SetObjectTag(qint32 tag) override
    {
        Base::SetObjectTag(tag);
        SetTag(m_face, tag);
    }

protected:
    TQZFaceControl(int typeTag, QWidget *parent, const RecordType &record)
        : Base(typeTag)
        , m_record(record)
        , m_parent(parent)
    {
    }

    // Makes `face` the main face control: a child of the parent window,
    // hidden while a test file is read, with its mouse events passed to the
    // surface.
    void SetFace(QWidget *face)
    {
        m_face = face;
        face->setParent(m_parent);
        face->setVisible(!TestLoading);
        RouteMouseEvents(face);
    }

    // Passes a face control's mouse events to the page surface, if the
    // parent window is one.
    void RouteMouseEvents(QWidget *control) const
    {
        if (auto *surface = qobject_cast<TQZPageSurface *>(m_parent))
            surface->RouteMouseEvents(control);
    }

    RecordType m_record;
    QWidget *m_parent;
    QPointer<QWidget> m_face;
};
