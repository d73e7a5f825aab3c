// The text and button objects: transparent text, text on a coloured frame
// (free, or docked along the top or bottom edge of the page) and the button
// that moves between pages. Records, positions and sizes are in screen pixels.
#pragma once

#include "QZControls.h"
#include "QZFaceParts.h"

class QLabel;
class QPushButton;

// Text drawn straight onto the page: a transparent word-wrapped label that
// lies beneath every framed object whatever the page order.
class TQZBesedilo final : public TQZFaceControl<TBesediloRecord>
{
public:
    TQZBesedilo(QWidget *parent, const TBesediloRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;

    // Builder: takes a whole new record and re-applies text, alignment and
    // font, after which the label fits itself to its text; the record then
    // holds the label's new position and size.
    void ApplyRecord(const TBesediloRecord &record);

    QLabel *Label() const;
    // Wraps the text at the label's current width and takes the height of
    // the wrapped lines and the width of the widest; a right-aligned label
    // keeps its right edge.
    void FitToText();

private:
    void ApplyText();
};

// Text on a raised frame filled with Color; the label is the frame's inner
// control; presses on the text are presses on the frame. TextPosition 1 or 2
// docks the frame along the top or bottom edge of the page across its full
// width, with the record's Height.
class TQZPanelBesedilo final : public TQZFaceControl<TPanelBesediloRecord>
{
public:
    TQZPanelBesedilo(QWidget *parent, const TPanelBesediloRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    void SetObjectTag(qint32 tag) override;

    // Builder: takes a whole new record, re-applies alignment, docking,
    // colour, font and text, then the record's size. A frame that stops being
    // docked goes back to the record's position. The record then holds the
    // frame's actual size (a docked frame's is the surface's full width).
    void ApplyRecord(const TPanelBesediloRecord &record);

    TQZObjectFrame *Frame() const;
    QLabel *Label() const { return m_label; }

private:
    void ApplyLook();

    QLabel *m_label = nullptr;
};

// A push button showing Caption, on a raised frame filled with Color. The
// push button (object name "PressButton") carries the object's Tag, by which
// the surface's FormClick, which receives its clicks, finds the object; its
// kind and target are read from Record() at click time.
class TQZGumb final : public TQZFaceControl<TGumbRecord>
{
public:
    TQZGumb(QWidget *parent, const TGumbRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    void SetObjectTag(qint32 tag) override;

    // Builder: takes a whole new record and re-applies colour, font and
    // caption; position and size stay.
    void ApplyRecord(const TGumbRecord &record);

    TQZObjectFrame *Frame() const;
    QPushButton *PressButton() const { return m_button; }

private:
    void ApplyLook();

    QPushButton *m_button = nullptr;
};

// The label alignment of a record's Alignment: 0 left, 1 right, 2 centre;
// other values are read as left.
Qt::Alignment LabelAlignment(quint8 alignment);
