#include "QZBesediloLastnosti.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace CorvBuilder {

TBesediloLastnosti::TBesediloLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Transparent Text - Properties"), 20,
                    ZeroRecord<TBesediloRecord>())
    , m_text(new QLineEdit(this))
    , m_look(new TQZFontColorPanel(TQZFontColorPanel::TArrangement::Column, this))
{
    m_look->AddFontButton(QStringLiteral("&Font..."));
    m_look->AddSample();

    QLabel *textLabel = PrepareTextLine(this, m_text, 320);
    QGroupBox *alignment = MakeAlignmentGroup(this, m_alignment);

    auto *grid = new QGridLayout(this);
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(alignment, 1, 0, 1, 2);
    grid->addWidget(m_look, 1, 2);
    grid->addWidget(MakeButtons(), 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    FixSize();
}

void TBesediloLastnosti::ShowRecord(const TBesediloRecord &record)
{
    m_text->setText(FieldText(record.Text, &record.Font));
    ShowChoice(m_alignment, record.Alignment);
    m_look->SetFontRecord(record.Font);
}

void TBesediloLastnosti::TakeRecord(TBesediloRecord &record)
{
    TakeFieldText(record.Text, m_text->text(), &record.Font);
    TakeChoice(m_alignment, record.Alignment);
    record.Font = m_look->FontRecord();
}

} // namespace CorvBuilder
