#include "QZAnswerMatch.h"

#include "QZFont.h"
#include "QZNaloga.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

bool IsMark(QChar c)
{
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing: return true;
    default: return false;
    }
}

// Whether the settings change anything the comparison does; the penalty
// only changes the score.
bool Tolerant(const TInputSettings &settings)
{
    return settings.IgnoreSpaces || settings.IgnoreAccents || settings.EditDistance > 0 ||
           settings.NumberTolerance.has_value();
}

} // namespace

QString NormalizedAnswer(const QString &text, bool caseSensitive, const TInputSettings &settings)
{
    QString result = TrimmedName(text);
    if (settings.IgnoreSpaces)
        result.removeIf([](QChar c) { return c.isSpace(); });
    if (settings.IgnoreAccents) {
        result = result.normalized(QString::NormalizationForm_KD);
        result.removeIf(IsMark);
    }
    if (!caseSensitive)
        result = QLocale().toUpper(result);
    return result;
}

std::optional<double> AnswerNumber(const QString &text)
{
    const QString trimmed = TrimmedName(text);
    qsizetype at = 0;
    bool negative = false;
    if (at < trimmed.size() &&
        (trimmed.at(at) == u'+' || trimmed.at(at) == u'-' || trimmed.at(at) == QChar(0x2212))) {
        negative = trimmed.at(at) != u'+';
        ++at;
    }
    QString digits;
    bool separator = false;
    int digitCount = 0;
    for (; at < trimmed.size(); ++at) {
        const QChar c = trimmed.at(at);
        if (c >= u'0' && c <= u'9') {
            digits += c;
            ++digitCount;
        } else if ((c == u'.' || c == u',') && !separator) {
            digits += u'.';
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (digitCount == 0)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(digits, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

bool WithinEditDistance(const QString &a, const QString &b, int limit)
{
    if (limit < 0)
        return false;
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (std::abs(n - m) > limit)
        return false;
    std::vector<qsizetype> previous(size_t(m + 1));
    std::vector<qsizetype> current(size_t(m + 1));
    for (qsizetype j = 0; j <= m; ++j)
        previous[size_t(j)] = j;
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = i;
        qsizetype best = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const qsizetype substitution =
                previous[size_t(j - 1)] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1);
            current[size_t(j)] =
                std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, substitution});
            best = std::min(best, current[size_t(j)]);
        }
        // Costs never fall from one row to the next.
        if (best > limit)
            return false;
        std::swap(previous, current);
    }
    return previous[size_t(m)] <= limit;
}

bool AnswerMatches(const QString &typed, const QString &accepted, bool caseSensitive,
                   const TInputSettings &settings)
{
    if (!Tolerant(settings))
        return SameText(typed, accepted, caseSensitive);
    const QString left = NormalizedAnswer(typed, caseSensitive, settings);
    const QString right = NormalizedAnswer(accepted, caseSensitive, settings);
    if (settings.NumberTolerance) {
        if (const auto expected = AnswerNumber(right)) {
            const auto given = AnswerNumber(left);
            if (!given)
                return false;
            // Room for the rounding of decimal fractions in binary, so that
            // 3.15 is within 0.01 of 3.14.
            const double slack = 1e-9 * std::max({1.0, std::abs(*given), std::abs(*expected)});
            return std::abs(*given - *expected) <= *settings.NumberTolerance + slack;
        }
    }
    if (left == right)
        return true;
    return settings.EditDistance > 0 && WithinEditDistance(left, right, settings.EditDistance);
}
