#include "QZDataFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// CORVELLA_INSTALL_DATADIR: the absolute data folder of the build's install
// prefix; CORVELLA_BIN_TO_DATADIR: the data folder relative to the programs'
// installed folder. Both are given by the build.

namespace {

const QString DataSubfolder = QStringLiteral("corvella");

QString Joined(const QString &folder, const QString &name)
{
    return name.isEmpty() ? QDir::cleanPath(folder) : QDir::cleanPath(folder + u'/' + name);
}

} // namespace

QString InstalledDataFolder()
{
    return QDir::cleanPath(QStringLiteral(CORVELLA_INSTALL_DATADIR) + u'/' + DataSubfolder);
}

QStringList DataFolders(const QString &name)
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList candidates{
        Joined(programFolder, name),
        Joined(programFolder + QStringLiteral("/" CORVELLA_BIN_TO_DATADIR "/") + DataSubfolder,
               name),
        Joined(InstalledDataFolder(), name),
    };
    const QStringList xdgFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &folder : xdgFolders)
        candidates << Joined(folder + u'/' + DataSubfolder, name);

    QStringList folders;
    QStringList seen;
    for (const QString &candidate : std::as_const(candidates)) {
        const QFileInfo info(candidate);
        if (!info.isDir())
            continue;
        const QString canonical = info.canonicalFilePath();
        if (seen.contains(canonical))
            continue;
        seen << canonical;
        folders << candidate;
    }
    return folders;
}

QString DataFile(const QString &fileName)
{
    const QStringList folders = DataFolders();
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
}
