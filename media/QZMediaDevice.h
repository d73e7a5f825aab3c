// The media device of the multimedia page object: one clip at a time, opened
// by file name into a video widget, played from a control bar, and closed.
//
// Clip names. A name is handed over as the test stores it and looked up in
// the open test's folder as QZClipLookup.h describes; a name that is refused
// there is not opened, and nothing outside the folder is touched.
//
// What "opened" means. Qt Multimedia loads a clip asynchronously. Open()
// fails at once for a name that is refused or not found, and otherwise sets
// the source and waits, with user input held back, until the backend reports
// the clip loaded (success) or invalid (failure), at most OpenWaitMs. A clip
// still loading after that counts as opened; should it turn out unplayable
// later, the device drops it and reports Failed() without a message box,
// because the page has been shown by then.
#pragma once

#include "QZClipLookup.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;

// Sets up Qt Multimedia's GStreamer backend for clips from a test: the
// elements that reach the network or follow playlists are ranked out, and so
// is the Vulkan device provider, which only costs time and, without a Vulkan
// driver, leaks. Must run before the first player, audio output or video
// widget is made (Open runs it); later calls do nothing. It starts GStreamer,
// so it is left until a clip is really opened.
void PrepareMediaBackend();

class TQZMediaDevice : public QObject
{
    Q_OBJECT

public:
    static constexpr int OpenWaitMs = 3000;

    explicit TQZMediaDevice(QObject *parent = nullptr);
    ~TQZMediaDevice() override;

    // Closes the clip that is open, then opens `clipName`, showing video in
    // `video` (may be null for sound only). False when it cannot be opened;
    // the device is closed then.
    bool Open(const QString &clipName, QVideoWidget *video);
    // Stops and releases the clip. Closing a closed device succeeds.
    bool Close();

    bool IsOpen() const { return m_player != nullptr; }
    // The open clip has a picture.
    bool HasVideo() const;
    // The open clip is playing or paused, not stopped.
    bool IsStarted() const;
    // The open clip failed after Open() had returned; it has been closed.
    bool Failed() const { return m_failed; }
    // The resolved file of the open clip.
    QString FileName() const { return m_fileName; }

    // The bar's commands; without an open clip they do nothing.
    void Play();
    void Pause();
    void Stop();
    // Back to the start of the clip, keeping it playing or paused.
    void Previous();

signals:
    // Whether a picture is showing may have changed (video found, playing
    // started or stopped, clip closed or failed).
    void PictureStateChanged();

private:
    void Release();
    void OnLateError();

    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_audio;
    QString m_fileName;
    bool m_failed = false;
};
