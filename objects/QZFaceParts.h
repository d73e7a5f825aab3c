// Pieces shared by the widget faces of page objects: geometry taken from
// records, fonts and texts of records, the raised object frame with its inner
// control, and the stacking of faces drawn straight onto the page.
#pragma once

#include "QZRecords.h"

#include <QFont>
#include <QFrame>
#include <QPointer>
#include <QRect>
#include <QString>

// Face geometry from record values (pixels). Records are never validated, so
// coordinates are clamped to what a widget can hold and sizes to 0 and above.
int FaceCoordinate(qint64 value);
int FaceExtent(qint64 value);
QRect FaceRect(qint64 left, qint64 top, qint64 width, qint64 height);

// Adds points the way 32-bit scores add: wrapping, never overflowing.
void AddPoints(qint32 &total, qint64 points);

// The face font of a font record, with an absurd height cut to one a font
// engine can draw.
QFont FaceFontOf(const TFontRecord &record);
// Gives a widget the record's font and its colour as the colour of every text
// role; child widgets inherit both unless they get their own.
void ApplyFaceFont(QWidget *widget, const TFontRecord &record);

// A text stored in a font's record is in the code page of that font's
// character set.
QString FontText(const QByteArray &bytes, const TFontRecord &font);

// What a screen reader should read for a button caption: the caption without
// its mnemonic marks ("&&" stands for one "&").
QString AccessibleText(const QString &caption);

// The font the alternative's answer buttons show: the page surface's own font,
// or the same font computed from the screen where the parent is no surface.
QFont AnswerFont(const QWidget *parent);

// Faces that stand for controls drawn on the page itself (transparent texts,
// pictures) lie beneath every other face: this puts `face` above the earlier
// such faces and beneath the first windowed sibling.
void StackAsGraphic(QWidget *face);

// A panel filled with a colour value with a raised one-pixel edge; the outer
// control of framed objects. Its inner control, if any, lies at (Margin,
// Margin) and is as large as the frame less a margin on every side; it is laid
// out again after every change of the frame's size. A docked frame spans the
// full width of its parent along the top or bottom edge and follows the
// parent's resizing.
class TQZObjectFrame : public QFrame
{
    Q_OBJECT

public:
    enum class TDock { None, Top, Bottom };

    TQZObjectFrame(QWidget *parent, quint32 color);

    void SetColor(quint32 color);
    // `inner` is a child of the frame; it shows whenever the frame does.
    void SetInner(QWidget *inner);
    QWidget *Inner() const { return m_inner; }

    TDock Dock() const { return m_dock; }
    void SetDock(TDock dock);
    // Places the frame; a docked frame takes only the height of `rect`.
    void Place(const QRect &rect);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Redock();
    void LayInner();

    QPointer<QWidget> m_inner;
    TDock m_dock = TDock::None;
};

// Docking of a text with background's TextPosition: 1 top, 2 bottom, any
// other value free.
TQZObjectFrame::TDock DockOfTextPosition(quint8 textPosition);
