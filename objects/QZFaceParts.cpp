#include "QZFaceParts.h"

#include "QZCodePage.h"
#include "QZFonts.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZSurface.h"

#include <QEvent>
#include <QHash>
#include <QPalette>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <algorithm>

namespace {

// Faces that stand for controls drawn on the page itself.
QSet<const QObject *> &GraphicFaces()
{
    static QSet<const QObject *> faces;
    return faces;
}

// Per parent window, the lowest face that is not a graphic: a new graphic
// goes right beneath it, so above the graphics before it. Looked up once per
// parent and kept while that face lives, so that building a page of many
// faces does not walk the stack for each of them.
QHash<const QObject *, QPointer<QWidget>> &LowestFramedFaces()
{
    static QHash<const QObject *, QPointer<QWidget>> faces;
    return faces;
}

QWidget *FindLowestFramed(const QWidget *parent, const QWidget *except)
{
    // children() runs from the bottom of the stack to its top.
    for (QObject *child : parent->children()) {
        auto *sibling = qobject_cast<QWidget *>(child);
        if (sibling && sibling != except && !sibling->isWindow() &&
            !GraphicFaces().contains(sibling))
            return sibling;
    }
    return nullptr;
}

// Heights beyond this are no text anyone reads; a font engine asked for them
// may take long or fail to render.
constexpr qint32 LargestFontHeight = 4096;

} // namespace

int FaceCoordinate(qint64 value)
{
    return int(std::clamp<qint64>(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

int FaceExtent(qint64 value) { return int(std::clamp<qint64>(value, 0, QWIDGETSIZE_MAX)); }

QRect FaceRect(qint64 left, qint64 top, qint64 width, qint64 height)
{
    return QRect(FaceCoordinate(left), FaceCoordinate(top), FaceExtent(width), FaceExtent(height));
}

void AddPoints(qint32 &total, qint64 points)
{
    total = qint32(quint32(total) + quint32(quint64(points)));
}

QFont FaceFontOf(const TFontRecord &record)
{
    TFontRecord font = record;
    font.Height = std::clamp<qint32>(font.Height, -LargestFontHeight, LargestFontHeight);
    return FaceFont(font);
}

void ApplyFaceFont(QWidget *widget, const TFontRecord &record)
{
    widget->setFont(FaceFontOf(record));
    const QColor color = FaceColor(record.Color);
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, color);
    widget->setPalette(palette);
}

QString FontText(const QByteArray &bytes, const TFontRecord &font)
{
    return DecodeText(bytes, CodePageOfCharset(font.Charset));
}

QString AccessibleText(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text += caption.at(i);
    }
    return text;
}

QFont AnswerFont(const QWidget *parent)
{
    if (const auto *surface = qobject_cast<const TQZPageSurface *>(parent))
        return surface->SurfaceFont();
    TFontRecord record = WindowFontRecord();
    record.Height = -SurfaceFontHeight();
    return FaceFontOf(record);
}

void StackAsGraphic(QWidget *face)
{
    if (!GraphicFaces().contains(face)) {
        GraphicFaces().insert(face);
        QObject::connect(face, &QObject::destroyed,
                         [](QObject *gone) { GraphicFaces().remove(gone); });
    }
    const QWidget *parent = face->parentWidget();
    if (!parent)
        return;
    QPointer<QWidget> &lowest = LowestFramedFaces()[parent];
    if (!lowest || lowest->parentWidget() != parent || GraphicFaces().contains(lowest.data()))
        lowest = FindLowestFramed(parent, face);
    if (lowest)
        face->stackUnder(lowest);
}

TQZObjectFrame::TDock DockOfTextPosition(quint8 textPosition)
{
    switch (textPosition) {
    case 1: return TQZObjectFrame::TDock::Top;
    case 2: return TQZObjectFrame::TDock::Bottom;
    default: return TQZObjectFrame::TDock::None;
    }
}

TQZObjectFrame::TQZObjectFrame(QWidget *parent, quint32 color)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    SetColor(color);
}

void TQZObjectFrame::SetColor(quint32 color) { SetBackgroundColor(this, color); }

void TQZObjectFrame::SetInner(QWidget *inner)
{
    m_inner = inner;
    // Shown with the frame, also when made inside a frame already on screen.
    inner->show();
    LayInner();
}

void TQZObjectFrame::SetDock(TDock dock)
{
    m_dock = dock;
    // Only docked frames watch the parent's size: a page surface holds the
    // faces of every page of a test.
    if (QWidget *parent = parentWidget()) {
        if (dock == TDock::None)
            parent->removeEventFilter(this);
        else
            parent->installEventFilter(this);
    }
    Redock();
}

void TQZObjectFrame::Place(const QRect &rect)
{
    setGeometry(rect);
    Redock();
    LayInner();
}

bool TQZObjectFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == parentWidget())
        Redock();
    return QFrame::eventFilter(watched, event);
}

void TQZObjectFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    LayInner();
}

void TQZObjectFrame::Redock()
{
    const QWidget *parent = parentWidget();
    if (m_dock == TDock::None || !parent)
        return;
    const int top = m_dock == TDock::Top ? 0 : parent->height() - height();
    setGeometry(0, top, parent->width(), height());
    LayInner();
}

// Uses the frame's actual size, so that a docked or clamped frame lays its
// inner control inside what is shown.
void TQZObjectFrame::LayInner()
{
    if (!m_inner)
        return;
    const qint64 margin = Margin();
    m_inner->setGeometry(
        FaceRect(margin, margin, width() - 2 * margin, qint64(height()) - 2 * margin));
}
