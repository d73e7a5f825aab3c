#include "QZClipLookup.h"

#include "QZNaloga.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStringList>

#include <array>
#include <cerrno>
#include <climits>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString &TestFileValue()
{
    static QString fileName;
    return fileName;
}

// What a clip of a known extension must hold.
enum class TClipFamily { Sound, Midi, Video, SoundOrVideo };

struct TClipKind
{
    const char *Suffix;
    TClipFamily Family;
};

// Containers that hold sound alone or a picture too are of either family.
constexpr TClipKind ClipKinds[] = {
    {"wav", TClipFamily::Sound},        {"mp3", TClipFamily::Sound},
    {"oga", TClipFamily::Sound},        {"flac", TClipFamily::Sound},
    {"m4a", TClipFamily::Sound},        {"aif", TClipFamily::Sound},
    {"aiff", TClipFamily::Sound},       {"au", TClipFamily::Sound},
    {"mid", TClipFamily::Midi},         {"midi", TClipFamily::Midi},
    {"avi", TClipFamily::Video},        {"mpg", TClipFamily::Video},
    {"mpeg", TClipFamily::Video},       {"mpe", TClipFamily::Video},
    {"m4v", TClipFamily::Video},        {"mov", TClipFamily::Video},
    {"ogv", TClipFamily::Video},        {"ogg", TClipFamily::SoundOrVideo},
    {"mp4", TClipFamily::SoundOrVideo}, {"webm", TClipFamily::SoundOrVideo},
    {"mkv", TClipFamily::SoundOrVideo},
};

// Links followed in one name at most, as the system itself allows.
constexpr int MaxLinks = 40;

const TClipKind *KindOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    if (dot < 0 || dot < slash)
        return nullptr;
    const QStringView suffix = QStringView(fileName).mid(dot + 1);
    for (const TClipKind &kind : ClipKinds)
        if (suffix.compare(QLatin1String(kind.Suffix), Qt::CaseInsensitive) == 0)
            return &kind;
    return nullptr;
}

// Playlists and stream descriptions are text that points elsewhere; their
// types are filed under audio and video too.
bool IsPlaylistType(const QMimeType &type)
{
    static const char *const playlists[] = {
        "audio/x-mpegurl",      "audio/x-scpls",  "audio/x-ms-asx", "application/vnd.apple.mpegurl",
        "video/vnd.mpegurl",    "audio/x-ms-wax", "video/x-ms-wvx", "application/smil+xml",
        "application/xspf+xml",
    };
    for (const char *name : playlists)
        if (type.inherits(QLatin1String(name)))
            return true;
    return type.inherits(QStringLiteral("text/plain")) ||
           type.inherits(QStringLiteral("application/xml"));
}

// The content's type, from its bytes alone, agrees with the extension.
bool ContentAgrees(const QString &fileName, TClipFamily family)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QMimeType type = QMimeDatabase().mimeTypeForData(&file);
    if (IsPlaylistType(type))
        return false;
    const bool midi = type.inherits(QStringLiteral("audio/midi"));
    const bool sound = !midi && type.name().startsWith(QLatin1String("audio/"));
    const bool video = type.name().startsWith(QLatin1String("video/"));
    switch (family) {
    case TClipFamily::Sound: return sound;
    case TClipFamily::Midi: return midi;
    case TClipFamily::Video: return video;
    case TClipFamily::SoundOrVideo: return sound || video;
    }
    return false;
}

// Playlists and stream descriptions that no type was found for: no clip
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

// 0, or the error number of a failed lstat (or stat, following a link).
int StatOf(const QString &path, struct stat &info, bool followLink = false)
{
    const QByteArray native = QFile::encodeName(path);
    const int result =
        followLink ? ::stat(native.constData(), &info) : ::lstat(native.constData(), &info);
    return result == 0 ? 0 : errno;
}

QString LinkTarget(const QString &path)
{
    std::array<char, PATH_MAX> buffer{};
    const ssize_t length =
        ::readlink(QFile::encodeName(path).constData(), buffer.data(), buffer.size());
    if (length <= 0 || size_t(length) >= buffer.size())
        return {};
    return QFile::decodeName(QByteArray(buffer.data(), length));
}

QString Join(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString ParentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QStringList Components(const QString &path)
{
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

// The one entry of `folder` whose name is `name` but for case; empty when
// there is none or more than one. Only the names are read: no entry is
// looked at, so no mount point below the folder is woken.
QString MatchIgnoringCase(const QString &folder, const QString &name)
{
    DIR *listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return {};
    QString found;
    int matches = 0;
    while (const dirent *entry = ::readdir(listing)) {
        const QString entryName = QFile::decodeName(entry->d_name);
        if (entryName.compare(name, Qt::CaseInsensitive) == 0 && entryName != QLatin1String(".") &&
            entryName != QLatin1String("..")) {
            found = entryName;
            ++matches;
        }
    }
    ::closedir(listing);
    return matches == 1 ? found : QString();
}

// Follows `parts` from `folder` (absolute, without links) one component at a
// time, never looking at anything outside it: a ".." above the folder or a
// link whose target lies outside is refused before it is followed, and every
// component must lie on the folder's own file system.
TClipLookup FollowInside(const QString &folder, dev_t device, QStringList parts)
{
    const QString prefix = Join(folder, QString());
    QString current = folder;
    int links = 0;
    while (!parts.isEmpty()) {
        const QString part = parts.takeFirst();
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (current == folder)
                return {{}, TClipFault::OutsideFolder};
            // `current` holds no links, so its parent is the real one.
            current = ParentOf(current);
            continue;
        }
        QString next = Join(current, part);
        struct stat info;
        if (const int error = StatOf(next, info)) {
            if (error != ENOENT)
                return {{}, TClipFault::Missing};
            const QString other = MatchIgnoringCase(current, part);
            if (other.isEmpty())
                return {{}, TClipFault::Missing};
            next = Join(current, other);
            if (StatOf(next, info) != 0)
                return {{}, TClipFault::Missing};
        }
        if (S_ISLNK(info.st_mode)) {
            if (++links > MaxLinks)
                return {{}, TClipFault::Missing};
            const QString target = LinkTarget(next);
            if (target.isEmpty())
                return {{}, TClipFault::Missing};
            if (target.startsWith(QLatin1Char('/'))) {
                // A link may name the folder by its full path and still stay
                // inside; anything else is outside, whatever it would reach.
                if (target != folder && !target.startsWith(prefix))
                    return {{}, TClipFault::OutsideFolder};
                current = folder;
                parts = Components(target.mid(folder.size())) + parts;
            } else {
                parts = Components(target) + parts;
            }
            continue;
        }
        if (info.st_dev != device)
            return {{}, TClipFault::OtherMount};
        if (!parts.isEmpty() && !S_ISDIR(info.st_mode))
            return {{}, TClipFault::Missing};
        current = next;
    }
    return {current, TClipFault::None};
}

// Follows a relative name with "/" separators from the test's folder.
TClipLookup FollowFromTestFolder(const QString &name)
{
    const QString folder = QFileInfo(TestFolder()).canonicalFilePath();
    struct stat folderInfo;
    if (TestFolder().isEmpty() || folder.isEmpty() || StatOf(folder, folderInfo, true) != 0)
        return {{}, TClipFault::NoTestFolder};
    return FollowInside(folder, folderInfo.st_dev, Components(name));
}

} // namespace

void SetTestFile(const QString &fileName)
{
    TestFileValue() = fileName.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath();
}

QString TestFile() { return TestFileValue(); }

QString TestFolder()
{
    return TestFile().isEmpty() ? QString() : QFileInfo(TestFile()).absolutePath();
}

bool IsAddressName(const QString &clipName)
{
    // A scheme is two or more letters before a colon, so that a drive letter
    // of an old test ("C:\clips\a.wav") is a full path, not a URL.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    const QString name = TrimmedName(clipName);
    return scheme.match(name).hasMatch() || name.startsWith(QStringLiteral("/dev/")) ||
           name == QStringLiteral("/dev");
}

TClipLookup LookUpClip(const QString &clipName)
{
    static const QRegularExpression driveLetter(QStringLiteral("^[A-Za-z]:"));
    const QString trimmed = TrimmedName(clipName);
    if (trimmed.isEmpty())
        return {{}, TClipFault::NoName};
    if (IsAddressName(trimmed))
        return {{}, TClipFault::Address};
    QString name = trimmed;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.startsWith(QLatin1Char('/')) || driveLetter.match(name).hasMatch())
        return {{}, TClipFault::FullPath};
    // The kind is known from the name before anything is looked up.
    if (!KindOf(name))
        return {{}, TClipFault::UnknownKind};

    TClipLookup found = FollowFromTestFolder(name);
    if (!found.Found())
        return found;
    struct stat info;
    struct stat testInfo;
    if (StatOf(found.Path, info) != 0 || !S_ISREG(info.st_mode))
        found.Fault = TClipFault::NotAFile;
    else if (StatOf(TestFile(), testInfo, true) == 0 && testInfo.st_dev == info.st_dev &&
             testInfo.st_ino == info.st_ino)
        found.Fault = TClipFault::TestFile;
    else if (::access(QFile::encodeName(found.Path).constData(), R_OK) != 0)
        found.Fault = TClipFault::Missing;
    else if (const TClipKind *kind = KindOf(found.Path); !kind)
        found.Fault = TClipFault::UnknownKind;
    else if (!ContentAgrees(found.Path, kind->Family))
        found.Fault = TClipFault::WrongContent;
    else if (LooksLikePlaylist(found.Path) || IsBrokenMidi(found.Path))
        found.Fault = TClipFault::Unplayable;
    return found;
}

QString ClipNameForFile(const QString &chosenFile)
{
    const QString folder = QFileInfo(TestFolder()).canonicalFilePath();
    const QString file = QFileInfo(chosenFile).canonicalFilePath();
    if (TestFile().isEmpty() || folder.isEmpty() || file.isEmpty())
        return {};
    const QString name = QDir(folder).relativeFilePath(file);
    if (name.isEmpty() || name == QLatin1String("..") || name.startsWith(QLatin1String("../")) ||
        QDir::isAbsolutePath(name) || name.contains(QLatin1Char('\\')))
        return {};
    // Inside by its path, and reached so by the player too: not through
    // another mounted file system.
    return FollowFromTestFolder(name).Path == file ? name : QString();
}
