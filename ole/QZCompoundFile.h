// OLE2 compound files in memory, read and written through libgsf. The glib
// headers stay in the .cpp: their macros clash with Qt's keywords.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <memory>
#include <optional>

// A compound-file image opened for reading. The image must outlive the
// object. Raises TQZFileError when the image is no compound file or its
// sector chains do not hold (a chain that runs out of the file or loops).
class TCompoundFile
{
public:
    explicit TCompoundFile(QByteArrayView image);
    ~TCompoundFile();
    TCompoundFile(const TCompoundFile &) = delete;
    TCompoundFile &operator=(const TCompoundFile &) = delete;

    // The root storage's class identifier, 16 bytes as stored.
    QByteArray ClassId() const;
    // The whole content of a stream directly under the root; nullopt when
    // there is none or it cannot be read. A stream is never larger than the
    // image it is read from.
    std::optional<QByteArray> Stream(const char *name) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> m_impl;
};

// Builds a compound file with streams under the root.
class TCompoundFileWriter
{
public:
    // `classId`: the root's 16-byte class identifier.
    explicit TCompoundFileWriter(const QByteArray &classId);
    void AddStream(const char *name, const QByteArray &content);
    // The compound-file image; raises TQZFileError when libgsf fails.
    QByteArray Finish() const;

private:
    QByteArray m_classId;
    QList<std::pair<QByteArray, QByteArray>> m_streams;
};

// Checks the header and every sector chain of a compound-file image: each
// chain stays inside the image and ends without revisiting a sector. Returns
// a description of the first fault, or an empty string.
QString CompoundFileFault(QByteArrayView image);
