// The settings of a test that the test header has no room for. They live in
// the extension block after the last page as a JSON object; a key that is
// absent has its default, so a test that keeps every default has no block.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// The JSON keys of the settings this program knows.
inline const QString AskStudentNameKey = QStringLiteral("askStudentName");
inline const QString RecordAttemptsKey = QStringLiteral("recordAttempts");

struct TTestSettings
{
    // The player asks for the student's name before the first page.
    bool AskStudentName = false;
    // The player writes a record of each attempt.
    bool RecordAttempts = true;
    // Seconds the whole test may take; 0 for no limit (key "timeLimit",
    // QZAssessment.h).
    int TimeLimit = 0;

    // A key that is missing or not a boolean gives the default.
    static TTestSettings FromJson(const QJsonObject &json);
    // Writes only the keys that differ from their defaults and removes the
    // ones that equal them; every other key is left as it is.
    void ToJson(QJsonObject &json) const;
    // Removes the known keys whose values equal their defaults; a key with a
    // value of another type stays, as unknown keys do.
    static void DropDefaults(QJsonObject &json);
    // A clause for each known key whose value is of the wrong type, in the
    // order of the keys.
    static QStringList Faults(const QJsonObject &json);

    bool operator==(const TTestSettings &) const = default;
};
