#include "QZStran.h"

#include "QZByteReader.h"
#include "QZCodePage.h"
#include "QZExtensionBlock.h"
#include "QZNaloga.h"
#include "QZScaling.h"
#include "QZStream.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const QString CanNotOpenMedia = QStringLiteral("I can not open the Media Player");
const QString CanNotCloseMedia = QStringLiteral("I can not close the Media Player");

qint32 Int32At(const QByteArray &record, int offset) { return LeAt<qint32>(record, offset); }

} // namespace

TQZStran::TQZStran(TQZSurface *surface, TQZObjectFactory *factory)
    : m_record(ZeroRecord<TPageRecord>())
    , m_surface(surface)
    , m_factory(factory ? factory : &RecordObjectFactory())
{
}

// Objects are destroyed in list order, as they were created.
TQZStran::~TQZStran()
{
    for (auto &object : m_objects)
        object.reset();
}

void TQZStran::SetPageRecord(const TPageRecord &record)
{
    m_record = record;
    if (m_surface)
        m_surface->SetPageColor(m_record.PageColor);
}

QString TQZStran::PageName() const { return DecodeDefault(m_record.PageName.Bytes()); }

QString TQZStran::CorrectTarget() const { return DecodeDefault(m_record.CorrectTarget.Bytes()); }

QString TQZStran::WrongTarget() const { return DecodeDefault(m_record.WrongTarget.Bytes()); }

TQZControl *TQZStran::AddObject(std::unique_ptr<TQZControl> object)
{
    TQZControl *added = object.get();
    m_objects.push_back(std::move(object));
    ++m_tagCounter;
    added->SetObjectTag(m_tagCounter);
    Saved = false;
    return added;
}

void TQZStran::DeleteObject(qint32 tag)
{
    const auto found = std::find_if(m_objects.begin(), m_objects.end(),
                                    [tag](const auto &object) { return object->Tag() == tag; });
    if (found != m_objects.end())
        m_objects.erase(found);
    Saved = false;
}

TQZControl *TQZStran::FindObject(qint32 tag) const
{
    for (const auto &object : m_objects)
        if (object->Tag() == tag)
            return object.get();
    return nullptr;
}

int TQZStran::IndexOfObject(qint32 tag) const
{
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i]->Tag() == tag)
            return int(i);
    return -1;
}

std::unique_ptr<TQZControl> TQZStran::TakeObject(qint32 tag)
{
    const int index = IndexOfObject(tag);
    if (index < 0)
        return nullptr;
    auto object = std::move(m_objects[size_t(index)]);
    m_objects.erase(m_objects.begin() + index);
    Saved = false;
    return object;
}

TQZControl *TQZStran::InsertObject(int index, std::unique_ptr<TQZControl> object)
{
    TQZControl *inserted = object.get();
    const int at = std::clamp(index, 0, ObjectCount());
    m_objects.insert(m_objects.begin() + at, std::move(object));
    if (inserted->Tag() <= 0)
        inserted->SetObjectTag(++m_tagCounter);
    else
        m_tagCounter = std::max(m_tagCounter, inserted->Tag());
    Saved = false;
    return inserted;
}

std::unique_ptr<TQZControl> TQZStran::MakeObject(int typeTag, const QByteArray &record,
                                                 QByteArrayView payload) const
{
    auto object = m_factory->CreateObject(typeTag, record, m_surface);
    if (!object)
        return nullptr;
    switch (typeTag) {
    case ObjMemo:
    case ObjSlika: object->LoadPayload(payload); break;
    case ObjOle:
        if (!payload.isEmpty())
            object->LoadPayload(payload);
        break;
    default: break;
    }
    return object;
}

void TQZStran::ShowObjects(bool visible)
{
    for (const auto &object : m_objects)
        object->SetShown(visible);
}

void TQZStran::Activate()
{
    for (const auto &object : m_objects) {
        if (object->ObjectTypeTag() != ObjMedia)
            continue;
        bool opened = object->OpenMedia();
        if (opened) {
            const QByteArray record = object->Record();
            object->ResizeTo(Int32At(record, offsetof(TMediaRecord, Width)),
                             Int32At(record, offsetof(TMediaRecord, Height)));
        }
        if (!opened && m_surface)
            m_surface->ShowError(CanNotOpenMedia);
    }
    SetPageRecord(m_record);
    ShowObjects(true);
}

void TQZStran::Deactivate()
{
    for (const auto &object : m_objects) {
        if (object->ObjectTypeTag() == ObjMedia && !object->CloseMedia() && m_surface)
            m_surface->ShowError(CanNotCloseMedia);
    }
    ShowObjects(false);
}

template<typename Visit> void TQZStran::ForEachQuestion(Visit visit) const
{
    for (const auto &object : m_objects)
        if (object->IsQuestion())
            visit(static_cast<TQZActiveControl &>(*object));
}

bool TQZStran::AllAnswered() const
{
    bool all = true;
    ForEachQuestion(
        [&all](const TQZActiveControl &question) { all = all && question.IsAnswered(); });
    return all;
}

bool TQZStran::AllCorrect() const
{
    bool all = true;
    ForEachQuestion(
        [&all](const TQZActiveControl &question) { all = all && question.IsCorrect(); });
    return all;
}

void TQZStran::AddScores(qint32 &earned, qint32 &possible) const
{
    ForEachQuestion([&](const TQZActiveControl &question) {
        question.AddScore(earned);
        question.AddMaxScore(possible);
    });
}

void TQZStran::ShowCorrectAnswers()
{
    ForEachQuestion([](TQZActiveControl &question) { question.ShowCorrectAnswer(); });
}

void TQZStran::SaveToStream(QByteArray &stream)
{
    const int count = std::min<int>(int(m_objects.size()), MaxPageObjects);
    m_record.ObjectCount = count;
    for (int i = 0; i < count; ++i)
        m_record.ObjectTypes[i] = quint8(m_objects[size_t(i)]->ObjectTypeTag());
    WriteRecord(stream, m_record);
    for (int i = 0; i < count; ++i)
        m_objects[size_t(i)]->SaveToStream(stream);
}

void TQZStran::LoadFromStream(TQZReader &reader)
{
    int capacity = MaxPageObjects;
    if (FileVersion > LastOldPageVersion) {
        m_record = reader.ReadRecord<TPageRecord>("the page record");
        static const QByteArray oldForward = QByteArrayLiteral("(Naprej)");
        static const QByteArray forward(ForwardTargetName);
        if (m_record.CorrectTarget == oldForward)
            m_record.CorrectTarget.SetBytes(forward);
        if (m_record.WrongTarget == oldForward)
            m_record.WrongTarget.SetBytes(forward);
    } else {
        const auto old = reader.ReadRecord<TOldPageRecord>("the page record");
        capacity = MaxOldPageObjects;
        m_record.PageName = old.PageName;
        m_record.CorrectTarget = old.CorrectTarget;
        m_record.WrongTarget = old.WrongTarget;
        m_record.ObjectCount = old.ObjectCount;
        const int count = std::clamp<int>(old.ObjectCount, 0, MaxOldPageObjects);
        std::memcpy(m_record.ObjectTypes, old.ObjectTypes, size_t(count));
        m_record.PageColor = old.PageColor;
    }

    const qint32 count = m_record.ObjectCount;
    if (count < 0 || count > capacity)
        throw TQZFileError(QStringLiteral("the page \"%1\" claims %2 objects, but a page holds "
                                          "0 to %3")
                               .arg(PageName())
                               .arg(count)
                               .arg(capacity));

    for (int i = 0; i < count; ++i) {
        const int tag = m_record.ObjectTypes[i];
        const int size = ObjectRecordSize(tag);
        if (size == 0)
            continue; // no object of this type: nothing is read
        QByteArray record(size, Qt::Uninitialized);
        reader.Read(record.data(), size, "an object record");
        auto object = m_factory->CreateObject(
            tag, ConvertedRecord(tag, record, TScaleDirection::ToScreen), m_surface);
        TQZControl *added = AddObject(std::move(object));

        // The length fields frame the payloads: the next record starts right
        // after them whatever the payload's reader makes of the bytes.
        switch (tag) {
        case ObjMemo:
            added->LoadPayload(
                reader.ReadPayload(Int32At(record, offsetof(TMemoRecord, RtfLength)), "rich text"));
            break;
        case ObjSlika:
            // A PictureKind that names no picture loads none, but its bytes
            // stay with the object and are written back.
            added->LoadSharedPayload(
                reader.ReadPayload(Int32At(record, offsetof(TSlikaRecord, PictureLength)),
                                   "a picture"),
                reader.Owner());
            break;
        case ObjOle:
            if (record.at(offsetof(TOleRecord, IsEmpty)) == 0)
                added->LoadPayload(reader.ReadPayload(
                    Int32At(record, offsetof(TOleRecord, OleLength)), "an OLE object"));
            break;
        default: break;
        }
    }
}

QJsonObject TQZStran::ExtraEntry() const
{
    QJsonObject entry = m_extra;
    QJsonArray objects;
    for (size_t i = 0; i < m_objects.size(); ++i) {
        const QJsonObject &extra = m_objects[i]->Extra();
        if (extra.isEmpty())
            continue;
        QJsonObject object{{ObjectKey, qint64(i) + 1}};
        for (auto it = extra.begin(); it != extra.end(); ++it)
            object.insert(it.key(), it.value());
        objects.append(object);
    }
    if (!objects.isEmpty())
        entry.insert(ObjectsKey, objects);
    return entry;
}

QStringList TQZStran::SetExtraEntry(const QJsonObject &entry)
{
    QStringList orphans;
    m_extra = entry;
    m_extra.remove(PageKey);
    m_extra.remove(ObjectsKey);
    for (const auto &object : m_objects)
        object->SetExtra({});
    const QJsonArray objects = entry.value(ObjectsKey).toArray();
    for (const QJsonValue &value : objects) {
        QJsonObject extra = value.toObject();
        const QJsonValue place = extra.value(ObjectKey);
        const double number = place.toDouble(-1);
        extra.remove(ObjectKey);
        if (!place.isDouble() || number != std::floor(number) || number < 1 ||
            number > double(m_objects.size())) {
            orphans << QStringLiteral("settings for object %1, which the page does not have")
                           .arg(place.isDouble() ? QString::number(number)
                                                 : QStringLiteral("(unnamed)"));
            continue;
        }
        m_objects[size_t(number) - 1]->SetExtra(extra);
    }
    return orphans;
}

QByteArray TQZStran::SettingsBlock() const
{
    QJsonObject entry = ExtraEntry();
    if (entry.isEmpty())
        return {};
    entry.insert(PageKey, 0);
    return EncodeExtensionBlock({{PagesKey, QJsonArray{entry}}});
}

void TQZStran::ReadSettingsBlock(QByteArrayView trailing)
{
    const TExtensionRead read = ReadExtensionBlock(trailing);
    if (read.Status != TExtensionRead::Good)
        return;
    for (const QJsonValue &value : read.Block.Settings.value(PagesKey).toArray()) {
        if (value.toObject().value(PageKey) == QJsonValue(0)) {
            SetExtraEntry(value.toObject());
            return;
        }
    }
}
