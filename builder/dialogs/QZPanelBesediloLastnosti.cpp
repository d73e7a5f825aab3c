#include "QZPanelBesediloLastnosti.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace CorvBuilder {

TPanelBesediloLastnosti::TPanelBesediloLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Underlying Text - Properties"), 30,
                    ZeroRecord<TPanelBesediloRecord>())
    , m_text(new QLineEdit(this))
    , m_look(new TQZFontColorPanel(TQZFontColorPanel::TArrangement::Column, this))
{
    m_look->AddFontButton(QStringLiteral("&Font..."));
    m_look->AddColorButton(QStringLiteral("&Color..."));
    m_look->AddSample();

    QLabel *textLabel = PrepareTextLine(this, m_text, 360);
    QGroupBox *alignment = MakeAlignmentGroup(this, m_alignment);
    QGroupBox *position = MakeChoiceGroup(
        this, QStringLiteral("Text position"),
        {QStringLiteral("Optional"), QStringLiteral("Top"), QStringLiteral("Bottom")}, m_position);
    position->setObjectName(QStringLiteral("PositionGroup"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 3);
    grid->addWidget(alignment, 1, 0, 1, 2);
    grid->addWidget(position, 1, 2);
    grid->addWidget(m_look, 1, 3);
    grid->addWidget(MakeButtons(), 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    FixSize();
}

void TPanelBesediloLastnosti::ShowRecord(const TPanelBesediloRecord &record)
{
    m_text->setText(FieldText(record.Text, &record.Font));
    ShowChoice(m_alignment, record.Alignment);
    ShowChoice(m_position, record.TextPosition);
    m_look->SetFontRecord(record.Font);
    m_look->SetColor(record.Color);
}

void TPanelBesediloLastnosti::TakeRecord(TPanelBesediloRecord &record)
{
    TakeFieldText(record.Text, m_text->text(), &record.Font);
    TakeChoice(m_alignment, record.Alignment);
    TakeChoice(m_position, record.TextPosition);
    record.Font = m_look->FontRecord();
    record.Color = m_look->Color();
}

} // namespace CorvBuilder
