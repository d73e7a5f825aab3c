#include "QZIzbireLastnosti.h"

#include "QZQuestions.h"
#include "QZRecordFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int HelpContextChoices = 100;
constexpr int ChoiceEdits = 6;
constexpr int FewestChoices = 2;
// Where the preview object stands in its panel (pixels).
constexpr int PreviewOffset = 10;
constexpr int TextEditWidth = 340;
constexpr int StringCapacity = 255;

QLineEdit *MakeTextEdit(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setMaxLength(StringCapacity);
    edit->setMinimumWidth(TextEditWidth);
    return edit;
}

} // namespace

TIzbireLastnosti::TIzbireLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Choices - Properties"), HelpContextChoices,
                    RecordFromBytes<TIzbireRecord>(NewObjectRecord(ObjIzbire)))
{
    auto *layout = new QGridLayout(this);

    // Left: the texts and settings.
    auto *settings = new QVBoxLayout;
    auto *questionLabel = new QLabel(QStringLiteral("Question:"), this);
    m_question = MakeTextEdit(this, QStringLiteral("QuestionEdit"), QStringLiteral("Question"));
    questionLabel->setBuddy(m_question);
    settings->addWidget(questionLabel);
    settings->addWidget(m_question);

    auto *numbers = new QHBoxLayout;
    auto *countLabel = new QLabel(QStringLiteral("No. of ch.:"), this);
    m_count = new QComboBox(this);
    m_count->setObjectName(QStringLiteral("CountList"));
    m_count->setAccessibleName(QStringLiteral("Number of choices"));
    for (int count = FewestChoices; count <= ChoiceEdits; ++count)
        m_count->addItem(QString::number(count));
    countLabel->setBuddy(m_count);
    auto *pointsLabel = new QLabel(QStringLiteral("Points:"), this);
    QLineEdit *points = MakePointsEdit();
    pointsLabel->setBuddy(points);
    numbers->addWidget(countLabel);
    numbers->addWidget(m_count);
    numbers->addSpacing(16);
    numbers->addWidget(pointsLabel);
    numbers->addWidget(points);
    numbers->addStretch();
    settings->addLayout(numbers);

    m_single = new QCheckBox(QStringLiteral("Only one answer is possible"), this);
    m_single->setObjectName(QStringLiteral("SingleAnswerBox"));
    settings->addWidget(m_single);

    auto *choicesBox = new QGroupBox(QStringLiteral("Choices"), this);
    choicesBox->setObjectName(QStringLiteral("ChoicesBox"));
    auto *choicesLayout = new QVBoxLayout(choicesBox);
    for (int i = 1; i <= ChoiceEdits; ++i) {
        QLineEdit *edit = MakeTextEdit(choicesBox, QStringLiteral("ChoiceEdit%1").arg(i),
                                       QStringLiteral("Choice %1").arg(i));
        // Hiding the edits of choices beyond the count keeps the room they take.
        QSizePolicy policy = edit->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        edit->setSizePolicy(policy);
        choicesLayout->addWidget(edit);
        m_choices[size_t(i - 1)] = edit;
        connect(edit, &QLineEdit::textEdited, this,
                [this, i](const QString &text) { ChoiceEdited(i, text); });
    }
    settings->addWidget(choicesBox);

    // The preview shows the fonts and the colour: the panel has no sample.
    m_look = new TQZFontColorPanel(TQZFontColorPanel::TArrangement::Row, this);
    m_look->AddFontButton(QStringLiteral("Question - Font"), QStringLiteral("QuestionFontButton"))
        ->setAutoDefault(false);
    m_look->AddFontButton(QStringLiteral("Choices - Font"), QStringLiteral("ChoiceFontButton"))
        ->setAutoDefault(false);
    m_look->AddColorButton(QStringLiteral("Color..."))->setAutoDefault(false);
    settings->addWidget(m_look);
    settings->addStretch();
    layout->addLayout(settings, 0, 0);

    // Right: the preview, a real choices object on a panel of its own. Its
    // options take the mouse and the keyboard like those on a page.
    auto *preview = new QVBoxLayout;
    auto *previewLabel = new QLabel(QStringLiteral("Preview (Mark the right answers)"), this);
    m_previewArea = new QScrollArea(this);
    m_previewArea->setObjectName(QStringLiteral("PreviewArea"));
    m_previewArea->setAccessibleName(QStringLiteral("Preview"));
    m_previewArea->setMinimumSize(320, 300);
    m_previewPanel = new QWidget;
    m_previewPanel->setObjectName(QStringLiteral("PreviewPanel"));
    m_previewArea->setWidget(m_previewPanel);
    previewLabel->setBuddy(m_previewArea);
    preview->addWidget(previewLabel);
    preview->addWidget(m_previewArea, 1);
    layout->addLayout(preview, 0, 1);

    layout->addWidget(MakeButtons(), 1, 0, 1, 2);

    TIzbireRecord shown = Kept();
    shown.Left = PreviewOffset;
    shown.Top = PreviewOffset;
    m_preview = std::make_unique<TQZIzbire>(m_previewPanel, shown);
    m_preview->SetShown(true);
    FitPreviewPanel();

    connect(m_question, &QLineEdit::textEdited, this, &TIzbireLastnosti::QuestionEdited);
    connect(m_count, &QComboBox::activated, this, &TIzbireLastnosti::CountChosen);
    connect(m_single, &QCheckBox::clicked, this, &TIzbireLastnosti::SingleAnswerClicked);
    connect(m_look, &TQZFontColorPanel::FontChosen, this, &TIzbireLastnosti::FontChosen);
    connect(m_look, &TQZFontColorPanel::ColorChosen, this, &TIzbireLastnosti::ColorChosen);

    setTabOrder(m_question, m_count);
    setTabOrder(m_count, points);
    setTabOrder(points, m_single);
    setTabOrder(m_single, m_choices[0]);
    for (int i = 1; i < ChoiceEdits; ++i)
        setTabOrder(m_choices[size_t(i - 1)], m_choices[size_t(i)]);
    setTabOrder(m_choices[ChoiceEdits - 1], QuestionFontButton());
    setTabOrder(QuestionFontButton(), ChoiceFontButton());
    setTabOrder(ChoiceFontButton(), ColorButton());
    setTabOrder(ColorButton(), m_previewArea);

    FixSize();
}

// The preview's frame belongs to the preview panel, which outlives the object.
TIzbireLastnosti::~TIzbireLastnosti() = default;

void TIzbireLastnosti::ShowRecord(const TIzbireRecord &record)
{
    m_question->setText(FieldText(record.QuestionText, &record.QuestionFont));
    const int count = record.ChoiceCount;
    m_count->setCurrentIndex(count >= FewestChoices && count <= ChoiceEdits ? count - FewestChoices
                                                                            : -1);
    ShowFlag(m_single, record.SingleAnswer);
    for (int i = 1; i <= ChoiceEdits; ++i)
        ChoiceEdit(i)->setText(FieldText(record.Choices[i - 1], &record.ChoiceFont));
    ShowChoiceEdits();
    m_look->SetFontRecord(record.QuestionFont, QuestionFont);
    m_look->SetFontRecord(record.ChoiceFont, ChoiceFont);
    m_look->SetColor(record.Color);

    // The marks come from the record alone, not from the previous use.
    TIzbireRecord shown = record;
    shown.Left = PreviewOffset;
    shown.Top = PreviewOffset;
    m_preview->ApplyRecord(shown);
    m_preview->MoveTo(PreviewOffset, PreviewOffset);
    m_preview->ShowCorrectAnswer();
    FitPreviewPanel();
    m_question->setFocus();
}

void TIzbireLastnosti::TakeRecord(TIzbireRecord &record)
{
    // The preview holds the texts, count, fonts and colour as edited; the
    // position and width are the object's, not the preview's.
    TIzbireRecord edited = m_preview->Data();
    edited.Left = record.Left;
    edited.Top = record.Top;
    edited.Width = record.Width;
    TakeFlag(m_single, edited.SingleAnswer);
    edited.CorrectSet = Marks();
    record = edited;
}

TByteSet TIzbireLastnosti::Marks() const
{
    TByteSet marks = Kept().CorrectSet;
    const int shown = m_preview->ShownChoices();
    bool anyChecked = false;
    for (int i = 1; i <= shown; ++i) {
        const bool checked = m_preview->Choice(i)->isChecked();
        marks.Include(i, checked);
        anyChecked = anyChecked || checked;
    }
    // Marks of hidden choices stay for when they are shown again, but a
    // single-answer question has one right answer at most.
    if (m_preview->Data().SingleAnswer && anyChecked)
        for (int i = shown + 1; i <= ChoiceEdits; ++i)
            marks.Include(i, false);
    return marks;
}

void TIzbireLastnosti::RefreshPreview()
{
    Kept().CorrectSet = Marks();
    TIzbireRecord shown = Kept();
    shown.Left = PreviewOffset;
    shown.Top = PreviewOffset;
    m_preview->ApplyRecord(shown);
    m_preview->ShowCorrectAnswer();
    // Radio buttons keep only one of several marks.
    Kept().CorrectSet = Marks();
    FitPreviewPanel();
}

void TIzbireLastnosti::ShowChoiceEdits()
{
    for (int i = FewestChoices + 1; i <= ChoiceEdits; ++i)
        ChoiceEdit(i)->setVisible(i <= Kept().ChoiceCount);
}

void TIzbireLastnosti::FitPreviewPanel()
{
    const QRect frame = m_preview->Face()->geometry();
    m_previewPanel->resize(frame.right() + 1 + PreviewOffset, frame.bottom() + 1 + PreviewOffset);
}

void TIzbireLastnosti::QuestionEdited(const QString &text)
{
    SetFieldText(Kept().QuestionText, text, &Kept().QuestionFont);
    RefreshPreview();
}

void TIzbireLastnosti::ChoiceEdited(int number, const QString &text)
{
    SetFieldText(Kept().Choices[number - 1], text, &Kept().ChoiceFont);
    RefreshPreview();
}

void TIzbireLastnosti::CountChosen(int index)
{
    if (index < 0)
        return;
    Kept().ChoiceCount = quint8(index + FewestChoices);
    RefreshPreview();
    ShowChoiceEdits();
}

void TIzbireLastnosti::SingleAnswerClicked(bool checked)
{
    Kept().SingleAnswer = checked ? 1 : 0;
    RefreshPreview();
}

void TIzbireLastnosti::FontChosen(int font)
{
    (font == QuestionFont ? Kept().QuestionFont : Kept().ChoiceFont) = m_look->FontRecord(font);
    RefreshPreview();
}

void TIzbireLastnosti::ColorChosen()
{
    Kept().Color = m_look->Color();
    RefreshPreview();
}

} // namespace CorvBuilder
