#include "QZMemo.h"

#include <QLabel>

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
