#include "QZOlePresentation.h"

#include <QFontMetrics>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int IconSize = 32;
constexpr int LabelGap = 4;
constexpr qreal HiMetricPerInch = 2540.0;
// A presentation is never drawn larger than this, whatever its extent says.
constexpr int MaxNatural = 16384;

TOleMetafileRenderer &MetafileRenderer()
{
    static TOleMetafileRenderer renderer = nullptr;
    return renderer;
}

// A plain document icon for when the desktop's icon theme has none.
QPixmap DocumentIcon()
{
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.moveTo(6, 1.5);
    page.lineTo(20, 1.5);
    page.lineTo(26.5, 8);
    page.lineTo(26.5, 30.5);
    page.lineTo(6, 30.5);
    page.closeSubpath();
    painter.setPen(QPen(QColor(80, 80, 80), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.drawLine(QPointF(20, 1.5), QPointF(20, 8));
    painter.drawLine(QPointF(20, 8), QPointF(26.5, 8));
    painter.setPen(QPen(QColor(120, 140, 190), 1));
    for (int y = 12; y <= 26; y += 3)
        painter.drawLine(10, y, 23, y);
    return pixmap;
}

QPixmap PackageIcon(const TOlePackage &package)
{
    const QMimeType type =
        QMimeDatabase().mimeTypeForFileNameAndData(package.FileName, package.Content);
    for (const QString &name : {type.iconName(), type.genericIconName()}) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            return icon.pixmap(IconSize, IconSize);
    }
    return DocumentIcon();
}

QSize PackageSize(const TOlePackage &package, const QFont &font)
{
    const QFontMetrics metrics(font);
    const int label = metrics.horizontalAdvance(package.FileName);
    return QSize(qMax(IconSize, label) + 2 * LabelGap, IconSize + LabelGap + metrics.height());
}

void DrawPackage(QPainter &painter, const QRect &target, const TOlePackage &package)
{
    const QSize natural = PackageSize(package, painter.font());
    painter.save();
    painter.translate(target.topLeft());
    if (target.size() != natural)
        painter.scale(qreal(target.width()) / natural.width(),
                      qreal(target.height()) / natural.height());
    painter.drawPixmap((natural.width() - IconSize) / 2, 0, PackageIcon(package));
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, IconSize + LabelGap, natural.width(), natural.height() - IconSize),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, package.FileName);
    painter.restore();
}

void DrawFrame(QPainter &painter, const QRect &area, const TOleObject &object)
{
    painter.save();
    painter.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(2, 2, -3, -3));
    painter.setPen(Qt::black);
    painter.drawText(area.adjusted(6, 6, -6, -6), Qt::AlignCenter | Qt::TextWordWrap,
                     OleFrameText(object));
    painter.restore();
}

// The presentation's picture at `pixels`, or a null image when it has none
// that can be drawn here.
QImage PresentationImage(const TOlePresentation &presentation, const QSize &pixels)
{
    if (presentation.Kind == TOlePresentation::TKind::Bitmap)
        return presentation.Bitmap;
    if (TOleMetafileRenderer renderer = MetafileRenderer())
        return renderer(presentation.Metafile, presentation.ExtentHiMetric, pixels);
    return {};
}

} // namespace

QRect OlePresentationRect(const QRect &area, const QSize &natural, int sizeMode)
{
    if (natural.isEmpty())
        return area;
    switch (sizeMode) {
    case OleSizeCentred: {
        return QRect(QPoint(area.left() + (area.width() - natural.width()) / 2,
                            area.top() + (area.height() - natural.height()) / 2),
                     natural);
    }
    case OleSizeProportional: {
        const QSize scaled = natural.scaled(area.size(), Qt::KeepAspectRatio);
        return QRect(QPoint(area.left() + (area.width() - scaled.width()) / 2,
                            area.top() + (area.height() - scaled.height()) / 2),
                     scaled);
    }
    case OleSizeStretch: return area;
    default: return QRect(area.topLeft(), natural);
    }
}

QSize OleNaturalSize(const TOleObject &object, qreal dpiX, qreal dpiY)
{
    if (const auto &presentation = object.Presentation()) {
        const QSize extent = presentation->ExtentHiMetric;
        if (extent.width() > 0 && extent.height() > 0) {
            const QSize size(
                qBound(1, qRound(extent.width() * dpiX / HiMetricPerInch), MaxNatural),
                qBound(1, qRound(extent.height() * dpiY / HiMetricPerInch), MaxNatural));
            return size;
        }
        if (presentation->Kind == TOlePresentation::TKind::Bitmap)
            return presentation->Bitmap.size();
        return {};
    }
    if (const auto &package = object.Package())
        return PackageSize(*package, QFont());
    return {};
}

void DrawOleObject(QPainter &painter, const QRect &area, const TOleObject &object, int sizeMode)
{
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    const qreal dpiX = painter.device() ? painter.device()->logicalDpiX() : 96;
    const qreal dpiY = painter.device() ? painter.device()->logicalDpiY() : 96;
    bool drawn = false;
    if (const auto &presentation = object.Presentation()) {
        const QRect target =
            OlePresentationRect(area, OleNaturalSize(object, dpiX, dpiY), sizeMode);
        const QImage image = PresentationImage(*presentation, target.size());
        if (!image.isNull() && !target.isEmpty()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, image);
            drawn = true;
        }
    } else if (const auto &package = object.Package()) {
        const QSize natural = PackageSize(*package, painter.font());
        const QRect target = OlePresentationRect(area, natural, sizeMode);
        if (!target.isEmpty()) {
            DrawPackage(painter, target, *package);
            drawn = true;
        }
    }
    if (!drawn)
        DrawFrame(painter, area, object);
    painter.restore();
}

QString OleFrameText(const TOleObject &object)
{
    return object.TypeName().isEmpty() ? QStringLiteral("OLE object") : object.TypeName();
}

TOleMetafileRenderer SetOleMetafileRenderer(TOleMetafileRenderer renderer)
{
    return std::exchange(MetafileRenderer(), renderer);
}
