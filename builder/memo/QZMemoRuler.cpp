#include "QZMemoRuler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace CorvBuilder {

namespace {

constexpr int RulerHeight = 28;
constexpr int TopMarkerY = 1;
constexpr int LineTop = TopMarkerY + TMemoRulerMarker::MarkerHeight;
constexpr int BottomMarkerY = RulerHeight - TMemoRulerMarker::MarkerHeight - 1;

} // namespace

TMemoRulerMarker::TMemoRulerMarker(TKind kind, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
{
    setFixedSize(MarkerWidth, MarkerHeight);
    setCursor(Qt::SizeHorCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    static const char *const names[] = {"First indent", "Left indent", "Right indent"};
    setAccessibleName(QString::fromLatin1(names[int(kind)]));
    setToolTip(accessibleName());
}

void TMemoRulerMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = width() - 1;
    const qreal h = height() - 1;
    QPainterPath path;
    if (m_kind == TKind::First) {
        path.moveTo(0.5, 0.5);
        path.lineTo(w + 0.5, 0.5);
        path.lineTo(w / 2 + 0.5, h + 0.5);
    } else {
        path.moveTo(w / 2 + 0.5, 0.5);
        path.lineTo(w + 0.5, h + 0.5);
        path.lineTo(0.5, h + 0.5);
    }
    path.closeSubpath();
    painter.fillPath(path, palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawPath(path);
}

TMemoRulerLine::TMemoRulerLine(QWidget *parent)
    : QWidget(parent)
{
    for (int i = 0; i < 100; ++i)
        m_text += QStringLiteral("\t|");
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    setFont(small);
}

void TMemoRulerLine::SetTabDistance(qreal distance)
{
    if (distance <= 0 || distance == m_tabDistance)
        return;
    m_tabDistance = distance;
    update();
}

void TMemoRulerLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width(), height() - 1);
    // The ticks are the text itself, laid out with the editor's tab stops.
    QTextOption option;
    option.setTabStopDistance(m_tabDistance);
    option.setWrapMode(QTextOption::NoWrap);
    QTextLayout layout(m_text, font());
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(qreal(m_text.size()) * m_tabDistance);
    layout.endLayout();
    painter.setPen(palette().color(QPalette::Text));
    const qreal top = (height() - line.height()) / 2;
    // The "|" after each tab starts at the stop; shift it so that its middle
    // is on the stop.
    const qreal bar = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('|'));
    layout.draw(&painter, QPointF(-bar / 2, top));
}

TMemoRuler::TMemoRuler(QWidget *parent)
    : QWidget(parent)
    , m_line(new TMemoRulerLine(this))
    , m_first(new TMemoRulerMarker(TMemoRulerMarker::TKind::First, this))
    , m_left(new TMemoRulerMarker(TMemoRulerMarker::TKind::Left, this))
    , m_right(new TMemoRulerMarker(TMemoRulerMarker::TKind::Right, this))
{
    setObjectName(QStringLiteral("Ruler"));
    setAccessibleName(QStringLiteral("Ruler"));
    setFixedHeight(RulerHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_first->setObjectName(QStringLiteral("FirstInd"));
    m_left->setObjectName(QStringLiteral("LeftInd"));
    m_right->setObjectName(QStringLiteral("RightInd"));
    m_line->setObjectName(QStringLiteral("RulerLine"));
    for (TMemoRulerMarker *marker : {m_first, m_left, m_right})
        marker->installEventFilter(this);
    m_first->move(0, TopMarkerY);
    m_left->move(0, BottomMarkerY);
    m_right->move(0, BottomMarkerY);
    m_first->raise();
    m_left->raise();
    m_right->raise();
    LayLine();
}

void TMemoRuler::PlaceMarkers(int first, int left, int right)
{
    if (m_dragging)
        return;
    m_first->move(first, TopMarkerY);
    m_left->move(left, BottomMarkerY);
    m_right->move(right, BottomMarkerY);
}

void TMemoRuler::SetTabDistance(qreal distance) { m_line->SetTabDistance(distance); }

bool TMemoRuler::eventFilter(QObject *watched, QEvent *event)
{
    auto *marker = qobject_cast<TMemoRulerMarker *>(watched);
    if (!marker)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_dragOffset = marker->width() / 2;
        const int x = marker->mapTo(this, mouse->position().toPoint()).x();
        marker->move(x - m_dragOffset, marker->y());
        m_dragging = true;
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_dragging)
            return false;
        auto *mouse = static_cast<QMouseEvent *>(event);
        const int x = marker->mapTo(this, mouse->position().toPoint()).x();
        marker->move(x - m_dragOffset, marker->y());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!m_dragging || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return false;
        m_dragging = false;
        emit MarkerReleased(marker);
        return true;
    }
    default: return false;
    }
}

void TMemoRuler::LayLine()
{
    m_line->setGeometry(LeftOffset, LineTop, std::max(width() - 2 * LeftOffset, 0),
                        BottomMarkerY - LineTop);
}

void TMemoRuler::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayLine();
    emit Resized();
}

void TMemoRuler::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

} // namespace CorvBuilder
