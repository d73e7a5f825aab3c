#include "QZAssessment.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace {

const QString PerChoiceName = QStringLiteral("perChoice");
const QString AllOrNothingName = QStringLiteral("allOrNothing");
const QString PartialName = QStringLiteral("partial");

// A whole number from min to max, or nothing.
std::optional<int> WholeIn(const QJsonValue &value, int min, int max)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < min || number > max)
        return std::nullopt;
    return int(number);
}

bool BoolOf(const QJsonObject &json, const QString &key) { return json.value(key).toBool(false); }

// A fraction above 0 up to 1, or 0.
double FractionOf(const QJsonObject &json, const QString &key)
{
    const QJsonValue value = json.value(key);
    const double number = value.toDouble(0);
    return value.isDouble() && number > 0 && number <= 1 ? number : 0.0;
}

std::optional<double> ToleranceOf(const QJsonObject &json)
{
    const QJsonValue value = json.value(NumberToleranceKey);
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || value.toDouble() < 0)
        return std::nullopt;
    return value.toDouble();
}

QList<int> FixedOf(const QJsonObject &json)
{
    QList<int> fixed;
    for (const QJsonValue &value : json.value(FixedKey).toArray())
        if (const auto choice = WholeIn(value, 1, 6); choice && !fixed.contains(*choice))
            fixed << *choice;
    std::sort(fixed.begin(), fixed.end());
    return fixed;
}

void Put(QJsonObject &json, const QString &key, bool keep, const QJsonValue &value)
{
    if (keep)
        json.insert(key, value);
    else
        json.remove(key);
}

QString Fault(const QString &key, const QString &wanted, const QString &standard)
{
    return QStringLiteral("the setting \"%1\" is not %2: the default, %3, is used")
        .arg(key, wanted, standard);
}

void BoolFault(QStringList &faults, const QJsonObject &json, const QString &key)
{
    if (json.contains(key) && !json.value(key).isBool())
        faults << Fault(key, QStringLiteral("true or false"), QStringLiteral("false"));
}

void PenaltyFault(QStringList &faults, const QJsonObject &json)
{
    if (json.contains(PenaltyKey) && FractionOf(json, PenaltyKey) == 0)
        faults << Fault(PenaltyKey, QStringLiteral("a fraction above 0 up to 1"),
                        QStringLiteral("no penalty"));
}

} // namespace

int TimeLimitOf(const QJsonObject &json)
{
    return WholeIn(json.value(TimeLimitKey), 1, MaxTimeLimit).value_or(0);
}

void SetTimeLimit(QJsonObject &json, int seconds)
{
    Put(json, TimeLimitKey, seconds > 0, std::min(seconds, MaxTimeLimit));
}

static void TimeLimitFault(QStringList &faults, const QJsonObject &json)
{
    if (json.contains(TimeLimitKey) && TimeLimitOf(json) == 0)
        faults << Fault(TimeLimitKey,
                        QStringLiteral("a whole number of seconds from 1 to %1").arg(MaxTimeLimit),
                        QStringLiteral("no limit"));
}

// ---------------------------------------------------------------------------

TPageSettings TPageSettings::FromJson(const QJsonObject &json) { return {TimeLimitOf(json)}; }

void TPageSettings::ToJson(QJsonObject &json) const { SetTimeLimit(json, TimeLimit); }

QStringList TPageSettings::Faults(const QJsonObject &json)
{
    QStringList faults;
    TimeLimitFault(faults, json);
    return faults;
}

// ---------------------------------------------------------------------------

TChoicesSettings TChoicesSettings::FromJson(const QJsonObject &json)
{
    TChoicesSettings settings;
    settings.Shuffle = BoolOf(json, ShuffleKey);
    settings.Fixed = FixedOf(json);
    const QString scoring = json.value(ScoringKey).toString();
    if (scoring == AllOrNothingName)
        settings.Scoring = TChoiceScoring::AllOrNothing;
    else if (scoring == PartialName)
        settings.Scoring = TChoiceScoring::Partial;
    settings.Penalty = FractionOf(json, PenaltyKey);
    return settings;
}

void TChoicesSettings::ToJson(QJsonObject &json) const
{
    Put(json, ShuffleKey, Shuffle, true);
    QJsonArray fixed;
    for (int choice : Fixed)
        fixed.append(choice);
    Put(json, FixedKey, !Fixed.isEmpty(), fixed);
    const QString scoring = Scoring == TChoiceScoring::AllOrNothing ? AllOrNothingName
                            : Scoring == TChoiceScoring::Partial    ? PartialName
                                                                    : PerChoiceName;
    Put(json, ScoringKey, Scoring != TChoiceScoring::PerChoice, scoring);
    Put(json, PenaltyKey, Penalty > 0, Penalty);
}

QStringList TChoicesSettings::Faults(const QJsonObject &json)
{
    QStringList faults;
    BoolFault(faults, json, ShuffleKey);
    if (json.contains(FixedKey)) {
        const QJsonArray fixed = json.value(FixedKey).toArray();
        const bool sound = json.value(FixedKey).isArray() &&
                           std::all_of(fixed.begin(), fixed.end(), [](const QJsonValue &value) {
                               return WholeIn(value, 1, 6).has_value();
                           });
        if (!sound)
            faults << Fault(FixedKey, QStringLiteral("a list of choice numbers from 1 to 6"),
                            QStringLiteral("the numbers among them"));
    }
    if (json.contains(ScoringKey)) {
        const QString scoring = json.value(ScoringKey).toString();
        if (scoring != PerChoiceName && scoring != AllOrNothingName && scoring != PartialName)
            faults << Fault(ScoringKey,
                            QStringLiteral("\"%1\", \"%2\" or \"%3\"")
                                .arg(PerChoiceName, AllOrNothingName, PartialName),
                            QStringLiteral("\"%1\"").arg(PerChoiceName));
    }
    PenaltyFault(faults, json);
    return faults;
}

// ---------------------------------------------------------------------------

TInputSettings TInputSettings::FromJson(const QJsonObject &json)
{
    TInputSettings settings;
    settings.IgnoreSpaces = BoolOf(json, IgnoreSpacesKey);
    settings.IgnoreAccents = BoolOf(json, IgnoreAccentsKey);
    settings.EditDistance = WholeIn(json.value(EditDistanceKey), 0, MaxEditDistance).value_or(0);
    settings.NumberTolerance = ToleranceOf(json);
    settings.Penalty = FractionOf(json, PenaltyKey);
    return settings;
}

void TInputSettings::ToJson(QJsonObject &json) const
{
    Put(json, IgnoreSpacesKey, IgnoreSpaces, true);
    Put(json, IgnoreAccentsKey, IgnoreAccents, true);
    Put(json, EditDistanceKey, EditDistance > 0, std::min(EditDistance, MaxEditDistance));
    Put(json, NumberToleranceKey, NumberTolerance.has_value(), NumberTolerance.value_or(0));
    Put(json, PenaltyKey, Penalty > 0, Penalty);
}

QStringList TInputSettings::Faults(const QJsonObject &json)
{
    QStringList faults;
    BoolFault(faults, json, IgnoreSpacesKey);
    BoolFault(faults, json, IgnoreAccentsKey);
    if (json.contains(EditDistanceKey) && !WholeIn(json.value(EditDistanceKey), 0, MaxEditDistance))
        faults << Fault(EditDistanceKey,
                        QStringLiteral("a whole number from 0 to %1").arg(MaxEditDistance),
                        QStringLiteral("0"));
    if (json.contains(NumberToleranceKey) && !ToleranceOf(json))
        faults << Fault(NumberToleranceKey, QStringLiteral("a number of 0 or more"),
                        QStringLiteral("answers compared as text"));
    PenaltyFault(faults, json);
    return faults;
}

// ---------------------------------------------------------------------------

TAlternativeSettings TAlternativeSettings::FromJson(const QJsonObject &json)
{
    return {FractionOf(json, PenaltyKey)};
}

void TAlternativeSettings::ToJson(QJsonObject &json) const
{
    Put(json, PenaltyKey, Penalty > 0, Penalty);
}

QStringList TAlternativeSettings::Faults(const QJsonObject &json)
{
    QStringList faults;
    PenaltyFault(faults, json);
    return faults;
}
