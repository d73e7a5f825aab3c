#include "QZControl.h"

#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

TQZSurface::~TQZSurface() = default;
TQZObjectFactory::~TQZObjectFactory() = default;

TQZControl::TQZControl(int typeTag)
    : m_typeTag(typeTag)
{
}

TQZControl::~TQZControl() = default;

void TQZControl::LoadPayload(QByteArrayView) {}

void TQZControl::LoadSharedPayload(QByteArrayView payload, const QByteArray &)
{
    LoadPayload(payload);
}

namespace {

void SetInt32(QByteArray &record, int offset, qint32 value)
{
    if (offset < 0 || offset + 4 > record.size())
        return;
    TInt32 field;
    field = value;
    std::memcpy(record.data() + offset, &field, sizeof field);
}

qint32 GetInt32(const QByteArray &record, int offset)
{
    if (offset < 0 || offset + 4 > record.size())
        return 0;
    TInt32 field;
    std::memcpy(&field, record.constData() + offset, sizeof field);
    return field;
}

class TRecordObjectFactory final : public TQZObjectFactory
{
public:
    std::unique_ptr<TQZControl> CreateObject(int typeTag, const QByteArray &record,
                                             TQZSurface *) override
    {
        return std::make_unique<TQZRecordObject>(typeTag, record);
    }
};

} // namespace

TQZObjectFactory &RecordObjectFactory()
{
    static TRecordObjectFactory factory;
    return factory;
}

TQZRecordObject::TQZRecordObject(int typeTag, const QByteArray &record)
    : TQZActiveControl(typeTag)
    , m_shown(!TestLoading)
{
    SetRecord(record);
}

void TQZRecordObject::SetRecord(const QByteArray &record)
{
    const int size = ObjectRecordSize(ObjectTypeTag());
    m_record = record.left(size);
    m_record.append(QByteArray(size - m_record.size(), '\0'));
}

void TQZRecordObject::SetPayload(const QByteArray &payload) { m_payload = payload; }

void TQZRecordObject::MoveTo(qint32 left, qint32 top)
{
    const TGeometryOffsets geometry = GeometryOffsets(ObjectTypeTag());
    SetInt32(m_record, geometry.Left, left);
    SetInt32(m_record, geometry.Top, top);
}

void TQZRecordObject::ResizeTo(qint32 width, qint32 height)
{
    const TGeometryOffsets geometry = GeometryOffsets(ObjectTypeTag());
    SetInt32(m_record, geometry.Width, width);
    SetInt32(m_record, geometry.Height, height);
}

void TQZRecordObject::LoadPayload(QByteArrayView payload) { SetPayload(payload.toByteArray()); }

void TQZRecordObject::AddMaxScore(qint32 &possible) const
{
    possible += GetInt32(m_record, PointsOffset(ObjectTypeTag()));
}

void TQZRecordObject::SaveToStream(QByteArray &stream) const
{
    QByteArray record = m_record;
    bool hasContent = true;
    switch (ObjectTypeTag()) {
    case ObjMemo: {
        if (m_keepSavedEditHeight)
            break;
        // The inner text box is the frame less a margin above and below.
        const qint32 height = GetInt32(record, offsetof(TMemoRecord, Height));
        const qint64 inner = qint64(height) - 2 * qint64(Margin());
        SetInt32(record, offsetof(TMemoRecord, SavedEditHeight),
                 qint32(std::clamp<qint64>(inner, std::numeric_limits<qint32>::min(),
                                           std::numeric_limits<qint32>::max())));
        break;
    }
    case ObjOle: hasContent = record.at(offsetof(TOleRecord, IsEmpty)) == 0; break;
    default: break;
    }
    WriteObjectToStream(stream, ObjectTypeTag(), record, m_payload, hasContent);
}

void WriteObjectToStream(QByteArray &stream, int typeTag, QByteArray record,
                         const QByteArray &payload, bool hasContent)
{
    const qint32 length = qint32(payload.size());
    bool writePayload = false;
    switch (typeTag) {
    case ObjMemo:
        SetInt32(record, offsetof(TMemoRecord, RtfLength), length);
        writePayload = true;
        break;
    case ObjSlika:
        SetInt32(record, offsetof(TSlikaRecord, PictureLength), length);
        writePayload = true;
        break;
    case ObjOle:
        record[offsetof(TOleRecord, IsEmpty)] = hasContent ? 0 : 1;
        if (hasContent)
            SetInt32(record, offsetof(TOleRecord, OleLength), length);
        writePayload = hasContent;
        break;
    default: break;
    }
    if (ObjectRecordSize(typeTag) == 0)
        return; // no record of its own: only its type tag stands in the page
    if (record.size() >= RecordSize(typeTag))
        ConvertRecordBytes(typeTag, record.data(), TScaleDirection::FromScreen);
    stream += record;
    if (writePayload)
        stream += payload;
}
