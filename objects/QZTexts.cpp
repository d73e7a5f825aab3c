#include "QZTexts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {

// A label that shows its text as typed (never as markup), word-wrapped from
// the top, with only its glyphs drawn.
QLabel *NewTextLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAutoFillBackground(false);
    return label;
}

void ApplyLabelText(QLabel *label, const QString &text, quint8 alignment, const TFontRecord &font)
{
    label->setAlignment(LabelAlignment(alignment) | Qt::AlignTop);
    ApplyFaceFont(label, font);
    label->setText(text);
    label->setAccessibleName(text);
}

} // namespace

Qt::Alignment LabelAlignment(quint8 alignment)
{
    switch (alignment) {
    case 1: return Qt::AlignRight;
    case 2: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

// ---------------------------------------------------------------------------
// Transparent text

TQZBesedilo::TQZBesedilo(QWidget *parent, const TBesediloRecord &record)
    : TQZFaceControl(ObjBesedilo, parent, record)
{
    QLabel *label = NewTextLabel(parent);
    SetFace(label);
    StackAsGraphic(label);
    ApplyText();
    label->setGeometry(FaceRect(m_record.Left, m_record.Top, m_record.Width, m_record.Height));
}

QLabel *TQZBesedilo::Label() const { return static_cast<QLabel *>(Face()); }

void TQZBesedilo::ApplyText()
{
    ApplyLabelText(Label(), FontText(m_record.Text.Bytes(), m_record.Font), m_record.Alignment,
                   m_record.Font);
}

void TQZBesedilo::FitToText()
{
    QLabel *label = Label();
    // An empty text still takes one line, as high as the font.
    const QString text = label->text().isEmpty() ? QStringLiteral(" ") : label->text();
    const QRect wrapped = QFontMetrics(label->font())
                              .boundingRect(QRect(0, 0, label->width(), QWIDGETSIZE_MAX),
                                            int(Qt::TextWordWrap | label->alignment()), text);
    QRect geometry = label->geometry();
    const int right = geometry.x() + geometry.width();
    geometry.setSize(QSize(wrapped.width(), wrapped.height()));
    if (label->alignment() & Qt::AlignRight)
        geometry.moveLeft(FaceCoordinate(qint64(right) - wrapped.width()));
    label->setGeometry(geometry);
}

void TQZBesedilo::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Label()->move(FaceCoordinate(left), FaceCoordinate(top));
}

void TQZBesedilo::ResizeTo(qint32 width, qint32 height)
{
    m_record.Width = width;
    m_record.Height = height;
    Label()->resize(FaceExtent(width), FaceExtent(height));
}

void TQZBesedilo::ApplyRecord(const TBesediloRecord &record)
{
    m_record = record;
    ApplyText();
    FitToText();
    const QRect geometry = Label()->geometry();
    m_record.Left = geometry.x();
    m_record.Top = geometry.y();
    m_record.Width = geometry.width();
    m_record.Height = geometry.height();
}

// ---------------------------------------------------------------------------
// Text with background

TQZPanelBesedilo::TQZPanelBesedilo(QWidget *parent, const TPanelBesediloRecord &record)
    : TQZFaceControl(ObjPanelBesedilo, parent, record)
{
    auto *frame = new TQZObjectFrame(parent, m_record.Color);
    SetFace(frame);
    m_label = NewTextLabel(frame);
    // Presses on the text reach the surface once, as presses on the frame,
    // which carries the same tag.
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    ApplyLook();
    frame->SetInner(m_label);
    frame->Place(FaceRect(m_record.Left, m_record.Top, m_record.Width, m_record.Height));
}

TQZObjectFrame *TQZPanelBesedilo::Frame() const { return static_cast<TQZObjectFrame *>(Face()); }

void TQZPanelBesedilo::ApplyLook()
{
    TQZObjectFrame *frame = Frame();
    frame->SetDock(DockOfTextPosition(m_record.TextPosition));
    frame->SetColor(m_record.Color);
    ApplyLabelText(m_label, FontText(m_record.Text.Bytes(), m_record.Font), m_record.Alignment,
                   m_record.Font);
}

void TQZPanelBesedilo::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    const TQZObjectFrame *frame = Frame();
    Frame()->Place(FaceRect(left, top, frame->width(), frame->height()));
}

void TQZPanelBesedilo::ResizeTo(qint32 width, qint32 height)
{
    m_record.Width = width;
    m_record.Height = height;
    const TQZObjectFrame *frame = Frame();
    Frame()->Place(FaceRect(frame->x(), frame->y(), width, height));
}

void TQZPanelBesedilo::SetObjectTag(qint32 tag)
{
    TQZFaceControl::SetObjectTag(tag);
    SetTag(m_label, tag);
}

void TQZPanelBesedilo::ApplyRecord(const TPanelBesediloRecord &record)
{
    const bool wasDocked = Frame()->Dock() != TQZObjectFrame::TDock::None;
    m_record = record;
    ApplyLook();
    // A docked frame was moved by its docking; freed, it goes where the
    // record says it is, so that the page shows what a save would keep.
    if (wasDocked && Frame()->Dock() == TQZObjectFrame::TDock::None)
        MoveTo(m_record.Left, m_record.Top);
    ResizeTo(m_record.Width, m_record.Height);
    // The record keeps the frame's actual size: a docked frame spans the
    // whole surface, and that width is what is saved and what a new text
    // with background starts from.
    m_record.Width = Frame()->width();
    m_record.Height = Frame()->height();
}

// ---------------------------------------------------------------------------
// Button

TQZGumb::TQZGumb(QWidget *parent, const TGumbRecord &record)
    : TQZFaceControl(ObjGumb, parent, record)
{
    auto *frame = new TQZObjectFrame(parent, m_record.Color);
    SetFace(frame);
    m_button = new QPushButton(frame);
    m_button->setObjectName(QStringLiteral("PressButton"));
    m_button->setCursor(Qt::PointingHandCursor);
    // Enter and Return press a focused button, not only Space.
    m_button->setAutoDefault(true);
    if (auto *surface = qobject_cast<TQZPageSurface *>(parent)) {
        QPushButton *button = m_button;
        QObject::connect(button, &QPushButton::clicked, surface,
                         [surface, button] { surface->FormClick(button); });
    }
    ApplyLook();
    frame->SetInner(m_button);
    frame->Place(FaceRect(m_record.Left, m_record.Top, m_record.Width, m_record.Height));
}

TQZObjectFrame *TQZGumb::Frame() const { return static_cast<TQZObjectFrame *>(Face()); }

void TQZGumb::ApplyLook()
{
    Frame()->SetColor(m_record.Color);
    ApplyFaceFont(m_button, m_record.Font);
    const QString caption = FontText(m_record.Caption.Bytes(), m_record.Font);
    m_button->setText(caption);
    m_button->setAccessibleName(AccessibleText(caption));
}

void TQZGumb::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    const TQZObjectFrame *frame = Frame();
    Frame()->Place(FaceRect(left, top, frame->width(), frame->height()));
}

void TQZGumb::ResizeTo(qint32 width, qint32 height)
{
    m_record.Width = width;
    m_record.Height = height;
    const TQZObjectFrame *frame = Frame();
    Frame()->Place(FaceRect(frame->x(), frame->y(), width, height));
}

void TQZGumb::SetObjectTag(qint32 tag)
{
    TQZFaceControl::SetObjectTag(tag);
    SetTag(m_button, tag);
}

void TQZGumb::ApplyRecord(const TGumbRecord &record)
{
    m_record = record;
    ApplyLook();
}
