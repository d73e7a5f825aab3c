#include "QZPlaceholders.h"

#include <QLabel>

template<typename RecordType>
TQZPlaceholder<RecordType>::TQZPlaceholder(int typeTag, QWidget *parent, const RecordType &record,
                                           quint32 color, const QString &kind)
    : TQZFaceControl<RecordType>(typeTag, parent, record)
{
    auto *frame = new TQZObjectFrame(parent, color);
    this->SetFace(frame);
    m_kind = new QLabel(kind, frame);
    m_kind->setTextFormat(Qt::PlainText);
    m_kind->setAlignment(Qt::AlignCenter);
    m_kind->setWordWrap(true);
    // Presses on the label are presses on the frame.
    m_kind->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->setAccessibleName(kind);
    frame->SetInner(m_kind);
    const RecordType &r = this->m_record;
    frame->Place(FaceRect(r.Left, r.Top, r.Width, r.Height));
}

template<typename RecordType> TQZObjectFrame *TQZPlaceholder<RecordType>::Frame() const
{
    return static_cast<TQZObjectFrame *>(this->Face());
}

template<typename RecordType> void TQZPlaceholder<RecordType>::MoveTo(qint32 left, qint32 top)
{
    this->m_record.Left = left;
    this->m_record.Top = top;
    Frame()->move(FaceCoordinate(left), FaceCoordinate(top));
}

template<typename RecordType> void TQZPlaceholder<RecordType>::ResizeTo(qint32 width, qint32 height)
{
    this->m_record.Width = width;
    this->m_record.Height = height;
    Frame()->Place(FaceRect(Frame()->x(), Frame()->y(), width, height));
}

template class TQZPlaceholder<TMemoRecord>;
template class TQZPlaceholder<TSlikaRecord>;
template class TQZPlaceholder<TMediaRecord>;
template class TQZPlaceholder<TOleRecord>;
