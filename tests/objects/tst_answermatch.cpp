// The comparison of a typed answer with an accepted one: the plain
// comparison every input box has always made, each tolerance on its own,
// tolerances together, and answers that are numbers.
#include "QZAnswerMatch.h"

#include <QJsonDocument>
#include <QTest>

class TestAnswerMatch : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void numbers_data();
    void numbers();
};

void TestAnswerMatch::matches_data()
{
    QTest::addColumn<QString>("settings"); // the box's settings as stored
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<bool>("matches");

    const auto row = [](const char *name, const char *settings, bool sensitive, const char *typed,
                        const char *accepted, bool matches) {
        QTest::newRow(name) << QString::fromUtf8(settings) << sensitive << QString::fromUtf8(typed)
                            << QString::fromUtf8(accepted) << matches;
    };
    // No settings: trimmed, then exact or in upper case; nothing forgiven.
    row("plain: blanks around, other case", "{}", false, " \tparis\r\n", "Paris", true);
    row("plain: case-sensitive", "{}", true, "paris", "Paris", false);
    row("plain: space inside", "{}", false, "New York", "NewYork", false);
    row("plain: accent", "{}", false, "cafe", "café", false);
    row("plain: accented capitals", "{}", false, "žaba", "ŽABA", true);
    row("plain: typing mistake", "{}", false, "Pariz", "Paris", false);
    row("plain: number written otherwise", "{}", false, "3,14", "3.14", false);
    row("plain: only a penalty", R"({"penalty": 0.5})", false, "Pariz", "Paris", false);

    const char *spaces = R"({"ignoreSpaces": true})";
    row("spaces: removed inside", spaces, false, "New York", "NewYork", true);
    row("spaces: tabs and no-break spaces", spaces, false, " N e\tw\u00a0York", "new york", true);
    row("spaces: case still counts", spaces, true, "new york", "New York", false);
    row("spaces: letters still count", spaces, false, "New Yorks", "New York", false);

    const char *accents = R"({"ignoreAccents": true})";
    row("accents: typed without", accents, false, "cafe", "café", true);
    row("accents: typed decomposed", accents, false, "cafe\u0301", "Café", true);
    row("accents: capitals", accents, false, "ecole", "ÉCOLE", true);
    row("accents: case-sensitive", accents, true, "Ecole", "école", false);
    row("accents: ligature decomposed", accents, false, "ﬁsh", "fish", true);
    row("accents: other letters stay", accents, false, "cafe", "cafa", false);

    const char *one = R"({"editDistance": 1})";
    row("distance 1: one letter changed", one, false, "Pariz", "Paris", true);
    row("distance 1: one letter missing", one, false, "adress", "address", true);
    row("distance 1: one letter more", one, false, "Pariss", "Paris", true);
    row("distance 1: swapped letters are two", one, false, "recieve", "receive", false);
    row("distance 1: case-sensitive counts case", one, true, "pariz", "Paris", false);
    row("distance 1: far shorter", one, false, "Par", "Paris", false);
    row("distance 2: swapped letters", R"({"editDistance": 2})", false, "recieve", "receive", true);
    row("distance 2: kitten, sitting", R"({"editDistance": 2})", true, "kitten", "sitting", false);
    row("distance 3: kitten, sitting", R"({"editDistance": 3})", true, "kitten", "sitting", true);
    row("distance out of range is exact", R"({"editDistance": 11})", false, "Pariz", "Paris",
        false);

    row("together: spaces, accents, distance",
        R"({"ignoreSpaces": true, "ignoreAccents": true, "editDistance": 1})", false, "Sao  Paolo",
        "São Paulo", true);
    row("together: spaces do not count as mistakes", R"({"ignoreSpaces": true, "editDistance": 1})",
        false, "N e w Yrk", "New York", true);
    row("together: a mistake besides an accent", R"({"ignoreAccents": true, "editDistance": 1})",
        false, "Zurih", "Zürich", true);
    row("alone: an accent is a mistake", R"({"editDistance": 1})", false, "Zurih", "Zürich", false);
}

void TestAnswerMatch::matches()
{
    QFETCH(QString, settings);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, typed);
    QFETCH(QString, accepted);
    const QJsonObject json = QJsonDocument::fromJson(settings.toUtf8()).object();
    QTEST(AnswerMatches(typed, accepted, caseSensitive, TInputSettings::FromJson(json)), "matches");
}

void TestAnswerMatch::numbers_data()
{
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<bool>("ignoreSpaces");
    QTest::addColumn<int>("distance");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<bool>("matches");

    const auto row = [](const char *name, double tolerance, const char *typed, const char *accepted,
                        bool matches, bool spaces = false, int distance = 0) {
        QTest::newRow(name) << tolerance << spaces << distance << QString::fromUtf8(typed)
                            << QString::fromUtf8(accepted) << matches;
    };
    row("decimal comma", 0.01, "3,14", "3.14", true);
    row("sign, blanks, trailing zero", 0.01, " +3.140 ", "3.14", true);
    row("at the edge of the tolerance", 0.01, "3,15", "3.14", true);
    row("below, at the edge", 0.01, "3.13", "3,14", true);
    row("past the tolerance", 0.01, "3.151", "3.14", false);
    row("tolerance 0: same number", 0, "3.140", "3.14", true);
    row("tolerance 0: other number", 0, "3.141", "3.14", false);
    row("negative, typographic minus", 0, "\u22122,5", "-2.5", true);
    row("no leading digit", 0, ".5", "0,5", true);
    row("thousands and decimals", 1000, "1.234,5", "1234.5", false);
    row("two separators", 1000, "1,234,5", "1234.5", false);
    row("exponent", 1000, "1e3", "1000", false);
    row("words for a number", 1, "pi", "3.14", false);
    row("sign alone", 1, "-", "0", false);
    row("a mistake in a number is not forgiven", 0.001, "3.15", "3.14", false, false, 1);
    row("accepted answer not a number: text", 0.5, "PI", "pi", true);
    row("accepted answer not a number: distance", 0.5, "po", "pi", true, false, 1);
    row("spaces removed before reading", 0.01, "3 .14", "3.14", true, true);
    row("spaces inside a number", 0.01, "3 .14", "3.14", false);
}

void TestAnswerMatch::numbers()
{
    QFETCH(double, tolerance);
    QFETCH(bool, ignoreSpaces);
    QFETCH(int, distance);
    QFETCH(QString, typed);
    QFETCH(QString, accepted);
    TInputSettings settings;
    settings.NumberTolerance = tolerance;
    settings.IgnoreSpaces = ignoreSpaces;
    settings.EditDistance = distance;
    QTEST(AnswerMatches(typed, accepted, false, settings), "matches");
}

QTEST_GUILESS_MAIN(TestAnswerMatch)
#include "tst_answermatch.moc"
