#include "QZSlika.h"

#include "QZFaceParts.h"
#include "QZStream.h"

#include <QPaintEvent>
#include <QPainter>

TQZSlikaImage::TQZSlikaImage(QWidget *parent)
    : QWidget(parent)
{
    // No background of its own: the page shows wherever the picture leaves
    // room.
    setAutoFillBackground(false);
    setAccessibleName(QStringLiteral("Picture"));
}

void TQZSlikaImage::SetStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void TQZSlikaImage::paintEvent(QPaintEvent *)
{
    if (m_picture.IsNull())
        return;
    QPainter painter(this);
    painter.setClipRect(rect());
    const QRect target = m_stretch ? rect() : QRect(QPoint(0, 0), m_picture.NaturalSize());
    m_picture.Draw(painter, target);
}

TQZSlika::TQZSlika(QWidget *parent, const TSlikaRecord &record)
    : TQZFaceControl(ObjSlika, parent, record)
{
    auto *image = new TQZSlikaImage(parent);
    SetFace(image);
    StackAsGraphic(image);
    image->SetStretch(m_record.Stretch != 0);
    image->setGeometry(FaceRect(m_record.Left, m_record.Top, m_record.Width, m_record.Height));
}

void TQZSlika::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Image()->move(FaceCoordinate(left), FaceCoordinate(top));
}

void TQZSlika::ResizeTo(qint32 width, qint32 height)
{
    m_record.Width = width;
    m_record.Height = height;
    Image()->resize(FaceExtent(width), FaceExtent(height));
}

void TQZSlika::LoadPayload(QByteArrayView payload)
{
    QString error;
    if (!Image()->Picture().Load(payload, TPictureKind(m_record.PictureKind), &error))
        throw TQZFileError(QStringLiteral("Cannot read a picture: %1").arg(error));
    Image()->update();
}

QByteArray TQZSlika::Payload() const { return Picture().Bytes(); }

QByteArray TQZSlika::Record() const
{
    // A picture that was loaded is saved under its own kind; a record whose
    // kind named no picture keeps that kind and an empty payload.
    TSlikaRecord record = m_record;
    if (!Picture().IsNull())
        record.PictureKind = quint8(Picture().Kind());
    return RecordToBytes(record);
}

void TQZSlika::ApplyRecord(const TSlikaRecord &record)
{
    m_record = record;
    if (!Picture().IsNull())
        m_record.PictureKind = quint8(Picture().Kind());
    Image()->SetStretch(m_record.Stretch != 0);
}

bool TQZSlika::LoadPictureFile(const QString &fileName, QString *error)
{
    if (!Image()->Picture().LoadFile(fileName, error))
        return false;
    m_record.PictureKind = quint8(Picture().Kind());
    Image()->update();
    return true;
}
