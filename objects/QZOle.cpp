#include "QZOle.h"

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
