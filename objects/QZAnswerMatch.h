// Whether a typed answer matches an accepted answer of an input box, with
// the box's case switch and tolerance settings. Headless (Qt Core only): the
// player, the builder's property dialog and `corvtool check` share it.
#pragma once

#include "QZAssessment.h"

#include <QString>

#include <optional>

// With default settings this is SameText: both texts trimmed of blanks and
// control characters, then compared exactly or in upper case. The settings
// add, in this order: white space inside removed, accents and other
// diacritics removed (compatibility decomposition, marks dropped), the case
// step, then equality or an edit distance of at most EditDistance (on UTF-16
// units). With NumberTolerance, an accepted answer that reads as a number
// accepts only numbers within the tolerance of it; one that does not is
// compared as text.
bool AnswerMatches(const QString &typed, const QString &accepted, bool caseSensitive,
                   const TInputSettings &settings);

// A text as the tolerant comparison sees it: trimmed, then the spaces,
// accents and case steps the settings ask for.
QString NormalizedAnswer(const QString &text, bool caseSensitive, const TInputSettings &settings);

// A number written with an optional sign, digits and at most one decimal
// comma or point, blanks around it allowed; no thousands separators and no
// exponent.
std::optional<double> AnswerNumber(const QString &text);

// True when the Levenshtein distance of a and b is at most `limit`; stops as
// soon as every path costs more.
bool WithinEditDistance(const QString &a, const QString &b, int limit);
