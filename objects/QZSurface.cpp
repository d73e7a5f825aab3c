#include "QZSurface.h"

#include "QZFonts.h"
#include "QZInteraction.h"
#include "QZRecordFields.h"
#include "QZScaling.h"

#include <QEvent>
#include <QMouseEvent>

namespace {
const char TagProperty[] = "Tag";
}

void SetTag(QObject *control, int tag)
{
    if (control)
        control->setProperty(TagProperty, tag);
}

int TagOf(const QObject *control) { return control ? control->property(TagProperty).toInt() : 0; }

void SetBackgroundColor(QWidget *widget, quint32 color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, FaceColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

TQZPageSurface::TQZPageSurface(QWidget *parent)
    : QWidget(parent)
{
    SetTag(this, SurfaceTag);
    SetBackgroundColor(this, WindowColor);
}

void TQZPageSurface::SetPageColor(quint32 color) { SetBackgroundColor(this, color); }

void TQZPageSurface::ShowError(const QString &message) { ShowPlainError(message); }

QFont TQZPageSurface::SurfaceFont() const
{
    TFontRecord record = WindowFontRecord();
    record.Height = -SurfaceFontHeight();
    return FaceFont(record);
}

bool TQZPageSurface::FaceMouseEvent(QWidget *, QMouseEvent *) { return false; }

void TQZPageSurface::FormClick(QObject *) {}

void TQZPageSurface::RouteMouseEvents(QWidget *control) { control->installEventFilter(this); }

bool TQZPageSurface::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (watched->isWidgetType())
            return FaceMouseEvent(static_cast<QWidget *>(watched),
                                  static_cast<QMouseEvent *>(event));
        return false;
    default: return QWidget::eventFilter(watched, event);
    }
}
