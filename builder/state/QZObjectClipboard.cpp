#include "QZObjectClipboard.h"

#include "QZJson.h"
#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZStream.h"
#include "QZUndoCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeData>

namespace CorvBuilder {

namespace {

// Objects made while it lives start hidden, as a page file's are.
class THiddenObjects
{
public:
    THiddenObjects()
        : m_was(std::exchange(TestLoading, true))
    {
    }
    ~THiddenObjects() { TestLoading = m_was; }
    THiddenObjects(const THiddenObjects &) = delete;
    THiddenObjects &operator=(const THiddenObjects &) = delete;

private:
    bool m_was;
};

} // namespace

QString ObjectMimeType() { return QStringLiteral("application/x-corvella-object"); }

void CopyObjectToClipboard(const TQZControl &object)
{
    if (!qGuiApp)
        return;
    const int type = object.ObjectTypeTag();
    TPageRecord page = ZeroRecord<TPageRecord>();
    page.ObjectCount = 1;
    page.ObjectTypes[0] = quint8(type);
    QByteArray stream;
    WriteRecord(stream, page);
    object.SaveToStream(stream);
    // The object's settings follow as a page file's would.
    if (!object.Extra().isEmpty()) {
        QJsonObject settings = object.Extra();
        settings.insert(ObjectKey, 1);
        stream.append(EncodeExtensionBlock(
            {{PagesKey,
              QJsonArray{QJsonObject{{PageKey, 0}, {ObjectsKey, QJsonArray{settings}}}}}}));
    }

    auto *data = new QMimeData;
    data->setData(ObjectMimeType(), stream);
    data->setText(QString::fromUtf8(
        QJsonDocument(ObjectToJson(object, false)).toJson(QJsonDocument::Indented)));
    const QString own = ClipboardFormatOfType(type);
    if (!own.isEmpty())
        data->setData(own, object.Record());
    QGuiApplication::clipboard()->setMimeData(data); // the clipboard owns it
}

std::vector<std::unique_ptr<TQZControl>> ObjectsFromClipboard(const TQZNaloga &test)
{
    std::vector<std::unique_ptr<TQZControl>> objects;
    const QMimeData *data = qGuiApp ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!data)
        return objects;
    auto page = test.NewPage();
    if (data->hasFormat(ObjectMimeType())) {
        // Read as a page file is: a damaged stream adds nothing.
        try {
            const THiddenObjects hidden;
            const QByteArray stream = data->data(ObjectMimeType());
            TQZReader reader(stream);
            page->LoadFromStream(reader);
            page->ReadSettingsBlock(reader.Data().sliced(reader.Position()));
        } catch (const TQZFileError &) {
            return objects;
        }
        while (page->ObjectCount() > 0) {
            auto object = page->TakeObject(page->Objects().front()->Tag());
            object->SetObjectTag(0);
            objects.push_back(std::move(object));
        }
        return objects;
    }
    // Choices copied by older builders: the live record alone.
    const QString format = ClipboardFormatOfType(ObjIzbire);
    const QByteArray record = data->data(format);
    if (data->hasFormat(format) && record.size() == RecordSize(ObjIzbire)) {
        const THiddenObjects hidden;
        if (auto object = page->MakeObject(ObjIzbire, record, {}))
            objects.push_back(std::move(object));
    }
    return objects;
}

void KeepOffOthers(TQZControl &object, const TQZStran &page, int gridStep)
{
    const int step = std::max(gridStep, 1);
    for (int tries = 0; tries < 100; ++tries) {
        const QRect place = ObjectGeometry(object);
        bool taken = false;
        for (const auto &other : page.Objects())
            taken = taken || (other.get() != &object && ObjectGeometry(*other) == place);
        if (!taken)
            return;
        object.MoveTo(place.left() + step, place.top() + step);
    }
}

} // namespace CorvBuilder
