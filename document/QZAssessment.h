// Assessment settings of pages and question objects that their records have
// no room for: time limits, shuffled choices, tolerant typed answers,
// partial credit and penalties. They live in the extension block, held by
// the page or object they belong to (Extra()); a key that is absent has its
// default, and every default plays as a test without the setting always has.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

inline const QString TimeLimitKey = QStringLiteral("timeLimit");
inline const QString ShuffleKey = QStringLiteral("shuffle");
inline const QString FixedKey = QStringLiteral("fixed");
inline const QString ScoringKey = QStringLiteral("scoring");
inline const QString PenaltyKey = QStringLiteral("penalty");
inline const QString IgnoreSpacesKey = QStringLiteral("ignoreSpaces");
inline const QString IgnoreAccentsKey = QStringLiteral("ignoreAccents");
inline const QString EditDistanceKey = QStringLiteral("editDistance");
inline const QString NumberToleranceKey = QStringLiteral("numberTolerance");

// The longest time limit, a day, and the largest edit distance.
inline constexpr int MaxTimeLimit = 86400;
inline constexpr int MaxEditDistance = 10;

// A time limit in whole seconds; 0 for none. Missing, wrongly typed or out
// of range (1 to MaxTimeLimit) reads as none.
int TimeLimitOf(const QJsonObject &json);
void SetTimeLimit(QJsonObject &json, int seconds);

struct TPageSettings
{
    int TimeLimit = 0; // seconds the page may be shown; 0 for no limit

    static TPageSettings FromJson(const QJsonObject &json);
    // Writes the keys that differ from their defaults and removes the others
    // of this struct; unknown keys stay.
    void ToJson(QJsonObject &json) const;
    static QStringList Faults(const QJsonObject &json);
    bool operator==(const TPageSettings &) const = default;
};

// How a choices question without SingleAnswer scores.
enum class TChoiceScoring {
    // Each choice marked as the author did earns Points, each other costs
    // Points; the total may be negative.
    PerChoice,
    // Points for every choice when all are marked right, else nothing.
    AllOrNothing,
    // Each marked right choice earns its share of the maximum, each marked
    // wrong choice takes its share away; never below zero for the question.
    Partial,
};

struct TChoicesSettings
{
    bool Shuffle = false;
    QList<int> Fixed; // choices 1 to 6 that keep their place when shuffled, ascending
    TChoiceScoring Scoring = TChoiceScoring::PerChoice;
    double Penalty = 0; // fraction of Points a wrong single answer costs

    static TChoicesSettings FromJson(const QJsonObject &json);
    void ToJson(QJsonObject &json) const;
    static QStringList Faults(const QJsonObject &json);
    bool operator==(const TChoicesSettings &) const = default;
};

struct TInputSettings
{
    bool IgnoreSpaces = false;
    bool IgnoreAccents = false;
    int EditDistance = 0;                  // 0 for an exact match
    std::optional<double> NumberTolerance; // set: answers are numbers
    double Penalty = 0;

    static TInputSettings FromJson(const QJsonObject &json);
    void ToJson(QJsonObject &json) const;
    static QStringList Faults(const QJsonObject &json);
    bool operator==(const TInputSettings &) const = default;
};

struct TAlternativeSettings
{
    double Penalty = 0;

    static TAlternativeSettings FromJson(const QJsonObject &json);
    void ToJson(QJsonObject &json) const;
    static QStringList Faults(const QJsonObject &json);
    bool operator==(const TAlternativeSettings &) const = default;
};
