#include "QZPanelBesediloLastnosti.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPanelBesediloLastnosti::TPanelBesediloLastnosti(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("Underlying Text - Properties"), 30)
    , m_record(ZeroRecord<TPanelBesediloRecord>())
    , m_text(new QLineEdit(this))
    , m_fontButton(new QPushButton(QStringLiteral("&Font..."), this))
    , m_colorButton(new QPushButton(QStringLiteral("&Color..."), this))
    , m_sample(new TQZSamplePanel(this))
{
    auto *textLabel = new QLabel(QStringLiteral("&Text:"), this);
    textLabel->setBuddy(m_text);
    m_text->setObjectName(QStringLiteral("TextEdit"));
    m_text->setAccessibleName(QStringLiteral("Text"));
    m_text->setMaxLength(255);
    m_text->setMinimumWidth(360);

    QGroupBox *alignment = MakeChoiceGroup(
        this, QStringLiteral("Alignment"),
        {QStringLiteral("Left Justify"), QStringLiteral("Right Justify"), QStringLiteral("Center")},
        m_alignment);
    alignment->setObjectName(QStringLiteral("AlignmentGroup"));
    QGroupBox *position = MakeChoiceGroup(
        this, QStringLiteral("Text position"),
        {QStringLiteral("Optional"), QStringLiteral("Top"), QStringLiteral("Bottom")}, m_position);
    position->setObjectName(QStringLiteral("PositionGroup"));

    m_fontButton->setObjectName(QStringLiteral("FontButton"));
    m_colorButton->setObjectName(QStringLiteral("ColorButton"));
    connect(m_fontButton, &QPushButton::clicked, this, &TPanelBesediloLastnosti::FontClick);
    connect(m_colorButton, &QPushButton::clicked, this, &TPanelBesediloLastnosti::ColorClick);

    auto *look = new QVBoxLayout;
    look->addWidget(m_fontButton);
    look->addWidget(m_colorButton);
    look->addWidget(m_sample, 1);

    auto *grid = new QGridLayout(this);
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 3);
    grid->addWidget(alignment, 1, 0, 1, 2);
    grid->addWidget(position, 1, 2);
    grid->addLayout(look, 1, 3);
    grid->addWidget(MakeButtons(), 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    FixSize();
}

void TPanelBesediloLastnosti::Load(const TPanelBesediloRecord &record)
{
    m_record = record;
    m_text->setText(FieldText(m_record.Text, &m_record.Font));
    ShowChoice(m_alignment, m_record.Alignment);
    ShowChoice(m_position, m_record.TextPosition);
    m_sample->SetFontRecord(m_record.Font);
    m_sample->SetColor(m_record.Color);
}

TPanelBesediloRecord TPanelBesediloLastnosti::Store()
{
    TakeFieldText(m_record.Text, m_text->text(), &m_record.Font);
    TakeChoice(m_alignment, m_record.Alignment);
    TakeChoice(m_position, m_record.TextPosition);
    m_record.Font = m_sample->FontRecord();
    m_record.Color = m_sample->Color();
    return m_record;
}

void TPanelBesediloLastnosti::FontClick()
{
    TFontRecord font = m_sample->FontRecord();
    if (ChooseFontRecord(this, font))
        m_sample->SetFontRecord(font);
}

void TPanelBesediloLastnosti::ColorClick()
{
    quint32 color = m_sample->Color();
    if (ChooseColorValue(this, color))
        m_sample->SetColor(color);
}
