#include "QZCompoundFile.h"

#include "QZByteReader.h"
#include "QZStream.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

namespace {

template<typename T> struct TUnref
{
    void operator()(T *object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template<typename T> using TGsfPtr = std::unique_ptr<T, TUnref<T>>;

QString GErrorText(GError *error)
{
    const QString text = error && error->message ? QString::fromUtf8(error->message) : QString();
    if (error)
        g_error_free(error);
    return text;
}

} // namespace

struct TCompoundFile::TImpl
{
    QByteArrayView Image;
    TGsfPtr<GsfInput> Input;
    TGsfPtr<GsfInfile> Root;
};

namespace {

// libgsf logs what it finds wrong in a file on the process's standard error;
// damage is reported to the user through the opening error instead.
void SilenceLibgsf()
{
    static const bool silenced = [] {
        const auto levels =
            GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE);
        const auto ignore = [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {
        };
        g_log_set_handler("libgsf:msole", levels, ignore, nullptr);
        g_log_set_handler("libgsf", levels, ignore, nullptr);
        return true;
    }();
    Q_UNUSED(silenced);
}

} // namespace

TCompoundFile::TCompoundFile(QByteArrayView image)
    : m_impl(std::make_unique<TImpl>())
{
    SilenceLibgsf();
    m_impl->Image = image;
    const QString fault = CompoundFileFault(image);
    if (!fault.isEmpty())
        throw TQZFileError(QStringLiteral("the OLE object's storage is damaged: %1").arg(fault));
    m_impl->Input.reset(gsf_input_memory_new(reinterpret_cast<const guint8 *>(image.data()),
                                             gsf_off_t(image.size()), FALSE));
    if (!m_impl->Input)
        throw TQZFileError(QStringLiteral("the OLE object's storage cannot be read"));
    GError *error = nullptr;
    m_impl->Root.reset(gsf_infile_msole_new(m_impl->Input.get(), &error));
    const QString why = GErrorText(error);
    if (!m_impl->Root)
        throw TQZFileError(QStringLiteral("the OLE object's storage is no compound file%1")
                               .arg(why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
}

TCompoundFile::~TCompoundFile() = default;

QByteArray TCompoundFile::ClassId() const
{
    guint8 id[16] = {};
    if (!gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(m_impl->Root.get()), id))
        return {};
    return QByteArray(reinterpret_cast<const char *>(id), 16);
}

std::optional<QByteArray> TCompoundFile::Stream(const char *name) const
{
    TGsfPtr<GsfInput> child(gsf_infile_child_by_name(m_impl->Root.get(), name));
    if (!child)
        return std::nullopt;
    // A storage has children; a stream has none and a size.
    if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) > 0)
        return std::nullopt;
    const gsf_off_t size = gsf_input_size(child.get());
    if (size < 0 || size > gsf_off_t(m_impl->Image.size()))
        return std::nullopt;
    QByteArray content(qsizetype(size), Qt::Uninitialized);
    if (size > 0 &&
        !gsf_input_read(child.get(), size_t(size), reinterpret_cast<guint8 *>(content.data())))
        return std::nullopt;
    return content;
}

TCompoundFileWriter::TCompoundFileWriter(const QByteArray &classId)
    : m_classId(classId)
{
}

void TCompoundFileWriter::AddStream(const char *name, const QByteArray &content)
{
    m_streams.append({QByteArray(name), content});
}

QByteArray TCompoundFileWriter::Finish() const
{
    const auto fail = [] {
        return TQZFileError(QStringLiteral("the OLE object's storage cannot be written"));
    };
    TGsfPtr<GsfOutput> sink(gsf_output_memory_new());
    if (!sink)
        throw fail();
    TGsfPtr<GsfOutfile> root(gsf_outfile_msole_new(sink.get()));
    if (!root)
        throw fail();
    if (m_classId.size() == 16 &&
        !gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(root.get()),
                                        reinterpret_cast<const guint8 *>(m_classId.data())))
        throw fail();
    for (const auto &[name, content] : m_streams) {
        TGsfPtr<GsfOutput> child(gsf_outfile_new_child(root.get(), name.constData(), FALSE));
        if (!child)
            throw fail();
        const bool written =
            content.isEmpty() ||
            gsf_output_write(child.get(), size_t(content.size()),
                             reinterpret_cast<const guint8 *>(content.constData()));
        if (!gsf_output_close(child.get()) || !written)
            throw fail();
    }
    if (!gsf_output_close(GSF_OUTPUT(root.get())))
        throw fail();
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8 *bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    if (size <= 0 || !bytes)
        throw fail();
    return QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size));
}

namespace {

constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 NoStream = 0xFFFFFFFF;
constexpr qsizetype DirectoryEntrySize = 128;

// The compound file's structure as far as its chains go; every read is
// bounds-checked against the image.
class TChainChecker
{
public:
    explicit TChainChecker(QByteArrayView image)
        : m_image(image)
    {
    }

    QString Check()
    {
        static const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
        if (m_image.size() < 512 || !m_image.startsWith(QByteArrayView(signature, 8)))
            return QStringLiteral("it does not begin with a compound-file header");
        const quint32 shift = U16(0x1E);
        const quint32 miniShift = U16(0x20);
        if (shift < 7 || shift > 16 || miniShift >= shift)
            return QStringLiteral("its sector size is impossible");
        m_sectorSize = qsizetype(1) << shift;
        m_miniSectorSize = qsizetype(1) << miniShift;
        m_sectorCount = quint64(m_image.size() + m_sectorSize - 1) / quint64(m_sectorSize) - 1;

        // The sectors of the allocation table: 109 in the header, the rest in
        // a chain of DIFAT sectors.
        const quint32 fatCount = U32(0x2C);
        if (fatCount > m_sectorCount)
            return QStringLiteral("its allocation table is larger than the file");
        QList<quint32> fatSectors;
        for (quint32 i = 0; i < 109 && quint32(fatSectors.size()) < fatCount; ++i)
            fatSectors << U32(0x4C + 4 * i);
        quint32 difat = U32(0x44);
        const qsizetype perDifat = m_sectorSize / 4 - 1;
        QList<bool> seen(qsizetype(m_sectorCount), false);
        while (quint32(fatSectors.size()) < fatCount) {
            if (difat >= m_sectorCount || seen[difat])
                return QStringLiteral("its allocation table's chain runs out of the file or "
                                      "loops");
            seen[difat] = true;
            const qsizetype at = SectorOffset(difat);
            for (qsizetype i = 0; i < perDifat && quint32(fatSectors.size()) < fatCount; ++i)
                fatSectors << U32(at + 4 * i);
            difat = U32(at + 4 * perDifat);
        }
        for (quint32 sector : std::as_const(fatSectors)) {
            if (sector >= m_sectorCount)
                return QStringLiteral("its allocation table lies outside the file");
            const qsizetype at = SectorOffset(sector);
            for (qsizetype i = 0; i < m_sectorSize / 4; ++i)
                m_fat << U32(at + 4 * i);
        }

        QList<quint32> directory;
        if (!Walk(m_fat, U32(0x30), m_sectorCount, &directory))
            return QStringLiteral("the chain of its directory runs out of the file or loops");
        QList<quint32> miniFat;
        if (!Walk(m_fat, U32(0x3C), m_sectorCount, &miniFat))
            return QStringLiteral("the chain of its small-block table runs out of the file or "
                                  "loops");
        for (quint32 sector : std::as_const(miniFat))
            for (qsizetype i = 0; i < m_sectorSize / 4; ++i)
                m_miniFat << U32(SectorOffset(sector) + 4 * i);

        const quint32 cutoff = U32(0x38);
        QList<qsizetype> entries;
        for (quint32 sector : std::as_const(directory))
            for (qsizetype i = 0; i < m_sectorSize / DirectoryEntrySize; ++i)
                entries << SectorOffset(sector) + i * DirectoryEntrySize;
        if (entries.isEmpty())
            return QStringLiteral("it has no directory");
        quint64 miniSectors = 0;
        {
            QList<quint32> miniStream;
            if (!Walk(m_fat, U32(entries[0] + 0x74), m_sectorCount, &miniStream))
                return QStringLiteral("the chain of its small-block stream runs out of the file "
                                      "or loops");
            miniSectors = quint64(miniStream.size()) * quint64(m_sectorSize / m_miniSectorSize);
        }
        for (qsizetype entry : std::as_const(entries)) {
            const quint8 type = U8(entry + 0x42);
            if (type != 2)
                continue;
            const quint32 start = U32(entry + 0x74);
            const quint32 size = U32(entry + 0x78);
            const bool small = size < cutoff;
            if (size == 0)
                continue;
            QList<quint32> chain;
            if (!(small ? Walk(m_miniFat, start, miniSectors, &chain)
                        : Walk(m_fat, start, m_sectorCount, &chain)))
                return QStringLiteral("the chain of a stream runs out of the file or loops");
            const quint64 unit = quint64(small ? m_miniSectorSize : m_sectorSize);
            if (quint64(chain.size()) * unit < size)
                return QStringLiteral("a stream is longer than its chain");
        }
        return CheckTree(entries);
    }

private:
    // Fields outside the image read as nothing: no type, no stream.
    quint8 U8(qsizetype at) const { return LeAt<quint8>(m_image, at); }
    quint16 U16(qsizetype at) const { return LeAt<quint16>(m_image, at); }
    quint32 U32(qsizetype at) const { return LeAt<quint32>(m_image, at, NoStream); }
    qsizetype SectorOffset(quint32 sector) const { return (qsizetype(sector) + 1) * m_sectorSize; }

    // Follows a chain in a table; false when it leaves the table or the
    // sectors that exist, or comes back to a sector it passed.
    bool Walk(const QList<quint32> &table, quint32 start, quint64 limit, QList<quint32> *chain)
    {
        ++m_walk;
        if (m_stamp.size() < table.size())
            m_stamp.resize(table.size(), 0);
        quint32 sector = start;
        while (sector != EndOfChain && sector != NoStream) {
            if (sector >= quint32(table.size()) || sector >= limit || m_stamp[sector] == m_walk)
                return false;
            m_stamp[sector] = m_walk;
            if (chain)
                *chain << sector;
            sector = table[sector];
        }
        return true;
    }

    // The directory is a tree of siblings and children: it must not loop.
    QString CheckTree(const QList<qsizetype> &entries) const
    {
        QList<bool> seen(entries.size(), false);
        QList<quint32> pending{0};
        seen[0] = true;
        while (!pending.isEmpty()) {
            const qsizetype entry = entries[pending.takeLast()];
            for (qsizetype link : {0x44, 0x48, 0x4C}) {
                const quint32 next = U32(entry + link);
                if (next == NoStream)
                    continue;
                if (next >= quint32(entries.size()) || seen[next])
                    return QStringLiteral("its directory tree loops or points outside itself");
                seen[next] = true;
                pending << next;
            }
        }
        return {};
    }

    QByteArrayView m_image;
    qsizetype m_sectorSize = 512;
    qsizetype m_miniSectorSize = 64;
    quint64 m_sectorCount = 0;
    QList<quint32> m_fat;
    QList<quint32> m_miniFat;
    QList<quint32> m_stamp;
    quint32 m_walk = 0;
};

} // namespace

QString CompoundFileFault(QByteArrayView image) { return TChainChecker(image).Check(); }
