#include "QZSlika.h"

#include "QZFaceParts.h"
#include "QZInteraction.h"
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
    // Shown some other way than by its page (a page drawn for printing): the
    // picture is decoded now, quietly.
    if (m_picture.IsNull() || !m_picture.Decode())
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

// While a test file is read the picture is only checked; it is decoded when
// its page is shown.
void TQZSlika::LoadPayload(QByteArrayView payload) { LoadSharedPayload(payload, {}); }

void TQZSlika::LoadSharedPayload(QByteArrayView payload, const QByteArray &owner)
{
    if (m_record.PictureKind > quint8(TPictureKind::Icon)) {
        m_unknownPayload = payload.toByteArray();
        return;
    }
    QString error;
    TQZPicture &picture = Image()->Picture();
    const TPictureKind kind = TPictureKind(m_record.PictureKind);
    if (!(TestLoading ? picture.LoadChecked(payload, kind, &error, owner)
                      : picture.Load(payload, kind, &error)))
        throw TQZFileError(QStringLiteral("Cannot read a picture: %1").arg(error));
    Image()->update();
}

// A shown picture is decoded, a hidden one gives its memory back. A picture
// that cannot be decoded is told once; its place stays empty.
void TQZSlika::SetShown(bool visible)
{
    TQZPicture &picture = Image()->Picture();
    if (!visible) {
        picture.Drop();
    } else if (!picture.IsNull() && !picture.Decode(&m_decodeError) && !m_told) {
        m_told = true;
        ShowPlainError(QStringLiteral("Cannot read a picture: %1").arg(m_decodeError));
    }
    TQZFaceControl::SetShown(visible);
}

QByteArray TQZSlika::Payload() const
{
    return Picture().IsNull() ? m_unknownPayload : Picture().Bytes();
}

QByteArray TQZSlika::Record() const
{
    // A picture that was loaded is saved under its own kind; a record whose
    // kind named no picture keeps that kind and its bytes.
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
    m_unknownPayload.clear();
    Image()->update();
    return true;
}
