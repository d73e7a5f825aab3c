// Rich text, picture, multimedia and OLE objects, for now without their real
// faces: each keeps its record and its payload exactly as read, so that a page
// saves them back byte for byte, and shows a raised frame at its record's
// geometry with a small centred label naming what it holds. Records, positions
// and sizes are in screen pixels.
#pragma once

#include "QZControls.h"
#include "QZFaceParts.h"

class QLabel;

template<typename RecordType> class TQZPlaceholder : public TQZFaceControl<RecordType>
{
public:
    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    // The payload is kept as the page stream framed it.
    void LoadPayload(QByteArrayView payload) override { m_payload = payload.toByteArray(); }
    QByteArray Payload() const override { return m_payload; }

    TQZObjectFrame *Frame() const;
    QLabel *KindLabel() const { return m_kind; }

protected:
    TQZPlaceholder(int typeTag, QWidget *parent, const RecordType &record, quint32 color,
                   const QString &kind);

    QByteArray m_payload;
    QLabel *m_kind = nullptr;
};

// Rich text: the RTF payload. Saving stores the height the inner text box has
// now (the frame less a margin above and below) as SavedEditHeight.
class TQZMemo final : public TQZPlaceholder<TMemoRecord>
{
public:
    TQZMemo(QWidget *parent, const TMemoRecord &record);
    void SaveToStream(QByteArray &stream) const override;
    // Builder: takes a whole new record and its colour.
    void ApplyRecord(const TMemoRecord &record);
};

// Picture: the picture file image of kind PictureKind.
class TQZSlika final : public TQZPlaceholder<TSlikaRecord>
{
public:
    TQZSlika(QWidget *parent, const TSlikaRecord &record);
    void ApplyRecord(const TSlikaRecord &record) { m_record = record; }
};

// Multimedia: the clip named by MediaFile; opening and closing always succeed
// until the clip is played for real.
class TQZMedia final : public TQZPlaceholder<TMediaRecord>
{
public:
    TQZMedia(QWidget *parent, const TMediaRecord &record);
    bool OpenMedia() override { return true; }
    bool CloseMedia() override { return true; }
    // Builder: takes a whole new record and shows its clip's name.
    void ApplyRecord(const TMediaRecord &record);

private:
    QString KindText() const;
};

// OLE object: the object stream, present only while IsEmpty is 0.
class TQZOle final : public TQZPlaceholder<TOleRecord>
{
public:
    TQZOle(QWidget *parent, const TOleRecord &record);
    void SaveToStream(QByteArray &stream) const override;
    // Builder: takes a whole new record and its colour.
    void ApplyRecord(const TOleRecord &record);
};
