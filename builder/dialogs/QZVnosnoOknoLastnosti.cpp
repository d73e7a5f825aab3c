#include "QZVnosnoOknoLastnosti.h"

#include "QZAnswerMatch.h"
#include "QZRecordFields.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace CorvBuilder {

namespace {

constexpr int HelpContextInputBox = 80;
constexpr int AnswerEdits = 5;
constexpr int AnswerCapacity = 100;

// An answer without the blanks and control characters around it, which the
// comparison with the typed text ignores as well.
QString TrimmedAnswer(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

// The line under a tolerance that shows what it forgives, indented to the
// text of the check box above it.
QLabel *MakeExample(QWidget *parent, const QString &text, const QString &name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(24, 0, 0, 6);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

} // namespace

TVnosnoOknoLastnosti::TVnosnoOknoLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Input Box - Properties"), HelpContextInputBox,
                    RecordFromBytes<TVnosnoOknoRecord>(NewObjectRecord(ObjVnosnoOkno)))
{
    auto *layout = new QVBoxLayout(this);

    auto *answersBox = new QGroupBox(QStringLiteral("Possible answers"), this);
    answersBox->setObjectName(QStringLiteral("AnswersBox"));
    auto *answersLayout = new QVBoxLayout(answersBox);
    for (int i = 1; i <= AnswerEdits; ++i) {
        auto *edit = new QLineEdit(answersBox);
        edit->setObjectName(QStringLiteral("AnswerEdit%1").arg(i));
        edit->setAccessibleName(QStringLiteral("Possible answer %1").arg(i));
        edit->setMaxLength(AnswerCapacity);
        edit->setMinimumWidth(360);
        answersLayout->addWidget(edit);
        m_answers[size_t(i - 1)] = edit;
    }
    layout->addWidget(answersBox);

    m_caseSensitive =
        new QCheckBox(QStringLiteral("Distinguish between capital and small letters"), this);
    m_caseSensitive->setObjectName(QStringLiteral("CaseSensitiveBox"));
    layout->addWidget(m_caseSensitive);

    // The points above the font and colour buttons, the sample beside them.
    auto *pointsLabel = new QLabel(QStringLiteral("Points"), this);
    QLineEdit *points = MakePointsEdit();
    pointsLabel->setBuddy(points);
    m_look = new TQZFontColorPanel(TQZFontColorPanel::TArrangement::ColumnSampleBeside, this);
    m_look->AddFontButton(QStringLiteral("Font..."))->setAutoDefault(false);
    m_look->AddColorButton(QStringLiteral("Color..."))->setAutoDefault(false);
    m_look->AddSample()->setObjectName(QStringLiteral("SamplePanel"));
    auto *pointsRow = new QHBoxLayout;
    pointsRow->addWidget(pointsLabel);
    pointsRow->addWidget(points);
    m_look->ButtonLayout()->insertLayout(0, pointsRow);
    layout->addWidget(m_look);

    // The tolerances beside the answers; in the tab order after the
    // controls above and before the dialog's buttons.
    auto *tolerance = new QGroupBox(QStringLiteral("Tolerance"), this);
    tolerance->setObjectName(QStringLiteral("ToleranceGroup"));
    auto *toleranceLayout = new QVBoxLayout(tolerance);
    const auto addExample = [&](QWidget *control, const QString &text, const QString &name) {
        control->setAccessibleDescription(text);
        toleranceLayout->addWidget(MakeExample(tolerance, text, name));
    };

    m_ignoreSpaces = new QCheckBox(QStringLiteral("Ignore spaces inside the answer"), tolerance);
    m_ignoreSpaces->setObjectName(QStringLiteral("IgnoreSpacesBox"));
    toleranceLayout->addWidget(m_ignoreSpaces);
    addExample(m_ignoreSpaces, QStringLiteral("New York = NewYork"),
               QStringLiteral("IgnoreSpacesExample"));

    m_ignoreAccents = new QCheckBox(QStringLiteral("Ignore accents"), tolerance);
    m_ignoreAccents->setObjectName(QStringLiteral("IgnoreAccentsBox"));
    toleranceLayout->addWidget(m_ignoreAccents);
    addExample(m_ignoreAccents, QStringLiteral("café = cafe"),
               QStringLiteral("IgnoreAccentsExample"));

    auto *distanceRow = new QHBoxLayout;
    auto *distanceLabel = new QLabel(QStringLiteral("Accept answers with up to"), tolerance);
    m_editDistance = new QSpinBox(tolerance);
    m_editDistance->setObjectName(QStringLiteral("EditDistanceBox"));
    m_editDistance->setAccessibleName(QStringLiteral("Typing mistakes accepted"));
    m_editDistance->setRange(0, MaxEditDistance);
    distanceLabel->setBuddy(m_editDistance);
    distanceRow->addWidget(distanceLabel);
    distanceRow->addWidget(m_editDistance);
    distanceRow->addWidget(new QLabel(QStringLiteral("typing mistakes"), tolerance));
    distanceRow->addStretch();
    toleranceLayout->addLayout(distanceRow);
    // A swap of two letters is two mistakes: the example is one.
    addExample(m_editDistance, QStringLiteral("1 mistake: adress = address"),
               QStringLiteral("EditDistanceExample"));

    auto *numbersRow = new QHBoxLayout;
    m_numbers =
        new QCheckBox(QStringLiteral("The answers are numbers, accepted within \u00b1"), tolerance);
    m_numbers->setObjectName(QStringLiteral("NumbersBox"));
    m_tolerance = new QDoubleSpinBox(tolerance);
    m_tolerance->setObjectName(QStringLiteral("ToleranceBox"));
    m_tolerance->setAccessibleName(QStringLiteral("Number tolerance"));
    m_tolerance->setDecimals(4);
    m_tolerance->setRange(0, 999999);
    m_tolerance->setSingleStep(0.01);
    m_tolerance->setEnabled(false);
    numbersRow->addWidget(m_numbers);
    numbersRow->addWidget(m_tolerance);
    numbersRow->addStretch();
    toleranceLayout->addLayout(numbersRow);
    addExample(m_numbers, QStringLiteral("3.14 \u00b1 0.01 accepts 3,145"),
               QStringLiteral("NumbersExample"));

    toleranceLayout->addStretch();
    auto *tryLabel = new QLabel(QStringLiteral("Try an answer:"), tolerance);
    m_try = new QLineEdit(tolerance);
    m_try->setObjectName(QStringLiteral("TryEdit"));
    m_try->setAccessibleName(QStringLiteral("Try an answer"));
    tryLabel->setBuddy(m_try);
    m_tryResult = new QLabel(tolerance);
    m_tryResult->setObjectName(QStringLiteral("TryResult"));
    m_tryResult->setTextFormat(Qt::PlainText);
    // Wide enough for either result, so the line does not jump.
    m_tryResult->setMinimumWidth(
        m_tryResult->fontMetrics().horizontalAdvance(QStringLiteral("Not accepted")) + 4);
    auto *tryRow = new QHBoxLayout;
    tryRow->addWidget(tryLabel);
    tryRow->addWidget(m_try, 1);
    tryRow->addWidget(m_tryResult);
    toleranceLayout->addLayout(tryRow);

    // The answers on the left, the tolerances on the right.
    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    while (layout->count() > 0)
        left->addItem(layout->takeAt(0));
    columns->addLayout(left);
    columns->addWidget(tolerance);
    layout->addLayout(columns);

    connect(m_numbers, &QCheckBox::toggled, m_tolerance, &QWidget::setEnabled);
    for (QLineEdit *edit : m_answers)
        connect(edit, &QLineEdit::textChanged, this, &TVnosnoOknoLastnosti::UpdateTry);
    connect(m_try, &QLineEdit::textChanged, this, &TVnosnoOknoLastnosti::UpdateTry);
    for (QCheckBox *box : {m_caseSensitive, m_ignoreSpaces, m_ignoreAccents, m_numbers})
        connect(box, &QCheckBox::toggled, this, &TVnosnoOknoLastnosti::UpdateTry);
    connect(m_editDistance, &QSpinBox::valueChanged, this, &TVnosnoOknoLastnosti::UpdateTry);
    connect(m_tolerance, &QDoubleSpinBox::valueChanged, this, &TVnosnoOknoLastnosti::UpdateTry);
    UpdateTry();

    layout->addWidget(MakeButtons());
    FixSize();
}

void TVnosnoOknoLastnosti::Load(const TVnosnoOknoRecord &record, const QJsonObject &extra)
{
    Load(record);
    ShowSettings(extra);
}

void TVnosnoOknoLastnosti::ShowSettings(const QJsonObject &extra)
{
    m_extra = extra;
    m_loaded = TInputSettings::FromJson(extra);
    m_ignoreSpaces->setChecked(m_loaded.IgnoreSpaces);
    m_ignoreAccents->setChecked(m_loaded.IgnoreAccents);
    m_editDistance->setValue(m_loaded.EditDistance);
    m_numbers->setChecked(m_loaded.NumberTolerance.has_value());
    m_tolerance->setValue(m_loaded.NumberTolerance.value_or(0));
    m_shownTolerance = m_tolerance->value();
    m_try->clear();
    UpdateTry();
}

TInputSettings TVnosnoOknoLastnosti::Settings() const
{
    TInputSettings settings = m_loaded;
    settings.IgnoreSpaces = m_ignoreSpaces->isChecked();
    settings.IgnoreAccents = m_ignoreAccents->isChecked();
    settings.EditDistance = m_editDistance->value();
    settings.NumberTolerance.reset();
    if (m_numbers->isChecked()) {
        // A tolerance finer than the spin box shows stays as it was until
        // the spin box is changed.
        const bool untouched = m_loaded.NumberTolerance && m_tolerance->value() == m_shownTolerance;
        settings.NumberTolerance = untouched ? *m_loaded.NumberTolerance : m_tolerance->value();
    }
    return settings;
}

QJsonObject TVnosnoOknoLastnosti::Extra() const
{
    QJsonObject extra = m_extra;
    const TInputSettings settings = Settings();
    const auto put = [&extra](const QString &key, bool keep, const QJsonValue &value) {
        if (keep)
            extra.insert(key, value);
        else
            extra.remove(key);
    };
    if (settings.IgnoreSpaces != m_loaded.IgnoreSpaces)
        put(IgnoreSpacesKey, settings.IgnoreSpaces, true);
    if (settings.IgnoreAccents != m_loaded.IgnoreAccents)
        put(IgnoreAccentsKey, settings.IgnoreAccents, true);
    if (settings.EditDistance != m_loaded.EditDistance)
        put(EditDistanceKey, settings.EditDistance > 0, settings.EditDistance);
    if (settings.NumberTolerance != m_loaded.NumberTolerance)
        put(NumberToleranceKey, settings.NumberTolerance.has_value(),
            settings.NumberTolerance.value_or(0));
    return extra;
}

void TVnosnoOknoLastnosti::UpdateTry()
{
    const TInputSettings settings = Settings();
    const QString typed = m_try->text();
    bool accepted = false;
    for (QLineEdit *edit : m_answers) {
        const QString answer = TrimmedAnswer(edit->text());
        if (!answer.isEmpty() &&
            AnswerMatches(typed, answer, m_caseSensitive->isChecked(), settings)) {
            accepted = true;
            break;
        }
    }
    const QString result = accepted ? QStringLiteral("Accepted") : QStringLiteral("Not accepted");
    if (m_tryResult->text() == result)
        return;
    m_tryResult->setText(result);
    // Screen readers hear the new result as it changes under the typing.
    QAccessibleEvent event(m_tryResult, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void TVnosnoOknoLastnosti::ShowRecord(const TVnosnoOknoRecord &record)
{
    const int count = std::clamp<qint32>(record.AnswerCount, 0, AnswerEdits);
    for (int i = 1; i <= AnswerEdits; ++i)
        AnswerEdit(i)->setText(i <= count ? FieldText(record.Answers[i], &record.Font) : QString());
    ShowFlag(m_caseSensitive, record.CaseSensitive);
    m_look->SetFontRecord(record.Font);
    m_look->SetColor(record.Color);
    ShowSettings({});
    AnswerEdit(1)->setFocus();
}

void TVnosnoOknoLastnosti::TakeRecord(TVnosnoOknoRecord &record)
{
    record.Font = m_look->FontRecord();
    record.Color = m_look->Color();
    int count = 0;
    for (int i = 1; i <= AnswerEdits; ++i) {
        const QString answer = TrimmedAnswer(AnswerEdit(i)->text());
        if (!answer.isEmpty())
            TakeFieldText(record.Answers[++count], answer, &record.Font);
    }
    record.AnswerCount = count;
    // Without accepted answers, showing the right answer shows nothing rather
    // than an answer that is no longer accepted.
    if (count == 0)
        record.Answers[1].Length = 0;
    TakeFlag(m_caseSensitive, record.CaseSensitive);
}

} // namespace CorvBuilder
