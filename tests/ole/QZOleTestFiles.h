// The object streams the OLE tests load: storages of the shared corpus, and a
// test file of one page holding one OLE object.
#pragma once

#include <QByteArray>
#include <QString>

// The folder of OLE storages in the shared corpus.
const QString CorpusOle = QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/ole");

// A storage of CorpusOle by its name; empty when it cannot be read.
QByteArray ReadCorpus(const QString &name);

// A test file of one page holding one OLE object with the given stream,
// written by headless record objects.
QByteArray TestFileWithOle(const QByteArray &stream, quint8 activation = 0);
