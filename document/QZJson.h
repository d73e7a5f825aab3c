// A JSON form of test and page files, field by field under the record field
// names, for corvtool's dump and pack and for files kept as text sources
// (examples, templates).
#pragma once

#include "QZNaloga.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// One object: "type", "class", every record field, and for rich text, picture
// and OLE objects "payload" with its length, SHA-256 and (withData) base64.
QJsonObject ObjectToJson(const TQZControl &object, bool withData);
// A placeholder entry for a type tag that makes no object.
QJsonObject UnknownObjectToJson(int typeTag);
QJsonObject PageToJson(const TQZStran &page, bool withData);
QJsonObject TestRecordToJson(const TQZNaloga &test);
// {"format":"cvl"|"cvp", "fileVersion", "test" (test files only), "pages"},
// and "extensions", the test's settings, when a test file has any.
QJsonObject DocumentToJson(const TQZNaloga &test, bool pageFile, qint32 fileVersion, bool withData);

struct TJsonPackContext
{
    // Folder that "file" payload references are relative to.
    QString BaseFolder;
    // Receives a line for each text that lost characters, each text cut to
    // its field's capacity, and each key that names no field.
    QStringList Warnings;
};

// Builds a record of the type from JSON fields; missing fields keep the
// values a new object of that type starts with. `where` names the object in
// warnings.
QByteArray RecordFromJson(int typeTag, const QJsonObject &json, TJsonPackContext &context,
                          const QString &where);

// Fills an empty document from the JSON form. Returns true for a page file
// ("format":"cvp"), whose single page is page 0. Raises TQZFileError on JSON
// that has no such form.
bool DocumentFromJson(TQZNaloga &test, const QJsonObject &json, TJsonPackContext &context);
