#include "QZExtensionBlock.h"

#include "QZByteReader.h"
#include "QZTestSettings.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

const QByteArrayView Magic(ExtensionMagic, sizeof ExtensionMagic);

TExtensionRead Damaged(const QString &problem)
{
    TExtensionRead read;
    read.Status = TExtensionRead::Damaged;
    read.Problem = problem + QStringLiteral(": the test is read with the default settings");
    return read;
}

} // namespace

QByteArray TExtensionBlock::ToBytes(const QJsonObject &gathered) const
{
    return !Stored.isEmpty() && gathered == Read ? Stored : EncodeExtensionBlock(gathered);
}

QByteArray EncodeExtensionBlock(QJsonObject settings)
{
    TTestSettings::DropDefaults(settings);
    if (settings.isEmpty())
        return {};
    const QByteArray json = QJsonDocument(settings).toJson(QJsonDocument::Compact);
    QByteArray block;
    block.reserve(ExtensionHeaderSize + json.size() + ExtensionChecksumSize);
    block.append(Magic);
    AppendLe<quint16>(block, ExtensionFormat);
    AppendLe<quint32>(block, quint32(json.size()));
    block.append(json);
    block.append(QCryptographicHash::hash(json, QCryptographicHash::Sha256));
    return block;
}

TExtensionRead ReadExtensionBlock(QByteArrayView trailing)
{
    if (trailing.isEmpty())
        return {};
    if (!trailing.startsWith(Magic)) {
        // The file may stop inside the magic: a block cut short.
        if (trailing.size() < Magic.size() && Magic.startsWith(trailing))
            return Damaged(QStringLiteral("the file ends inside the settings block after the "
                                          "last page"));
        return {};
    }
    TByteReader reader(trailing);
    reader.Skip(Magic.size());
    const quint16 version = reader.U16();
    if (reader.Failed())
        return Damaged(QStringLiteral("the file ends inside the settings block after the last "
                                      "page"));
    if (version > ExtensionFormat) {
        TExtensionRead read;
        read.Status = TExtensionRead::Newer;
        read.Block.Stored = trailing.toByteArray();
        read.Size = trailing.size();
        read.Problem = QStringLiteral("the settings block after the last page is of format %1, "
                                      "newer than this program reads (%2): its settings are not "
                                      "used, and it is saved back as it is")
                           .arg(version)
                           .arg(ExtensionFormat);
        return read;
    }
    if (version < ExtensionFormat)
        return Damaged(QStringLiteral("the settings block after the last page has format %1, "
                                      "which no program writes")
                           .arg(version));
    const quint32 length = reader.U32();
    if (reader.Failed())
        return Damaged(QStringLiteral("the file ends inside the settings block after the last "
                                      "page"));
    const QByteArrayView json = reader.Take(length);
    const QByteArrayView checksum = reader.Take(ExtensionChecksumSize);
    if (reader.Failed())
        return Damaged(QStringLiteral("the settings block after the last page says it holds %1 "
                                      "bytes of settings, which runs past the end of the file")
                           .arg(length));
    if (QCryptographicHash::hash(json, QCryptographicHash::Sha256) != checksum)
        return Damaged(QStringLiteral("the checksum of the settings block after the last page "
                                      "does not match its contents"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError)
        return Damaged(QStringLiteral("the settings block after the last page is not valid "
                                      "JSON: %1 at character %2")
                           .arg(error.errorString())
                           .arg(error.offset));
    if (!document.isObject())
        return Damaged(QStringLiteral("the settings block after the last page holds no JSON "
                                      "object"));
    TExtensionRead read;
    read.Status = TExtensionRead::Good;
    read.Size = reader.Position();
    read.Block.Settings = document.object();
    read.Block.Read = read.Block.Settings;
    read.Block.Stored = trailing.first(read.Size).toByteArray();
    return read;
}
