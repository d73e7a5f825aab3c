#include "QZMemoGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace CorvBuilder {

namespace {

constexpr int Size = 16;

const QColor Ink(0x30, 0x30, 0x30);
const QColor Paper(0xFF, 0xFF, 0xFF);
const QColor Folder(0xE8, 0xB8, 0x40);
const QColor Disk(0x40, 0x60, 0xB0);

void Lines(QPainter &painter, const int (*spans)[2], int count)
{
    painter.setPen(QPen(Ink, 1.5));
    for (int i = 0; i < count; ++i) {
        const qreal y = 3.5 + i * 3;
        painter.drawLine(QPointF(spans[i][0], y), QPointF(spans[i][1], y));
    }
}

void Letter(QPainter &painter, const QString &letter, bool bold, bool italic, bool underline)
{
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(14);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    painter.setFont(font);
    painter.setPen(Ink);
    painter.drawText(QRect(0, -1, Size, Size), Qt::AlignCenter, letter);
}

void Page(QPainter &painter, const QRectF &rect)
{
    painter.setPen(QPen(Ink, 1));
    painter.setBrush(Paper);
    painter.drawRect(rect);
    painter.setPen(QPen(Ink.lighter(250), 1));
    for (qreal y = rect.top() + 3; y < rect.bottom() - 1; y += 2.5)
        painter.drawLine(QPointF(rect.left() + 2, y), QPointF(rect.right() - 2, y));
}

void Draw(QPainter &painter, TMemoGlyph glyph)
{
    switch (glyph) {
    case TMemoGlyph::Open: {
        painter.setPen(QPen(Ink, 1));
        painter.setBrush(Folder.darker(115));
        painter.drawRect(QRectF(1.5, 3.5, 12, 10));
        painter.setBrush(Folder);
        QPainterPath flap;
        flap.moveTo(3.5, 7.5);
        flap.lineTo(15.5, 7.5);
        flap.lineTo(13.5, 13.5);
        flap.lineTo(1.5, 13.5);
        flap.closeSubpath();
        painter.drawPath(flap);
        break;
    }
    case TMemoGlyph::Save:
        painter.setPen(QPen(Ink, 1));
        painter.setBrush(Disk);
        painter.drawRect(QRectF(1.5, 1.5, 13, 13));
        painter.setBrush(Paper);
        painter.drawRect(QRectF(4.5, 1.5, 7, 5));
        painter.setBrush(Disk.lighter(160));
        painter.drawRect(QRectF(4.5, 9.5, 7, 5));
        break;
    case TMemoGlyph::Print:
        Page(painter, QRectF(4.5, 1.5, 7, 6));
        painter.setPen(QPen(Ink, 1));
        painter.setBrush(QColor(0xB0, 0xB0, 0xB0));
        painter.drawRect(QRectF(1.5, 6.5, 13, 6));
        painter.setBrush(Paper);
        painter.drawRect(QRectF(4.5, 10.5, 7, 4));
        break;
    case TMemoGlyph::Undo: {
        painter.setPen(QPen(Ink, 1.8));
        painter.setBrush(Qt::NoBrush);
        QPainterPath arc;
        arc.moveTo(4, 7);
        arc.cubicTo(8, 3, 15, 5, 13, 11);
        arc.lineTo(11, 13);
        painter.drawPath(arc);
        painter.setBrush(Ink);
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygonF({QPointF(1, 8), QPointF(6, 3), QPointF(7, 9)}));
        break;
    }
    case TMemoGlyph::Cut:
        painter.setPen(QPen(Ink, 1.3));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(4, 1), QPointF(10.5, 10));
        painter.drawLine(QPointF(12, 1), QPointF(5.5, 10));
        painter.drawEllipse(QPointF(4, 12.5), 2.5, 2.5);
        painter.drawEllipse(QPointF(12, 12.5), 2.5, 2.5);
        break;
    case TMemoGlyph::Copy:
        Page(painter, QRectF(1.5, 1.5, 8, 10));
        Page(painter, QRectF(6.5, 4.5, 8, 10));
        break;
    case TMemoGlyph::Paste:
        painter.setPen(QPen(Ink, 1));
        painter.setBrush(Folder.darker(130));
        painter.drawRect(QRectF(1.5, 2.5, 10, 12));
        painter.setBrush(QColor(0xB0, 0xB0, 0xB0));
        painter.drawRect(QRectF(4.5, 1.5, 4, 2));
        Page(painter, QRectF(6.5, 6.5, 8, 8));
        break;
    case TMemoGlyph::Bold: Letter(painter, QStringLiteral("B"), true, false, false); break;
    case TMemoGlyph::Italic: Letter(painter, QStringLiteral("I"), false, true, false); break;
    case TMemoGlyph::Underline: Letter(painter, QStringLiteral("U"), false, false, true); break;
    case TMemoGlyph::AlignLeft: {
        static const int spans[][2] = {{1, 15}, {1, 10}, {1, 15}, {1, 8}};
        Lines(painter, spans, 4);
        break;
    }
    case TMemoGlyph::AlignCenter: {
        static const int spans[][2] = {{1, 15}, {4, 12}, {2, 14}, {5, 11}};
        Lines(painter, spans, 4);
        break;
    }
    case TMemoGlyph::AlignRight: {
        static const int spans[][2] = {{1, 15}, {6, 15}, {1, 15}, {8, 15}};
        Lines(painter, spans, 4);
        break;
    }
    case TMemoGlyph::Bullets: {
        static const int spans[][2] = {{6, 15}, {6, 15}, {6, 15}, {6, 15}};
        Lines(painter, spans, 4);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Ink);
        for (int i = 0; i < 4; ++i)
            painter.drawEllipse(QPointF(2.5, 3.5 + i * 3), 1.3, 1.3);
        break;
    }
    }
}

QPixmap Canvas()
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QIcon MemoGlyph(TMemoGlyph glyph)
{
    QPixmap pixmap = Canvas();
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        Draw(painter, glyph);
    }
    return QIcon(pixmap);
}

QIcon ColorSwatchGlyph(const QColor &color)
{
    QPixmap pixmap = Canvas();
    {
        QPainter painter(&pixmap);
        painter.setPen(Ink);
        painter.setBrush(color);
        painter.drawRect(QRect(1, 1, Size - 3, Size - 3));
    }
    return QIcon(pixmap);
}

} // namespace CorvBuilder
