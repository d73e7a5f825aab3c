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
    : TQZPropertyDialog(parent, QStringLiteral("Input Box - Properties"), HelpContextInputBox)
    , m_record(RecordFromBytes<TVnosnoOknoRecord>(NewObjectRecord(ObjVnosnoOkno)))
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

    auto *lower = new QHBoxLayout;
    auto *settings = new QGridLayout;
    auto *pointsLabel = new QLabel(QStringLiteral("Points"), this);
    m_points = new QLineEdit(QStringLiteral("1"), this);
    m_points->setObjectName(QStringLiteral("PointsEdit"));
    m_points->setAccessibleName(QStringLiteral("Points"));
    m_points->setMaximumWidth(80);
    pointsLabel->setBuddy(m_points);
    settings->addWidget(pointsLabel, 0, 0);
    settings->addWidget(m_points, 0, 1);
    m_font = new QPushButton(QStringLiteral("Font..."), this);
    m_font->setObjectName(QStringLiteral("FontButton"));
    m_font->setAutoDefault(false);
    m_color = new QPushButton(QStringLiteral("Color..."), this);
    m_color->setObjectName(QStringLiteral("ColorButton"));
    m_color->setAutoDefault(false);
    settings->addWidget(m_font, 1, 0, 1, 2);
    settings->addWidget(m_color, 2, 0, 1, 2);
    lower->addLayout(settings);
    m_sample = new TQZSamplePanel(this);
    m_sample->setObjectName(QStringLiteral("SamplePanel"));
    lower->addWidget(m_sample, 1);
    layout->addLayout(lower);

    layout->addWidget(MakeButtons());

    connect(m_font, &QPushButton::clicked, this, &TVnosnoOknoLastnosti::FontClick);
    connect(m_color, &QPushButton::clicked, this, &TVnosnoOknoLastnosti::ColorClick);
    FixSize();
}

void TVnosnoOknoLastnosti::Load(const TVnosnoOknoRecord &record)
{
    m_record = record;
    const int count = std::clamp<qint32>(record.AnswerCount, 0, AnswerEdits);
    for (int i = 1; i <= AnswerEdits; ++i)
        AnswerEdit(i)->setText(i <= count ? FieldText(record.Answers[i], &record.Font) : QString());
    ShowFlag(m_caseSensitive, record.CaseSensitive);
    m_points->setText(QString::number(qint32(record.Points)));
    m_sample->SetFontRecord(record.Font);
    m_sample->SetColor(record.Color);
    AnswerEdit(1)->setFocus();
}

std::optional<TVnosnoOknoRecord> TVnosnoOknoLastnosti::Store()
{
    const auto points = ReadWholeNumber(m_points->text());
    if (!points)
        return std::nullopt;
    TVnosnoOknoRecord record = m_record;
    record.Font = m_sample->FontRecord();
    record.Color = m_sample->Color();
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
    record.Points = *points;
    m_record = record;
    return m_record;
}

void TVnosnoOknoLastnosti::accept()
{
    if (!ReadWholeNumber(m_points->text())) {
        m_points->setFocus();
        m_points->selectAll();
        return;
    }
    TQZPropertyDialog::accept();
}

void TVnosnoOknoLastnosti::FontClick()
{
    TFontRecord font = m_sample->FontRecord();
    if (ChooseFontRecord(this, font))
        m_sample->SetFontRecord(font);
}

void TVnosnoOknoLastnosti::ColorClick()
{
    quint32 color = m_sample->Color();
    if (ChooseColorValue(this, color))
        m_sample->SetColor(color);
}
