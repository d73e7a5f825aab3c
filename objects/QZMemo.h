// The rich text object: a scrollable formatted text box on a raised frame in
// the record's Color. Its payload is RTF, read and written through the RTF
// layer; records, positions and sizes are in screen pixels.
#pragma once

#include "QZControls.h"
#include "QZFaceParts.h"

class QTextEdit;

// Whether rich text boxes take typing: the builder sets it before it builds
// any object; the player leaves it false, so a student never edits.
extern bool RichTextEditable;

class TQZMemo final : public TQZFaceControl<TMemoRecord>
{
public:
    TQZMemo(QWidget *parent, const TMemoRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    void SetObjectTag(qint32 tag) override;

    // Reads the RTF into the box, then scales its font sizes by the box's
    // height against SavedEditHeight. A payload that is not RTF is shown as
    // plain text; an empty payload is an empty text.
    void LoadPayload(QByteArrayView payload) override;
    // The box's content as RTF.
    QByteArray Payload() const override;
    // Writes the record with SavedEditHeight set to the box's height now.
    void SaveToStream(QByteArray &stream) const override;

    // Builder: takes a whole new record; frame and box take its Color,
    // position and size stay.
    void ApplyRecord(const TMemoRecord &record);

    TQZObjectFrame *Frame() const;
    QTextEdit *Box() const { return m_box; }
    // The inner box's height in pixels: the frame less a margin above and
    // below.
    qint32 BoxHeight() const;

private:
    void ApplyColor();

    QTextEdit *m_box = nullptr;
};
