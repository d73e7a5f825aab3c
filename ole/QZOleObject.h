// The OLE layer: the object stream that an OLE object stores behind its
// record, the compound-file storage inside it, and what the page needs of that
// storage: the type name, the cached presentation, and a package's file.
//
// An object stream is a 12-byte header of three little-endian int32 values
// (the signature "BDOC", the drawing aspect, the length n of the storage
// image) followed by n bytes of an OLE2 compound file. The stream is kept
// exactly as read, so that an object saves back bit for bit; everything else
// is read from it once, when it is parsed, and needs no compound-file reader
// afterwards.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class QPainter;
class QRect;

// "BDOC" read as a little-endian int32.
inline constexpr qint32 OleStreamSignature = 0x434F4442;
inline constexpr int OleStreamHeaderSize = 12;
// Drawing aspects of the object stream header.
inline constexpr qint32 OleAspectContent = 1;
inline constexpr qint32 OleAspectThumbnail = 2;
inline constexpr qint32 OleAspectIcon = 4;
inline constexpr qint32 OleAspectDocPrint = 8;

// The file an OLE package object wraps.
struct TOlePackage
{
    QString FileName; // the name shown under the icon, without folders
    QByteArray Content;
};

// The cached presentation of an object, as the storage's presentation stream
// holds it: a bitmap, or a Windows metafile (no placeable header) of a given
// extent.
struct TOlePresentation
{
    enum class TKind { Bitmap, Metafile };
    TKind Kind = TKind::Bitmap;
    QImage Bitmap;        // Kind Bitmap
    QByteArray Metafile;  // Kind Metafile: the metafile's records
    QSize ExtentHiMetric; // the object's size in 0.01 mm; may be empty
};

class TOleObject
{
public:
    // Parses an object stream. Raises TQZFileError saying what is wrong when
    // the header, the length or the compound file does not hold.
    static TOleObject FromStream(QByteArrayView stream);
    // An object stream holding `storage` (a compound-file image) as is.
    static QByteArray MakeStream(qint32 aspect, QByteArrayView storage);

    // The stream exactly as parsed.
    const QByteArray &Stream() const { return m_stream; }
    qint32 Aspect() const { return m_aspect; }
    QByteArrayView Storage() const;

    // The user type name from the object's \1CompObj ("Microsoft Word
    // Document"), else its programmatic name; empty when the storage has
    // neither.
    const QString &TypeName() const { return m_typeName; }
    // The programmatic name from \1CompObj ("Word.Document.8"); may be empty.
    const QString &ProgId() const { return m_progId; }
    // The storage's root class identifier, "{...}" upper case; empty when null.
    const QString &ClassId() const { return m_classId; }

    const std::optional<TOlePresentation> &Presentation() const { return m_presentation; }
    const std::optional<TOlePackage> &Package() const { return m_package; }

private:
    QByteArray m_stream;
    qint32 m_aspect = OleAspectContent;
    QString m_typeName;
    QString m_progId;
    QString m_classId;
    std::optional<TOlePresentation> m_presentation;
    std::optional<TOlePackage> m_package;
};

// A package object storage (a compound file with \1Ole10Native, \1CompObj and
// \1Ole) wrapping a file's content under the file's name (folders are
// dropped). Raises TQZFileError when the compound file cannot be written.
QByteArray MakePackageStorage(const QString &fileName, QByteArrayView content);
// The object stream of such a package, shown as an icon.
QByteArray MakePackageStream(const QString &fileName, QByteArrayView content);

// Reads the type name of an object stream for tools: "" when the stream does
// not parse or names no type.
QString OleTypeNameOf(QByteArrayView stream);
