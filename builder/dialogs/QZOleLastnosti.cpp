#include "QZOleLastnosti.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>

namespace CorvBuilder {

TOleLastnosti::TOleLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("OLE Object - Properties"), 70, ZeroRecord<TOleRecord>())
    , m_look(new TQZFontColorPanel(TQZFontColorPanel::TArrangement::Row, this))
{
    m_look->AddColorButton(QStringLiteral("C&olor..."));
    // The swatch takes the width the button leaves.
    m_look->AddSwatch(QStringLiteral("Color sample"), 1)->setMinimumSize(60, 24);
    m_look->SetColor(Kept().Color);
    m_activation = new QCheckBox(QStringLiteral("&Enable activation"), this);

    QGroupBox *sizeMode =
        MakeChoiceGroup(this, QStringLiteral("Size mode"),
                        {QStringLiteral("Normal size"), QStringLiteral("Centring at normal size"),
                         QStringLiteral("Proportional sizie"), QStringLiteral("Stretch")},
                        m_sizeMode);
    sizeMode->setObjectName(QStringLiteral("SizeModeGroup"));
    m_activation->setObjectName(QStringLiteral("ActivationBox"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_look, 0, 0);
    grid->addWidget(sizeMode, 1, 0);
    grid->addWidget(m_activation, 2, 0);
    grid->addWidget(MakeButtons(), 3, 0);
    FixSize();
}

void TOleLastnosti::ShowRecord(const TOleRecord &record)
{
    m_look->SetColor(record.Color);
    ShowChoice(m_sizeMode, record.SizeMode);
    ShowFlag(m_activation, record.ActivationEnabled);
}

void TOleLastnosti::TakeRecord(TOleRecord &record)
{
    record.Color = m_look->Color();
    TakeChoice(m_sizeMode, record.SizeMode);
    TakeFlag(m_activation, record.ActivationEnabled);
}

} // namespace CorvBuilder
