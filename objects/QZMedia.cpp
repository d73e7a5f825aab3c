#include "QZMedia.h"

#include "QZCodePage.h"

#include <QLabel>

namespace {
constexpr quint32 White = 0x00FFFFFF;
} // namespace

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
