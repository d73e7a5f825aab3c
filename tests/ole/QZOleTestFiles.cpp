#include "QZOleTestFiles.h"

#include "QZControls.h"
#include "QZRecordFields.h"
#include "QZStream.h"

#include <QDir>
#include <QFile>

QByteArray ReadCorpus(const QString &name)
{
    QFile file(QDir(CorpusOle).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray TestFileWithOle(const QByteArray &stream, quint8 activation)
{
    TQZNaloga test;
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord("OLE", "(Forward)", "(Forward)"));
    auto record = RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle));
    record.IsEmpty = 0;
    record.ActivationEnabled = activation;
    record.Left = 100;
    record.Top = 100;
    record.Width = 400;
    record.Height = 300;
    auto object = std::make_unique<TQZRecordObject>(ObjOle, RecordToBytes(record));
    object->SetPayload(stream);
    page->AddObject(std::move(object));
    test.AddPage(std::move(page));
    return test.ToBytes();
}
