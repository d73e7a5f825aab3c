#include "QZOlePresentation.h"

#include "QZOleActivation.h"
#include "QZOleIcon.h"

#include <QFontMetrics>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>

#include <optional>

namespace {

constexpr int IconSize = 32;
constexpr int LabelGap = 4;
// The name under an icon wraps at this width (pixels), in at most so many
// lines.
constexpr int LabelWidth = 4 * IconSize;
constexpr int MaxLabelLines = 3;
constexpr qreal HiMetricPerInch = 2540.0;
// A presentation is never drawn larger than this, whatever its extent says.
constexpr int MaxNatural = 16384;

TOleMetafileRenderer &MetafileRenderer()
{
    static TOleMetafileRenderer renderer = nullptr;
    return renderer;
}

// What an object drawn as an icon shows: the name and type of the file it
// opens as, as a file manager shows that file.
struct TIconFace
{
    QString Name;
    QIcon Icon;
};

std::optional<TIconFace> IconFace(const TOleObject &object)
{
    const auto file = OleActivationFile(object);
    if (!file)
        return std::nullopt;
    const QMimeType type =
        QMimeDatabase().mimeTypeForFileNameAndData(file->FileName, file->Content);
    return TIconFace{file->FileName, OleTypeIcon(type.name())};
}

// Objects that open as a file are drawn as that file's icon when they are
// shown as an icon, or have no picture of their content.
bool DrawnAsIcon(const TOleObject &object, const std::optional<TIconFace> &face)
{
    return face && (!object.Presentation() || object.Aspect() == OleAspectIcon);
}

// The name under the icon, broken as a file manager breaks it: at word
// boundaries (else anywhere) within LabelWidth, at most MaxLabelLines lines,
// the last one shortened in the middle so that the extension stays.
QStringList LabelLines(const QString &name, const QFont &font)
{
    const QFontMetrics metrics(font);
    QStringList lines;
    QTextLayout layout(name, font);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(LabelWidth);
        if (lines.size() == MaxLabelLines - 1) {
            lines << metrics.elidedText(name.mid(line.textStart()), Qt::ElideMiddle, LabelWidth);
            break;
        }
        lines << name.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

QSize IconFaceSize(const TIconFace &face, const QFont &font)
{
    const QFontMetrics metrics(font);
    int width = IconSize;
    const QStringList lines = LabelLines(face.Name, font);
    for (const QString &line : lines)
        width = qMax(width, metrics.horizontalAdvance(line));
    return QSize(width + 2 * LabelGap,
                 IconSize + LabelGap + int(lines.size()) * metrics.lineSpacing());
}

void DrawIconFace(QPainter &painter, const QRect &target, const TIconFace &face)
{
    const QSize natural = IconFaceSize(face, painter.font());
    painter.save();
    painter.translate(target.topLeft());
    const qreal scaleX = qreal(target.width()) / natural.width();
    const qreal scaleY = qreal(target.height()) / natural.height();
    if (target.size() != natural)
        painter.scale(scaleX, scaleY);
    // The icon's pixels as many as the device shows, not scaled up from 32.
    const qreal ratio =
        (painter.device() ? painter.device()->devicePixelRatioF() : 1.0) * qMax(scaleX, scaleY);
    const int pixels = qBound(IconSize, qCeil(IconSize * ratio), 512);
    const QPixmap icon = face.Icon.pixmap(QSize(pixels, pixels), 1.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF((natural.width() - IconSize) / 2, 0, IconSize, IconSize), icon,
                       QRectF(icon.rect()));
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    int y = IconSize + LabelGap;
    for (const QString &line : LabelLines(face.Name, painter.font())) {
        painter.drawText(QRect(0, y, natural.width(), metrics.lineSpacing()),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
        y += metrics.lineSpacing();
    }
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
    const std::optional<TIconFace> face = IconFace(object);
    if (DrawnAsIcon(object, face))
        return IconFaceSize(*face, QFont());
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
    return {};
}

void DrawOleObject(QPainter &painter, const QRect &area, const TOleObject &object, int sizeMode)
{
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    const qreal dpiX = painter.device() ? painter.device()->logicalDpiX() : 96;
    const qreal dpiY = painter.device() ? painter.device()->logicalDpiY() : 96;
    const std::optional<TIconFace> face = IconFace(object);
    bool drawn = false;
    if (!DrawnAsIcon(object, face) && object.Presentation()) {
        const QRect target =
            OlePresentationRect(area, OleNaturalSize(object, dpiX, dpiY), sizeMode);
        const QImage image = PresentationImage(*object.Presentation(), target.size());
        if (!image.isNull() && !target.isEmpty()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, image);
            drawn = true;
        }
    }
    // A picture that cannot be drawn here gives way to the file's icon.
    if (!drawn && face) {
        const QRect target =
            OlePresentationRect(area, IconFaceSize(*face, painter.font()), sizeMode);
        if (!target.isEmpty()) {
            DrawIconFace(painter, target, *face);
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
