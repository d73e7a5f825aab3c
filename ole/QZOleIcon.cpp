#include "QZOleIcon.h"

#include <QIconEngine>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>

namespace {

// A page with a folded corner and lines of text, drawn at any size on a
// 32-unit grid.
class TDocumentIconEngine final : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal side = qMin(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 32.0, side / 32.0);
        QPainterPath page;
        page.moveTo(6, 1.5);
        page.lineTo(20, 1.5);
        page.lineTo(26.5, 8);
        page.lineTo(26.5, 30.5);
        page.lineTo(6, 30.5);
        page.closeSubpath();
        const bool disabled = mode == QIcon::Disabled;
        painter->setPen(QPen(disabled ? QColor(150, 150, 150) : QColor(80, 80, 80), 1));
        painter->setBrush(disabled ? QColor(235, 235, 235) : QColor(Qt::white));
        painter->drawPath(page);
        painter->drawLine(QPointF(20, 1.5), QPointF(20, 8));
        painter->drawLine(QPointF(20, 8), QPointF(26.5, 8));
        painter->setPen(QPen(disabled ? QColor(190, 190, 190) : QColor(120, 140, 190), 1));
        for (int y = 12; y <= 26; y += 3)
            painter->drawLine(QPointF(10, y), QPointF(23, y));
        painter->restore();
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }
    QIconEngine *clone() const override { return new TDocumentIconEngine; }
    QString key() const override { return QStringLiteral("corvella-document"); }
};

} // namespace

QIcon OleFallbackIcon() { return QIcon(new TDocumentIconEngine); }

QIcon OleTypeIcon(const QString &mimeType)
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    if (type.isValid())
        for (const QString &name : {type.iconName(), type.genericIconName()})
            if (!name.isEmpty() && QIcon::hasThemeIcon(name))
                return QIcon::fromTheme(name);
    return OleFallbackIcon();
}
