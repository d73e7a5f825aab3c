#include "QZMediaDevice.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoWidget>

#include <gst/gst.h>

void PrepareMediaBackend()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", QByteArrayLiteral("gstreamer"));
    // GStreamer picks its elements itself, and some of them fetch more than
    // the file they were given: adaptive-streaming demuxers follow the
    // addresses in a playlist file, network sources serve any URI a demuxer
    // asks for. Ranking them out of automatic selection keeps a clip on the
    // local disk, whatever the file holds.
    static const char *const offline[] = {
        "souphttpsrc", "curlhttpsrc", "neonhttpsrc",  "giosrc",   "rtspsrc",   "rtmpsrc",
        "rtmp2src",    "udpsrc",      "tcpclientsrc", "srtsrc",   "ristsrc",   "hlsdemux",
        "hlsdemux2",   "dashdemux",   "dashdemux2",   "mssdemux", "mssdemux2", "sdpdemux",
    };
    QByteArray ranks = qgetenv("GST_PLUGIN_FEATURE_RANK");
    for (const char *feature : offline) {
        if (!ranks.isEmpty())
            ranks += ',';
        ranks += feature;
        ranks += ":NONE";
    }
    qputenv("GST_PLUGIN_FEATURE_RANK", ranks);

    // Qt's backend lists the machine's sound and video devices through every
    // GStreamer device provider ranked at least marginal. The Vulkan one opens
    // a Vulkan instance just to list Vulkan video sinks, which no clip plays
    // through: time spent at every start, and where no Vulkan driver is
    // installed the attempt fails and leaks its error text. The ranks above
    // reach element factories only, so this one is ranked out through the
    // registry, once GStreamer has read them.
    gst_init(nullptr, nullptr);
    if (GstPluginFeature *vulkan =
            gst_registry_lookup_feature(gst_registry_get(), "vulkandeviceprovider")) {
        gst_plugin_feature_set_rank(vulkan, GST_RANK_NONE);
        gst_object_unref(vulkan);
    }
}

TQZMediaDevice::TQZMediaDevice(QObject *parent)
    : QObject(parent)
{
}

TQZMediaDevice::~TQZMediaDevice() { Release(); }

bool TQZMediaDevice::Open(const QString &clipName, QVideoWidget *video)
{
    Release();
    const TClipLookup clip = LookUpClip(clipName);
    if (!clip.Found())
        return false;
    const QString &fileName = clip.Path;

    PrepareMediaBackend();
    m_player = std::make_unique<QMediaPlayer>();
    // A sound stream left without an output is an error of the whole clip,
    // so there always is one; without a sound device it plays into nothing.
    m_audio = std::make_unique<QAudioOutput>();
    m_player->setAudioOutput(m_audio.get());
    if (video)
        m_player->setVideoOutput(video);

    QEventLoop wait;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &wait, &QEventLoop::quit);
    connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, &wait,
            [&wait](QMediaPlayer::MediaStatus status) {
                if (status != QMediaPlayer::LoadingMedia && status != QMediaPlayer::NoMedia)
                    wait.quit();
            });
    connect(m_player.get(), &QMediaPlayer::errorOccurred, &wait, &QEventLoop::quit);
    m_player->setSource(QUrl::fromLocalFile(fileName));
    if (m_player->mediaStatus() == QMediaPlayer::LoadingMedia &&
        m_player->error() == QMediaPlayer::NoError) {
        timeout.start(OpenWaitMs);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (m_player->error() != QMediaPlayer::NoError ||
        m_player->mediaStatus() == QMediaPlayer::InvalidMedia ||
        m_player->mediaStatus() == QMediaPlayer::NoMedia) {
        Release();
        return false;
    }

    m_fileName = fileName;
    connect(m_player.get(), &QMediaPlayer::errorOccurred, this, &TQZMediaDevice::OnLateError);
    connect(m_player.get(), &QMediaPlayer::hasVideoChanged, this,
            &TQZMediaDevice::PictureStateChanged);
    connect(m_player.get(), &QMediaPlayer::playbackStateChanged, this,
            &TQZMediaDevice::PictureStateChanged);
    emit PictureStateChanged();
    return true;
}

bool TQZMediaDevice::Close()
{
    Release();
    return true;
}

void TQZMediaDevice::Release()
{
    const bool wasOpen = m_player != nullptr;
    if (m_player) {
        m_player->disconnect(this);
        m_player->stop();
        m_player->setVideoOutput(nullptr);
    }
    m_player.reset();
    m_audio.reset();
    m_fileName.clear();
    m_failed = false;
    if (wasOpen)
        emit PictureStateChanged();
}

void TQZMediaDevice::OnLateError()
{
    m_failed = true;
    m_player->stop();
    emit PictureStateChanged();
}

bool TQZMediaDevice::HasVideo() const { return m_player && !m_failed && m_player->hasVideo(); }

bool TQZMediaDevice::IsStarted() const
{
    return m_player && !m_failed && m_player->playbackState() != QMediaPlayer::StoppedState;
}

void TQZMediaDevice::Play()
{
    if (m_player && !m_failed)
        m_player->play();
}

void TQZMediaDevice::Pause()
{
    if (m_player && !m_failed)
        m_player->pause();
}

void TQZMediaDevice::Stop()
{
    if (m_player)
        m_player->stop();
}

void TQZMediaDevice::Previous()
{
    if (m_player && !m_failed)
        m_player->setPosition(0);
}
