// corvolesample INPUT OUTPUT: wraps a file as an OLE package object stream, as
// the builder's Insert Object does, so that the example test can embed a
// document kept in the sources as plain text.
#include "QZOleObject.h"
#include "QZStream.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("Usage: corvolesample INPUT OUTPUT\n", stderr);
        return 1;
    }
    try {
        const QByteArray content = ReadWholeFile(arguments.at(1));
        WriteWholeFile(arguments.at(2),
                       MakePackageStream(QFileInfo(arguments.at(1)).fileName(), content));
    } catch (const TQZFileError &error) {
        std::fprintf(stderr, "corvolesample: %s\n", error.what());
        return 1;
    }
    return 0;
}
