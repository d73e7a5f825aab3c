#include "QZPlaceholders.h"

#include "QZCodePage.h"

#include <QLabel>

namespace {
constexpr quint32 White = 0x00FFFFFF;
} // namespace

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

TQZMemo::TQZMemo(QWidget *parent, const TMemoRecord &record)
    : TQZPlaceholder(ObjMemo, parent, record, record.Color, QStringLiteral("Rich text"))
{
}

void TQZMemo::SaveToStream(QByteArray &stream) const
{
    TMemoRecord record = m_record;
    const qint64 inner = qint64(Frame()->height()) - 2 * qint64(Margin());
    record.SavedEditHeight = qint32(inner);
    WriteObjectToStream(stream, ObjMemo, RecordToBytes(record), m_payload);
}

void TQZMemo::ApplyRecord(const TMemoRecord &record)
{
    m_record = record;
    Frame()->SetColor(m_record.Color);
}

TQZSlika::TQZSlika(QWidget *parent, const TSlikaRecord &record)
    : TQZPlaceholder(ObjSlika, parent, record, White, QStringLiteral("Picture"))
{
    // A picture is painted on the page itself, beneath the framed objects.
    StackAsGraphic(Frame());
}

TQZMedia::TQZMedia(QWidget *parent, const TMediaRecord &record)
    : TQZPlaceholder(ObjMedia, parent, record, White, QString())
{
    m_kind->setText(KindText());
    Frame()->setAccessibleName(KindText());
}

QString TQZMedia::KindText() const
{
    return QStringLiteral("Multimedia: ") + DecodeDefault(m_record.MediaFile.Bytes());
}

void TQZMedia::ApplyRecord(const TMediaRecord &record)
{
    m_record = record;
    m_kind->setText(KindText());
    Frame()->setAccessibleName(KindText());
}

TQZOle::TQZOle(QWidget *parent, const TOleRecord &record)
    : TQZPlaceholder(ObjOle, parent, record, record.Color, QStringLiteral("OLE object"))
{
}

void TQZOle::SaveToStream(QByteArray &stream) const
{
    WriteObjectToStream(stream, ObjOle, Record(), m_payload, m_record.IsEmpty == 0);
}

void TQZOle::ApplyRecord(const TOleRecord &record)
{
    m_record = record;
    Frame()->SetColor(m_record.Color);
}
