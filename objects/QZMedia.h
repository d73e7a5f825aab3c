// The multimedia page object: a display panel at the record's geometry that
// shows the Caption until a clip's picture plays over it, and directly under
// it a control bar of exactly Play, Pause, Stop and Previous, as wide as the
// display. The clip is MediaFile, found as TQZMediaDevice describes; it is
// opened when the object's page is shown (and, outside test loading, when the
// object is made or given new properties), closed when the page is left, and
// never started by itself.
#pragma once

#include "QZControls.h"
#include "QZFaceParts.h"
#include "QZMediaDevice.h"

#include <QPointer>
#include <QVideoWidget>

class QLabel;
class QPushButton;

// The display panel: button-face colour, raised edge, caption centred, and
// the clip's picture over the whole panel while it plays.
class TQZMediaDisplay final : public TQZObjectFrame
{
    Q_OBJECT

public:
    explicit TQZMediaDisplay(QWidget *parent);

    QLabel *CaptionLabel() const { return m_caption; }
    // The picture widget exists only while a clip is open.
    QVideoWidget *Video() const { return m_video; }
    QVideoWidget *MakeVideo();
    void DropVideo();
    void ShowPicture(bool shown);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *m_caption;
    QPointer<QVideoWidget> m_video;
};

class TQZMedia final : public TQZFaceControl<TMediaRecord>
{
public:
    TQZMedia(QWidget *parent, const TMediaRecord &record);
    ~TQZMedia() override;

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    void SetShown(bool visible) override;
    bool OpenMedia() override;
    bool CloseMedia() override;
    // Builder: takes a whole new record; the caption and the clip follow it
    // (closed, then opened again, with the message box on failure). Position
    // and size are not re-applied.
    void ApplyRecord(const TMediaRecord &record);

    TQZMediaDisplay *Display() const;
    QWidget *Bar() const { return m_bar; }
    TQZMediaDevice &Device() { return m_device; }

private:
    QString ClipName() const;
    QString CaptionText() const;
    void PlaceBar();
    void UpdatePicture();
    void OpenOrTell();

    TQZMediaDevice m_device;
    QPointer<QWidget> m_bar;
};
