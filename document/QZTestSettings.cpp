#include "QZTestSettings.h"

#include "QZAssessment.h"

namespace {

struct TBoolSetting
{
    const QString &Key;
    bool TTestSettings::*Field;
    bool Default;
};

// The defaults are those of a default-constructed TTestSettings.
const TBoolSetting BoolSettings[] = {
    {AskStudentNameKey, &TTestSettings::AskStudentName, TTestSettings{}.AskStudentName},
    {RecordAttemptsKey, &TTestSettings::RecordAttempts, TTestSettings{}.RecordAttempts},
};

} // namespace

TTestSettings TTestSettings::FromJson(const QJsonObject &json)
{
    TTestSettings settings;
    for (const TBoolSetting &setting : BoolSettings) {
        const QJsonValue value = json.value(setting.Key);
        settings.*setting.Field = value.isBool() ? value.toBool() : setting.Default;
    }
    settings.TimeLimit = TimeLimitOf(json);
    return settings;
}

void TTestSettings::ToJson(QJsonObject &json) const
{
    for (const TBoolSetting &setting : BoolSettings) {
        if (this->*setting.Field == setting.Default)
            json.remove(setting.Key);
        else
            json.insert(setting.Key, this->*setting.Field);
    }
    SetTimeLimit(json, TimeLimit);
}

void TTestSettings::DropDefaults(QJsonObject &json)
{
    for (const TBoolSetting &setting : BoolSettings)
        if (json.value(setting.Key) == QJsonValue(setting.Default))
            json.remove(setting.Key);
}

QStringList TTestSettings::Faults(const QJsonObject &json)
{
    QStringList faults;
    for (const TBoolSetting &setting : BoolSettings)
        if (json.contains(setting.Key) && !json.value(setting.Key).isBool())
            faults << QStringLiteral("the setting \"%1\" is neither true nor false: the default, "
                                     "%2, is used")
                          .arg(setting.Key,
                               setting.Default ? QStringLiteral("true") : QStringLiteral("false"));
    // The test's limit is read as a page's is.
    faults << TPageSettings::Faults(json);
    return faults;
}
