#include "QZVnosnoOknoLastnosti.h"

#include "QZRecordFields.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

    layout->addWidget(MakeButtons());
    FixSize();
}

void TVnosnoOknoLastnosti::ShowRecord(const TVnosnoOknoRecord &record)
{
    const int count = std::clamp<qint32>(record.AnswerCount, 0, AnswerEdits);
    for (int i = 1; i <= AnswerEdits; ++i)
        AnswerEdit(i)->setText(i <= count ? FieldText(record.Answers[i], &record.Font) : QString());
    ShowFlag(m_caseSensitive, record.CaseSensitive);
    m_look->SetFontRecord(record.Font);
    m_look->SetColor(record.Color);
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
