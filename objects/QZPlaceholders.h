// The common part of objects shown as a labelled frame until they have a face
// of their own: the record and the payload exactly as read, so that a page
// saves them back byte for byte, and a raised frame at the record's geometry
// with a small centred label naming what it holds. Records, positions and
// sizes are in screen pixels.
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
