#include "QZOleLastnosti.h"

#include "QZFonts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>

TOleLastnosti::TOleLastnosti(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("OLE Object - Properties"), 70)
    , m_record(ZeroRecord<TOleRecord>())
    , m_colorButton(new QPushButton(QStringLiteral("C&olor..."), this))
    , m_colorSample(new QFrame(this))
    , m_activation(new QCheckBox(QStringLiteral("&Enable activation"), this))
{
    m_colorButton->setObjectName(QStringLiteral("ColorButton"));
    connect(m_colorButton, &QPushButton::clicked, this, &TOleLastnosti::ColorClick);
    m_colorSample->setObjectName(QStringLiteral("ColorSample"));
    m_colorSample->setAccessibleName(QStringLiteral("Color sample"));
    m_colorSample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_colorSample->setAutoFillBackground(true);
    m_colorSample->setMinimumSize(60, 24);

    QGroupBox *sizeMode =
        MakeChoiceGroup(this, QStringLiteral("Size mode"),
                        {QStringLiteral("Normal size"), QStringLiteral("Centring at normal size"),
                         QStringLiteral("Proportional sizie"), QStringLiteral("Stretch")},
                        m_sizeMode);
    sizeMode->setObjectName(QStringLiteral("SizeModeGroup"));
    m_activation->setObjectName(QStringLiteral("ActivationBox"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_colorButton, 0, 0);
    grid->addWidget(m_colorSample, 0, 1);
    grid->addWidget(sizeMode, 1, 0, 1, 2);
    grid->addWidget(m_activation, 2, 0, 1, 2);
    grid->addWidget(MakeButtons(), 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    SetSampleColor(m_record.Color);
    FixSize();
}

void TOleLastnosti::Load(const TOleRecord &record)
{
    m_record = record;
    SetSampleColor(m_record.Color);
    ShowChoice(m_sizeMode, m_record.SizeMode);
    ShowFlag(m_activation, m_record.ActivationEnabled);
}

TOleRecord TOleLastnosti::Store()
{
    m_record.Color = m_color;
    TakeChoice(m_sizeMode, m_record.SizeMode);
    TakeFlag(m_activation, m_record.ActivationEnabled);
    return m_record;
}

void TOleLastnosti::ColorClick()
{
    quint32 color = m_color;
    if (ChooseColorValue(this, color))
        SetSampleColor(color);
}

void TOleLastnosti::SetSampleColor(quint32 color)
{
    m_color = color;
    QPalette palette = m_colorSample->palette();
    palette.setColor(QPalette::Window, FaceColor(color));
    m_colorSample->setPalette(palette);
}
