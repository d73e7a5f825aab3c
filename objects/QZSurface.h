// The page surface: the window on which every page of the open test places
// its objects' faces. The player's and the builder's main windows derive from
// it; the choices property dialog's preview panel is a plain widget instead.
#pragma once

#include "QZControl.h"

#include <QFont>
#include <QWidget>

class QMouseEvent;

// Object numbers live in a "Tag" property of the face controls; the surface
// itself carries SurfaceTag, above every object's.
constexpr int SurfaceTag = 1000000;
void SetTag(QObject *control, int tag);
int TagOf(const QObject *control); // 0 for a control without a tag

class TQZPageSurface : public QWidget, public TQZSurface
{
    Q_OBJECT

public:
    explicit TQZPageSurface(QWidget *parent = nullptr);

    // Paints the surface in a colour value (RGB or system colour).
    void SetPageColor(quint32 color) override;
    // A plain message box captioned "Error", through the interaction layer.
    void ShowError(const QString &message) override;

    // The surface's own font: the window font with the height the screen
    // gives it. Answer buttons show it.
    QFont SurfaceFont() const;

    // Mouse moves, presses and releases on object faces come here, with the
    // face control as sender; true when the surface handled the event. The
    // player's surface handles none.
    virtual bool FaceMouseEvent(QWidget *face, QMouseEvent *event);
    // Clicks of the push buttons of button objects.
    virtual void FormClick(QObject *sender);

    // Passes the mouse events of a face control to FaceMouseEvent.
    void RouteMouseEvents(QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Gives a widget a solid background of a colour value.
void SetBackgroundColor(QWidget *widget, quint32 color);
