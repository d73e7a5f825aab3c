#include "QZMediaDevice.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QVideoWidget>

#include <gst/gst.h>

namespace {

QString &TestFolderValue()
{
    static QString folder;
    return folder;
}

// Playlists and stream descriptions are text that points elsewhere; no clip
// format starts like them.
bool LooksLikePlaylist(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    QByteArray head = file.read(64);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    head = head.trimmed();
    return head.startsWith('#') || head.startsWith('<') || head.startsWith('[') ||
           head.startsWith("v=0");
}

// Reads a variable-length quantity of at most four bytes.
bool ReadQuantity(const QByteArray &data, qsizetype &at, qsizetype end, quint32 &value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= end)
            return false;
        const quint8 byte = quint8(data[at++]);
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// GStreamer's MIDI parser never finishes on some broken tracks (an undefined
// status byte, a chunk running past the end), and then closing the clip
// blocks for good; so a standard MIDI file is walked here first, event by
// event, and refused unless every track is well formed. Other files pass.
bool IsBrokenMidi(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.peek(4) != "MThd")
        return false;
    if (file.size() > 16 * 1024 * 1024)
        return true;
    const QByteArray data = file.readAll();
    const auto be32 = [&data](qsizetype at) {
        return quint32(quint8(data[at])) << 24 | quint32(quint8(data[at + 1])) << 16 |
               quint32(quint8(data[at + 2])) << 8 | quint32(quint8(data[at + 3]));
    };
    if (data.size() < 14 || be32(4) < 6 || be32(4) > quint32(data.size() - 8))
        return true;
    qsizetype at = 8 + qsizetype(be32(4));
    while (at + 8 <= data.size()) {
        const quint32 length = be32(at + 4);
        const bool track = data.mid(at, 4) == "MTrk";
        at += 8;
        if (length > quint32(data.size() - at))
            return true;
        const qsizetype end = at + qsizetype(length);
        quint8 status = 0;
        while (track && at < end) {
            quint32 value = 0;
            if (!ReadQuantity(data, at, end, value) || at >= end)
                return true;
            if (quint8(data[at]) & 0x80)
                status = quint8(data[at++]);
            else if (status < 0x80 || status >= 0xF0)
                return true; // running status without a channel message
            if (status < 0xF0) {
                const qsizetype bytes = (status & 0xE0) == 0xC0 ? 1 : 2;
                at += bytes;
            } else if (status == 0xF0 || status == 0xF7) {
                if (!ReadQuantity(data, at, end, value))
                    return true;
                at += qsizetype(value);
                status = 0;
            } else if (status == 0xFF) {
                if (at >= end)
                    return true;
                ++at;
                if (!ReadQuantity(data, at, end, value))
                    return true;
                at += qsizetype(value);
                status = 0;
            } else {
                return true; // undefined or real-time status inside a file
            }
            if (at > end)
                return true;
        }
        at = end;
    }
    return at != data.size();
}

bool HasFolder(const QString &clipName)
{
    return clipName.contains(QLatin1Char('/')) || clipName.contains(QLatin1Char('\\'));
}

// An existing regular file, canonical; empty otherwise.
QString RegularFile(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    const QFileInfo target(canonical);
    if (!target.isFile() || !target.isReadable() || canonical.startsWith(QStringLiteral("/dev/")))
        return {};
    return canonical;
}

} // namespace

void SetTestFolder(const QString &folder) { TestFolderValue() = folder; }

QString TestFolder() { return TestFolderValue(); }

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

bool TQZMediaDevice::IsRefusedName(const QString &clipName)
{
    // A scheme is two or more letters before a colon, so that a drive letter
    // of an old test ("C:\clips\a.wav") is a missing file, not a URL.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    const QString name = clipName.trimmed();
    return scheme.match(name).hasMatch() || name.startsWith(QStringLiteral("/dev/")) ||
           name == QStringLiteral("/dev");
}

QString TQZMediaDevice::ResolveClip(const QString &clipName)
{
    if (clipName.isEmpty() || IsRefusedName(clipName))
        return {};
    QString found = RegularFile(QDir::current().absoluteFilePath(clipName));
    if (found.isEmpty() && !HasFolder(clipName) && !TestFolder().isEmpty())
        found = RegularFile(QDir(TestFolder()).absoluteFilePath(clipName));
    if (found.isEmpty() || LooksLikePlaylist(found) || IsBrokenMidi(found))
        return {};
    return found;
}

bool TQZMediaDevice::Open(const QString &clipName, QVideoWidget *video)
{
    Release();
    const QString fileName = ResolveClip(clipName);
    if (fileName.isEmpty())
        return false;

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
