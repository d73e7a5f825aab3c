// The extension block: the settings of a test (QZTestSettings.h) after the
// last page of a test file, where readers that know only the pages never
// look. A page file has one after its page when the page holds settings.
//
// Layout, little-endian:
//   8 bytes  magic "CVLXTND\0"
//   2 bytes  format version (1)
//   4 bytes  length of the JSON text in bytes
//   n bytes  a JSON object, compact UTF-8
//   32 bytes SHA-256 of the JSON text
// A block of a newer format may be laid out otherwise after its version: it
// runs to the end of the file and is carried as it is.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>

inline constexpr char ExtensionMagic[8] = {'C', 'V', 'L', 'X', 'T', 'N', 'D', '\0'};
inline constexpr quint16 ExtensionFormat = 1;
// Magic, format version and length.
inline constexpr qsizetype ExtensionHeaderSize = 14;
inline constexpr qsizetype ExtensionChecksumSize = 32;

// Settings of pages and their objects are in one array under "pages", an
// entry per page that has any: {"page": index in the file counted from 0,
// the page's own keys, "objects": [{"object": place in the page's stacking
// order counted from 1, the object's keys}, ...]}. A page file's block has
// one entry, for page 0.
inline const QString PagesKey = QStringLiteral("pages");
inline const QString PageKey = QStringLiteral("page");
inline const QString ObjectsKey = QStringLiteral("objects");
inline const QString ObjectKey = QStringLiteral("object");

// The block of a test as an editor holds it.
struct TExtensionBlock
{
    // The test's own settings (every key but "pages", which the pages and
    // objects hold once read); empty when the test keeps every default.
    QJsonObject Settings;
    // The block as it was read, and the JSON it held: the bytes are written
    // back unchanged while the settings gathered for writing equal that
    // JSON, so that a file re-saved untouched keeps its bytes. A block of a
    // newer format, whose settings are not used, has an empty Read and so is
    // kept while nothing is set. Both are empty for a block to be written
    // afresh.
    QByteArray Stored;
    QJsonObject Read;

    // The bytes to write after the last page for these gathered settings:
    // Stored, or a new block when they hold anything but defaults, or
    // nothing.
    QByteArray ToBytes(const QJsonObject &gathered) const;

    bool operator==(const TExtensionBlock &) const = default;
};

// A new block holding `settings` less the keys that keep their defaults;
// empty when nothing is left.
QByteArray EncodeExtensionBlock(QJsonObject settings);

struct TExtensionRead
{
    enum TStatus {
        None,    // no block: nothing, or bytes that are not a block of ours
        Good,    // Block holds the settings and the bytes read
        Newer,   // a newer format: Block.Stored holds it, its settings unused
        Damaged, // Problem says why; the settings keep their defaults
    };
    TStatus Status = None;
    TExtensionBlock Block;
    // Why the block's settings are not used, as a clause; empty for None and
    // Good.
    QString Problem;
    // The number of bytes the block takes (Good and Newer).
    qsizetype Size = 0;
};

// Reads the bytes that follow the last page. Bytes that begin otherwise than
// the magic are no block (readers have always ignored them); bytes that
// begin with it, or that stop inside it, are a block, read or reported.
TExtensionRead ReadExtensionBlock(QByteArrayView trailing);
