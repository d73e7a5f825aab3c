// The ruler above the rich text editor: a line with a tick at every tab stop
// and three markers for the paragraph's first-line, left and right indents.
// The ruler knows pixels only; the editor dialog turns marker positions into
// indents in points and back.
#pragma once

#include <QWidget>

namespace CorvBuilder {

class TMemoRulerLine;

// One indent marker: a small triangle, pointing down for the first line and
// up for the left and right indents.
class TMemoRulerMarker : public QWidget
{
    Q_OBJECT

public:
    enum class TKind { First, Left, Right };

    // Every marker is this wide; the ruler drags it by its centre, half of it.
    static constexpr int MarkerWidth = 9;
    static constexpr int MarkerHeight = 8;

    TMemoRulerMarker(TKind kind, QWidget *parent);

    TKind Kind() const { return m_kind; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TKind m_kind;
};

class TMemoRuler : public QWidget
{
    Q_OBJECT

public:
    // Where the ruler's line and the editor's text begin, in pixels from the
    // left edge; the line ends as far from the right edge.
    static constexpr int LeftOffset = 6;

    explicit TMemoRuler(QWidget *parent = nullptr);

    TMemoRulerMarker *FirstMarker() const { return m_first; }
    TMemoRulerMarker *LeftMarker() const { return m_left; }
    TMemoRulerMarker *RightMarker() const { return m_right; }
    TMemoRulerLine *Line() const { return m_line; }

    // Puts the three markers' left edges at these positions (pixels inside
    // the ruler). Ignored while a marker is being dragged.
    void PlaceMarkers(int first, int left, int right);

    // The drag state: whether a marker is held, and how far its left edge is
    // from the pointer (half the marker's width).
    bool Dragging() const { return m_dragging; }
    int DragOffset() const { return m_dragOffset; }

    // The distance between the editor's tab stops, in pixels; the line draws
    // a tick at each.
    void SetTabDistance(qreal distance);

signals:
    // A marker was let go; its left edge is where it was dropped.
    void MarkerReleased(TMemoRulerMarker *marker);
    void Resized();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void LayLine();

    TMemoRulerLine *m_line;
    TMemoRulerMarker *m_first;
    TMemoRulerMarker *m_left;
    TMemoRulerMarker *m_right;
    bool m_dragging = false;
    int m_dragOffset = 0;
};

// The ruler's line: its text is 100 pairs of a tab and a "|", so a tick
// stands at every tab stop.
class TMemoRulerLine : public QWidget
{
    Q_OBJECT

public:
    explicit TMemoRulerLine(QWidget *parent);

    const QString &Text() const { return m_text; }
    qreal TabDistance() const { return m_tabDistance; }
    void SetTabDistance(qreal distance);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    qreal m_tabDistance = 80;
};

} // namespace CorvBuilder
