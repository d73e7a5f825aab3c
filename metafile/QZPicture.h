// The picture of a picture object: the bytes of a bitmap file, a metafile
// (enhanced, or Windows with or without its placeable header) or an icon file,
// kept exactly as they were loaded, and what Qt draws of them. Saving gives
// back the original bytes. A picture is checked when it is loaded, and
// decoded then or later, when it is to be drawn; the decoding takes its share
// of the open test's picture memory (QZPictureMemory.h) and can be dropped
// and made again.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

#include "QZPictureMemory.h"

#include <memory>

class QPainter;
class QRect;
class QSvgRenderer;

// The picture kinds as a picture record stores them.
enum class TPictureKind : quint8 { Bitmap = 0, Metafile = 1, Icon = 2 };

// The largest picture accepted, in bytes and in pixels of a decoded image.
inline constexpr qsizetype MaxPictureBytes = 64 * 1024 * 1024;
inline constexpr qint64 MaxPicturePixels = 40'000'000;

class TQZPicture
{
public:
    TQZPicture();
    ~TQZPicture();
    TQZPicture(TQZPicture &&) noexcept;
    TQZPicture &operator=(TQZPicture &&) noexcept;

    // Checks and decodes `bytes` as a picture of `kind`. On failure the
    // picture stays as it was and `error` (if given) says why.
    bool Load(QByteArrayView bytes, TPictureKind kind, QString *error = nullptr);
    // Checks `bytes` as a picture of `kind` without decoding it: headers,
    // sizes, a metafile's records. On failure the picture stays as it was.
    // With `owner` (the array `bytes` lies in, say a test file read whole)
    // the picture keeps a shared reference to owner and views its bytes in
    // place instead of copying them.
    bool LoadChecked(QByteArrayView bytes, TPictureKind kind, QString *error = nullptr,
                     const QByteArray &owner = {});
    // Decodes a checked picture, unless it is decoded. False with `error`
    // when it cannot be: a picture that does not decode is not tried again,
    // one the picture memory cannot hold now is.
    bool Decode(QString *error = nullptr);
    // Frees the decoding; the bytes stay.
    void Drop();
    bool IsDecoded() const { return m_decoded; }
    // Loads a picture file; its kind is taken from the name's extension
    // (".bmp" bitmap, ".ico" icon, ".emf" and ".wmf" metafile).
    bool LoadFile(const QString &fileName, QString *error = nullptr);
    void Clear();

    bool IsNull() const { return m_bytes.isEmpty(); }
    TPictureKind Kind() const { return m_kind; }
    // The bytes exactly as loaded (a copy of their own).
    QByteArray Bytes() const { return QByteArray(m_bytes.constData(), m_bytes.size()); }
    // The picture's own size in pixels; for icons and Windows metafiles
    // without a placeable header known once decoded.
    QSize NaturalSize() const { return m_naturalSize; }

    // Draws the decoded picture scaled into `target`; nothing when it is not
    // decoded.
    void Draw(QPainter &painter, const QRect &target) const;
    // The picture drawn at `size` on a transparent background.
    QImage Rendered(QSize size) const;

private:
    // The bytes as loaded: an array of their own, or a view into m_owner.
    QByteArray m_owner;
    QByteArray m_bytes;
    TPictureKind m_kind = TPictureKind::Bitmap;
    QSize m_naturalSize;
    QImage m_image;
    std::unique_ptr<QSvgRenderer> m_svg;
    TPictureMemoryToken m_memory;
    bool m_decoded = false;
    QString m_failure; // why decoding failed, once it has
};

// The kind of a picture file by its name's extension; false when the
// extension names none.
bool PictureKindOfFile(const QString &fileName, TPictureKind &kind);
