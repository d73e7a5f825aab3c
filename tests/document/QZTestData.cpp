#include "QZTestData.h"

#include "QZCodePage.h"
#include "QZRecordFields.h"
#include "QZStream.h"

#include <QDir>

TFakeObject::TFakeObject(int typeTag)
    : TQZActiveControl(typeTag)
    , RecordBytes(NewObjectRecord(typeTag))
{
}

void TFakeObject::ResizeTo(qint32, qint32) { ++ResizeCount; }

void TFakeObject::SaveToStream(QByteArray &stream) const
{
    if (FailOnSave)
        throw TQZFileError(QStringLiteral("the object could not be written"));
    WriteObjectToStream(stream, ObjectTypeTag(), RecordBytes, {});
}

bool TFakeObject::OpenMedia()
{
    ++OpenCount;
    return MediaOpens;
}

bool TFakeObject::CloseMedia() { return MediaCloses; }

std::unique_ptr<TQZRecordObject> MakeObject(int typeTag, const QByteArray &payload)
{
    QByteArray record = NewObjectRecord(typeTag);
    if (typeTag == ObjOle && !payload.isEmpty())
        record[0] = 0; // holds an object
    auto object = std::make_unique<TQZRecordObject>(typeTag, record);
    if (!payload.isEmpty())
        object->SetPayload(payload);
    return object;
}

std::unique_ptr<TQZStran> PageWithEveryType(const TQZNaloga &test, const QString &name)
{
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord(EncodeDefault(name), "(Forward)", "(Forward)"));
    for (int tag = 0; tag < ObjectTypeCount; ++tag) {
        if (tag == ObjPage)
            continue;
        QByteArray payload;
        if (tag == ObjMemo)
            payload = QByteArrayLiteral("{\\rtf1\\ansi Rich \\b text\\b0\\par}");
        else if (tag == ObjSlika)
            payload = QByteArrayLiteral("BM") + QByteArray(60, '\x11');
        else if (tag == ObjOle)
            payload = QByteArrayLiteral("BDOC") + QByteArray(40, '\x22');
        page->AddObject(MakeObject(tag, payload));
    }
    // An empty OLE frame too: no payload follows its record.
    page->AddObject(MakeObject(ObjOle));
    return page;
}

std::unique_ptr<TQZNaloga> SampleTest(const QStringList &pageNames)
{
    auto test = std::make_unique<TQZNaloga>();
    test->TestRecord() = NewTestRecord();
    for (const QString &name : pageNames)
        test->AddPage(PageWithEveryType(*test, name));
    return test;
}

QByteArray SampleTestFile(const QStringList &pageNames) { return SampleTest(pageNames)->ToBytes(); }

QString CorpusFolder()
{
    return QDir(QStringLiteral(CORVELLA_SOURCE_DIR)).filePath(QStringLiteral("../shared/corpus"));
}
