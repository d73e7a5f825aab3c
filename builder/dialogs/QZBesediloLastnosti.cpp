#include "QZBesediloLastnosti.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TBesediloLastnosti::TBesediloLastnosti(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("Transparent Text - Properties"), 20)
    , m_record(ZeroRecord<TBesediloRecord>())
    , m_text(new QLineEdit(this))
    , m_fontButton(new QPushButton(QStringLiteral("&Font..."), this))
    , m_sample(new TQZSamplePanel(this))
{
    auto *textLabel = new QLabel(QStringLiteral("&Text:"), this);
    textLabel->setBuddy(m_text);
    m_text->setObjectName(QStringLiteral("TextEdit"));
    m_text->setAccessibleName(QStringLiteral("Text"));
    m_text->setMaxLength(255);
    m_text->setMinimumWidth(320);

    QGroupBox *alignment = MakeChoiceGroup(
        this, QStringLiteral("Alignment"),
        {QStringLiteral("Left Justify"), QStringLiteral("Right Justify"), QStringLiteral("Center")},
        m_alignment);
    alignment->setObjectName(QStringLiteral("AlignmentGroup"));

    m_fontButton->setObjectName(QStringLiteral("FontButton"));
    connect(m_fontButton, &QPushButton::clicked, this, &TBesediloLastnosti::FontClick);

    auto *look = new QVBoxLayout;
    look->addWidget(m_fontButton);
    look->addWidget(m_sample, 1);

    auto *grid = new QGridLayout(this);
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(alignment, 1, 0, 1, 2);
    grid->addLayout(look, 1, 2);
    grid->addWidget(MakeButtons(), 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    FixSize();
}

void TBesediloLastnosti::Load(const TBesediloRecord &record)
{
    m_record = record;
    m_text->setText(FieldText(m_record.Text, &m_record.Font));
    ShowChoice(m_alignment, m_record.Alignment);
    m_sample->SetFontRecord(m_record.Font);
}

TBesediloRecord TBesediloLastnosti::Store()
{
    TakeFieldText(m_record.Text, m_text->text(), &m_record.Font);
    TakeChoice(m_alignment, m_record.Alignment);
    m_record.Font = m_sample->FontRecord();
    return m_record;
}

void TBesediloLastnosti::FontClick()
{
    TFontRecord font = m_sample->FontRecord();
    if (ChooseFontRecord(this, font))
        m_sample->SetFontRecord(font);
}
