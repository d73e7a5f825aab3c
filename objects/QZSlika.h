// The picture object: a bitmap, metafile or icon painted straight onto the
// page surface, beneath every framed object. Its payload is kept byte for
// byte as it was loaded and written back unchanged, also when the record's
// PictureKind names no kind this program shows.
#pragma once

#include "QZControls.h"
#include "QZPicture.h"

// The image control of a picture object: the picture scaled to the control
// (stretch) or at its own size from the top-left corner, clipped.
class TQZSlikaImage final : public QWidget
{
    Q_OBJECT

public:
    explicit TQZSlikaImage(QWidget *parent);

    const TQZPicture &Picture() const { return m_picture; }
    TQZPicture &Picture() { return m_picture; }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TQZPicture m_picture;
    bool m_stretch = true;
};

class TQZSlika final : public TQZFaceControl<TSlikaRecord>
{
public:
    TQZSlika(QWidget *parent, const TSlikaRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    void SetShown(bool visible) override;
    // Takes the payload as a picture of the record's PictureKind; a payload
    // that is not one raises TQZFileError. Read from a test file it is
    // checked, and decoded when first shown. Under a PictureKind other than
    // 0, 1 and 2 no picture is loaded and the bytes are only kept.
    void LoadPayload(QByteArrayView payload) override;
    // Shares the bytes of a test file read whole rather than copying them.
    void LoadSharedPayload(QByteArrayView payload, const QByteArray &owner) override;
    // The bytes of the payload exactly as loaded.
    QByteArray Payload() const override;
    QByteArray Record() const override;

    // The builder's route from the property dialog: the record replaces the
    // object's and Stretch is applied again. The picture keeps its own kind.
    void ApplyRecord(const TSlikaRecord &record);
    // Loads a picture file (kind by its extension) in place of the current
    // picture or kept bytes; false with `error` set when the file cannot be
    // read.
    bool LoadPictureFile(const QString &fileName, QString *error = nullptr);

    TQZSlikaImage *Image() const { return static_cast<TQZSlikaImage *>(Face()); }
    const TQZPicture &Picture() const { return Image()->Picture(); }

private:
    // The payload of a PictureKind that names no picture, written back as
    // read.
    QByteArray m_unknownPayload;
    QString m_decodeError;
    bool m_told = false;
};
