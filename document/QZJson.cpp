#include "QZJson.h"

#include "QZCodePage.h"
#include "QZRecordFields.h"
#include "QZStream.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSet>

#include <cstring>

namespace {

const QString PayloadKey = QStringLiteral("payload");
const QString ExtensionsKey = QStringLiteral("extensions");

template<typename T> T FieldAt(const QByteArray &record, int offset)
{
    T value;
    std::memcpy(&value, record.constData() + offset, sizeof(T));
    return value;
}

template<typename T> void SetFieldAt(QByteArray &record, int offset, const T &value)
{
    std::memcpy(record.data() + offset, &value, sizeof(T));
}

QByteArray CodePageFor(const QByteArray &record, const TRecordField &field)
{
    if (field.FontOffset < 0)
        return DefaultCodePage();
    return CodePageOfCharset(FieldAt<TFontRecord>(record, field.FontOffset).Charset);
}

// string[N] at an offset, whatever N: the length byte, clamped to N.
QByteArray ShortStringAt(const QByteArray &record, int offset, int capacity)
{
    const int length = qMin<int>(quint8(record.at(offset)), capacity);
    return record.mid(offset + 1, length);
}

QJsonObject FontToJson(const TFontRecord &font)
{
    return QJsonObject{
        {QStringLiteral("Color"), double(font.Color.Get())},
        {QStringLiteral("Name"), DecodeText(font.Name.Bytes(), CodePageOfCharset(font.Charset))},
        {QStringLiteral("Height"), font.Height.Get()},
        {QStringLiteral("Style"), font.Style},
        {QStringLiteral("Charset"), font.Charset},
    };
}

QJsonValue FieldToJson(const QByteArray &record, const TRecordField &field)
{
    switch (field.Kind) {
    case TFieldKind::Int32: return FieldAt<TInt32>(record, field.Offset).Get();
    case TFieldKind::Color: return double(FieldAt<TColor>(record, field.Offset).Get());
    case TFieldKind::Byte: return quint8(record.at(field.Offset));
    case TFieldKind::Bool: return record.at(field.Offset) != 0;
    case TFieldKind::String:
        return DecodeText(ShortStringAt(record, field.Offset, field.Capacity),
                          CodePageFor(record, field));
    case TFieldKind::StringArray: {
        QJsonArray texts;
        for (int i = 0; i < field.Count; ++i)
            texts.append(DecodeText(
                ShortStringAt(record, field.Offset + i * (field.Capacity + 1), field.Capacity),
                CodePageFor(record, field)));
        return texts;
    }
    case TFieldKind::Font: return FontToJson(FieldAt<TFontRecord>(record, field.Offset));
    case TFieldKind::ByteSet: {
        const auto set = FieldAt<TByteSet>(record, field.Offset);
        QJsonArray elements;
        for (int i = 0; i < 256; ++i)
            if (set.Contains(i))
                elements.append(i);
        return elements;
    }
    }
    return {};
}

bool HasPayload(int typeTag, const QByteArray &record)
{
    if (typeTag == ObjMemo || typeTag == ObjSlika)
        return true;
    return typeTag == ObjOle && record.at(offsetof(TOleRecord, IsEmpty)) == 0;
}

// Encodes a text for a field, noting lost characters and cut texts.
QByteArray EncodeForField(const QString &text, const QByteArray &codePage, int capacity,
                          TJsonPackContext &context, const QString &where)
{
    QString lost;
    QByteArray bytes = EncodeText(text, codePage, &lost);
    if (!lost.isEmpty())
        context.Warnings << QStringLiteral("%1: the characters \"%2\" cannot be written in %3; "
                                           "they were written as \"?\"")
                                .arg(where, lost, QString::fromLatin1(codePage));
    if (bytes.size() > capacity) {
        context.Warnings << QStringLiteral("%1: the text is longer than %2 characters and was cut")
                                .arg(where)
                                .arg(capacity);
        bytes.truncate(capacity);
    }
    return bytes;
}

void SetShortStringAt(QByteArray &record, int offset, const QByteArray &bytes)
{
    record[offset] = char(quint8(bytes.size()));
    std::memcpy(record.data() + offset + 1, bytes.constData(), size_t(bytes.size()));
}

qint64 JsonInteger(const QJsonValue &value)
{
    return value.isBool() ? (value.toBool() ? 1 : 0) : qint64(value.toDouble());
}

void FontFromJson(TFontRecord &font, const QJsonObject &json, TJsonPackContext &context,
                  const QString &where)
{
    if (json.contains(QStringLiteral("Color")))
        font.Color = quint32(JsonInteger(json.value(QStringLiteral("Color"))));
    if (json.contains(QStringLiteral("Height")))
        font.Height = qint32(JsonInteger(json.value(QStringLiteral("Height"))));
    if (json.contains(QStringLiteral("Style")))
        font.Style = quint8(JsonInteger(json.value(QStringLiteral("Style"))));
    if (json.contains(QStringLiteral("Charset")))
        font.Charset = quint8(JsonInteger(json.value(QStringLiteral("Charset"))));
    if (json.contains(QStringLiteral("Name")))
        font.Name.SetBytes(EncodeForField(json.value(QStringLiteral("Name")).toString(),
                                          CodePageOfCharset(font.Charset), 255, context,
                                          where + QStringLiteral(".Name")));
}

QByteArray PayloadFromJson(const QJsonObject &payload, TJsonPackContext &context,
                           const QString &where)
{
    if (payload.contains(QStringLiteral("base64")))
        return QByteArray::fromBase64(
            payload.value(QStringLiteral("base64")).toString().toLatin1());
    if (payload.contains(QStringLiteral("text"))) {
        // RTF is 8-bit text: characters past 255 belong in \\uN escapes.
        const QString text = payload.value(QStringLiteral("text")).toString();
        QString lost;
        const QByteArray bytes = EncodeText(text, QByteArrayLiteral("ISO-8859-1"), &lost);
        if (!lost.isEmpty())
            context.Warnings << QStringLiteral("%1: the payload text holds \"%2\", which is no "
                                               "8-bit character; it was written as \"?\"")
                                    .arg(where, lost);
        return bytes;
    }
    if (payload.contains(QStringLiteral("file"))) {
        const QString name =
            QDir(context.BaseFolder).filePath(payload.value(QStringLiteral("file")).toString());
        return ReadWholeFile(name);
    }
    if (payload.value(QStringLiteral("length")).toInt() != 0)
        context.Warnings << QStringLiteral("%1: the payload has no \"base64\", \"text\" or "
                                           "\"file\"; it was written empty")
                                .arg(where);
    return {};
}

int TypeTagFromJson(const QJsonObject &json)
{
    if (json.contains(QStringLiteral("type")))
        return json.value(QStringLiteral("type")).toInt(-1);
    const QString className = json.value(QStringLiteral("class")).toString();
    for (int tag = 0; tag < ObjectTypeCount; ++tag)
        if (!className.isEmpty() && ClassNameOfType(tag) == className)
            return tag;
    return -1;
}

TQZFileError FormError(const QString &cause) { return TQZFileError(cause); }

} // namespace

QJsonObject ObjectToJson(const TQZControl &object, bool withData)
{
    const int tag = object.ObjectTypeTag();
    const QByteArray record = object.Record();
    QJsonObject json{{QStringLiteral("type"), tag},
                     {QStringLiteral("class"), ClassNameOfType(tag)}};
    if (record.size() < RecordSize(tag))
        return json;
    for (const TRecordField &field : RecordFields(tag))
        json.insert(QString::fromLatin1(field.Name), FieldToJson(record, field));
    if (HasPayload(tag, record)) {
        const QByteArray payload = object.Payload();
        QJsonObject data{
            {QStringLiteral("length"), double(payload.size())},
            {QStringLiteral("sha256"),
             QString::fromLatin1(
                 QCryptographicHash::hash(payload, QCryptographicHash::Sha256).toHex())},
        };
        if (withData)
            data.insert(QStringLiteral("base64"), QString::fromLatin1(payload.toBase64()));
        json.insert(PayloadKey, data);
    }
    return json;
}

QJsonObject UnknownObjectToJson(int typeTag)
{
    return QJsonObject{{QStringLiteral("type"), typeTag}, {QStringLiteral("class"), QString()}};
}

QJsonObject PageToJson(const TQZStran &page, bool withData)
{
    const TPageRecord &record = page.PageRecord();
    QJsonArray objects;
    // Walk the type tags as the file holds them, so that tags which make no
    // object still have their entry.
    const auto &list = page.Objects();
    size_t next = 0;
    const int count = qBound(0, record.ObjectCount.Get(), MaxPageObjects);
    for (int i = 0; i < count; ++i) {
        const int tag = record.ObjectTypes[i];
        if (next < list.size() && list[next]->ObjectTypeTag() == tag)
            objects.append(ObjectToJson(*list[next++], withData));
        else
            objects.append(UnknownObjectToJson(tag));
    }
    for (; next < list.size(); ++next)
        objects.append(ObjectToJson(*list[next], withData));
    return QJsonObject{
        {QStringLiteral("pageName"), page.PageName()},
        {QStringLiteral("correctTarget"), page.CorrectTarget()},
        {QStringLiteral("wrongTarget"), page.WrongTarget()},
        {QStringLiteral("pageColor"), double(page.PageColor())},
        {QStringLiteral("objects"), objects},
    };
}

QJsonObject TestRecordToJson(const TQZNaloga &test)
{
    const TTestRecord &record = test.TestRecord();
    QJsonArray comments;
    for (int i = 0; i < 8; ++i)
        comments.append(test.Comment(i));
    return QJsonObject{
        {QStringLiteral("title"), test.Title()},
        {QStringLiteral("comments"), comments},
        {QStringLiteral("wrongAnswerMode"), record.WrongAnswerMode},
        {QStringLiteral("editPassword"), QString::fromLatin1(record.EditPassword.Bytes())},
        {QStringLiteral("pageCount"), record.PageCount.Get()},
    };
}

QJsonObject DocumentToJson(const TQZNaloga &test, bool pageFile, qint32 fileVersion, bool withData)
{
    QJsonObject json{
        {QStringLiteral("format"), pageFile ? QStringLiteral("cvp") : QStringLiteral("cvl")},
        {QStringLiteral("fileVersion"), fileVersion},
    };
    if (!pageFile)
        json.insert(QStringLiteral("test"), TestRecordToJson(test));
    // A page file's block holds only its page's settings, as page 0.
    const QJsonObject extensions = test.GatheredExtensions();
    if (!extensions.isEmpty())
        json.insert(ExtensionsKey, extensions);
    QJsonArray pages;
    for (int i = 0; i < test.PageCount(); ++i)
        pages.append(PageToJson(*test.Page(i), withData));
    json.insert(QStringLiteral("pages"), pages);
    return json;
}

QByteArray RecordFromJson(int typeTag, const QJsonObject &json, TJsonPackContext &context,
                          const QString &where)
{
    QByteArray record = NewObjectRecord(typeTag);
    const auto fields = RecordFields(typeTag);
    QSet<QString> known{QStringLiteral("type"), QStringLiteral("class"), PayloadKey};

    // Fonts first: their character sets choose the code pages of the texts.
    for (int pass = 0; pass < 2; ++pass) {
        for (const TRecordField &field : fields) {
            const QString name = QString::fromLatin1(field.Name);
            known.insert(name);
            const bool isText =
                field.Kind == TFieldKind::String || field.Kind == TFieldKind::StringArray;
            if (isText != (pass == 1) || !json.contains(name))
                continue;
            const QJsonValue value = json.value(name);
            const QString at = where + QLatin1Char('.') + name;
            switch (field.Kind) {
            case TFieldKind::Int32:
                SetFieldAt(record, field.Offset, qint32(JsonInteger(value)));
                break;
            case TFieldKind::Color:
                SetFieldAt(record, field.Offset, quint32(JsonInteger(value)));
                break;
            case TFieldKind::Byte:
            case TFieldKind::Bool: record[field.Offset] = char(quint8(JsonInteger(value))); break;
            case TFieldKind::String:
                SetShortStringAt(record, field.Offset,
                                 EncodeForField(value.toString(), CodePageFor(record, field),
                                                field.Capacity, context, at));
                break;
            case TFieldKind::StringArray: {
                const QJsonArray texts = value.toArray();
                for (int i = 0; i < field.Count && i < texts.size(); ++i)
                    SetShortStringAt(record, field.Offset + i * (field.Capacity + 1),
                                     EncodeForField(texts.at(i).toString(),
                                                    CodePageFor(record, field), field.Capacity,
                                                    context, at + QStringLiteral("[%1]").arg(i)));
                break;
            }
            case TFieldKind::Font: {
                auto font = FieldAt<TFontRecord>(record, field.Offset);
                FontFromJson(font, value.toObject(), context, at);
                SetFieldAt(record, field.Offset, font);
                break;
            }
            case TFieldKind::ByteSet: {
                auto set = ZeroRecord<TByteSet>();
                for (const QJsonValue element : value.toArray())
                    set.Include(element.toInt(-1));
                SetFieldAt(record, field.Offset, set);
                break;
            }
            }
        }
    }
    for (auto it = json.begin(); it != json.end(); ++it)
        if (!known.contains(it.key()))
            context.Warnings << QStringLiteral("%1: \"%2\" is not a field of %3; it was ignored")
                                    .arg(where, it.key(), DescriptionOfType(typeTag));
    return record;
}

namespace {

void PageFromJson(TQZNaloga &test, const QJsonObject &json, int index, TJsonPackContext &context)
{
    const QString where = QStringLiteral("page %1").arg(index + 1);
    auto page = test.NewPage();
    const QString name = json.contains(QStringLiteral("pageName"))
                             ? json.value(QStringLiteral("pageName")).toString()
                             : QStringLiteral("Page %1").arg(index + 1);
    const auto target = [&json](const char *key) {
        const QString k = QString::fromLatin1(key);
        return json.contains(k) ? json.value(k).toString() : QString::fromLatin1(ForwardTargetName);
    };
    const QByteArray codePage = DefaultCodePage();
    TPageRecord record = NewPageRecord(
        EncodeForField(name, codePage, 255, context, where + QStringLiteral(".pageName")),
        EncodeForField(target("correctTarget"), codePage, 255, context,
                       where + QStringLiteral(".correctTarget")),
        EncodeForField(target("wrongTarget"), codePage, 255, context,
                       where + QStringLiteral(".wrongTarget")));
    if (json.contains(QStringLiteral("pageColor")))
        record.PageColor = quint32(JsonInteger(json.value(QStringLiteral("pageColor"))));
    page->SetPageRecord(record);

    const QJsonArray objects = json.value(QStringLiteral("objects")).toArray();
    if (objects.size() > MaxPageObjects)
        context.Warnings << QStringLiteral("%1: a page holds at most %2 objects; the rest were "
                                           "not written")
                                .arg(where)
                                .arg(MaxPageObjects);
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const QJsonObject entry = objects.at(i).toObject();
        const QString at = QStringLiteral("%1 object %2").arg(where).arg(i + 1);
        const int tag = TypeTagFromJson(entry);
        if (tag < 0 || tag > 255)
            throw FormError(QStringLiteral("%1 has no valid \"type\" or \"class\"").arg(at));
        auto object =
            std::make_unique<TQZRecordObject>(tag, RecordFromJson(tag, entry, context, at));
        object->SetKeepSavedEditHeight(true);
        if (entry.contains(PayloadKey))
            object->SetPayload(PayloadFromJson(entry.value(PayloadKey).toObject(), context, at));
        page->AddObject(std::move(object));
    }
    test.AddPage(std::move(page));
}

} // namespace

bool DocumentFromJson(TQZNaloga &test, const QJsonObject &json, TJsonPackContext &context)
{
    const QString format = json.value(QStringLiteral("format")).toString(QStringLiteral("cvl"));
    if (format != QLatin1String("cvl") && format != QLatin1String("cvp"))
        throw FormError(
            QStringLiteral("\"format\" must be \"cvl\" or \"cvp\", not \"%1\"").arg(format));
    const bool pageFile = format == QLatin1String("cvp");
    const QJsonArray pages = json.value(QStringLiteral("pages")).toArray();
    if (pageFile && pages.size() != 1)
        throw FormError(
            QStringLiteral("a page file holds exactly one page, not %1").arg(pages.size()));

    TTestRecord record = NewTestRecord();
    const QJsonObject header = json.value(QStringLiteral("test")).toObject();
    const QByteArray codePage = DefaultCodePage();
    if (header.contains(QStringLiteral("title")))
        record.Title.SetBytes(EncodeForField(header.value(QStringLiteral("title")).toString(),
                                             codePage, 255, context, QStringLiteral("test.title")));
    const QJsonArray comments = header.value(QStringLiteral("comments")).toArray();
    for (qsizetype i = 0; i < comments.size() && i < 8; ++i)
        record.Comments[i].SetBytes(EncodeForField(comments.at(i).toString(), codePage, 255,
                                                   context,
                                                   QStringLiteral("test.comments[%1]").arg(i)));
    if (header.contains(QStringLiteral("wrongAnswerMode")))
        record.WrongAnswerMode =
            quint8(JsonInteger(header.value(QStringLiteral("wrongAnswerMode"))));
    if (header.contains(QStringLiteral("editPassword")))
        record.EditPassword.SetBytes(
            header.value(QStringLiteral("editPassword")).toString().toLatin1().left(30));
    test.TestRecord() = record;
    if (header.contains(QStringLiteral("password")))
        test.SetEditPassword(header.value(QStringLiteral("password")).toString());

    QJsonObject extensions;
    if (json.contains(ExtensionsKey)) {
        const QJsonValue value = json.value(ExtensionsKey);
        if (!value.isObject())
            throw FormError(QStringLiteral("\"extensions\" must be a JSON object"));
        extensions = value.toObject();
        if (pageFile) {
            const QJsonValue pageSettings = extensions.take(PagesKey);
            if (!extensions.isEmpty())
                context.Warnings << QStringLiteral(
                    "a page file has room only for its page's settings in \"extensions\"; the "
                    "test's settings were not written");
            extensions = {};
            if (!pageSettings.isUndefined())
                extensions.insert(PagesKey, pageSettings);
        }
    }

    for (qsizetype i = 0; i < pages.size(); ++i)
        PageFromJson(test, pages.at(i).toObject(), int(i), context);
    // The pages' and objects' settings go onto pages that exist.
    if (!extensions.isEmpty())
        test.SetExtensions(extensions);
    for (const QString &orphan : test.ExtensionOrphans())
        context.Warnings << orphan + QStringLiteral("; not written");
    return pageFile;
}
