#include "QZFontColorPanel.h"

#include "QZDialogParts.h"
#include "QZFonts.h"
#include "QZRecordFields.h"

#include <QBoxLayout>
#include <QFrame>
#include <QPushButton>

namespace CorvBuilder {

TQZFontColorPanel::TQZFontColorPanel(TArrangement arrangement, QWidget *parent)
    : QWidget(parent)
    , m_layout(new QBoxLayout(arrangement == TArrangement::Column ? QBoxLayout::TopToBottom
                                                                  : QBoxLayout::LeftToRight,
                              this))
    , m_buttons(new QBoxLayout(arrangement == TArrangement::Row ? QBoxLayout::LeftToRight
                                                                : QBoxLayout::TopToBottom))
    , m_color(WindowColor)
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_buttons->setContentsMargins(0, 0, 0, 0);
    m_layout->addLayout(m_buttons);
}

QPushButton *TQZFontColorPanel::AddFontButton(const QString &caption, const QString &objectName)
{
    const int k = int(m_fontButtons.size());
    auto *button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    m_buttons->addWidget(button);
    m_fontButtons << button;
    m_fonts << WindowFontRecord();
    connect(button, &QPushButton::clicked, this, [this, k] { FontClick(k); });
    if (k == 0 && m_sample)
        m_sample->SetFontRecord(m_fonts.constFirst());
    return button;
}

QPushButton *TQZFontColorPanel::AddColorButton(const QString &caption)
{
    m_colorButton = new QPushButton(caption, this);
    m_colorButton->setObjectName(QStringLiteral("ColorButton"));
    m_buttons->addWidget(m_colorButton);
    connect(m_colorButton, &QPushButton::clicked, this, &TQZFontColorPanel::ColorClick);
    return m_colorButton;
}

TQZSamplePanel *TQZFontColorPanel::AddSample()
{
    m_sample = new TQZSamplePanel(this);
    m_layout->addWidget(m_sample, 1);
    if (!m_fonts.isEmpty())
        m_sample->SetFontRecord(m_fonts.constFirst());
    m_sample->SetColor(m_color);
    return m_sample;
}

QFrame *TQZFontColorPanel::AddSwatch(const QString &accessibleName, int stretch)
{
    m_swatch = new QFrame(this);
    m_swatch->setObjectName(QStringLiteral("ColorSample"));
    m_swatch->setAccessibleName(accessibleName);
    m_swatch->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_swatch->setAutoFillBackground(true);
    m_layout->addWidget(m_swatch, stretch);
    SetColor(m_color);
    return m_swatch;
}

void TQZFontColorPanel::SetFontRecord(const TFontRecord &font, int k)
{
    m_fonts[k] = font;
    if (k == 0 && m_sample)
        m_sample->SetFontRecord(font);
}

void TQZFontColorPanel::SetColor(quint32 color)
{
    m_color = color;
    if (m_sample)
        m_sample->SetColor(color);
    if (m_swatch) {
        QPalette palette = m_swatch->palette();
        palette.setColor(QPalette::Window, FaceColor(color));
        m_swatch->setPalette(palette);
    }
}

void TQZFontColorPanel::FontClick(int k)
{
    TFontRecord font = m_fonts.at(k);
    if (!ChooseFontRecord(window(), font))
        return;
    SetFontRecord(font, k);
    emit FontChosen(k);
}

void TQZFontColorPanel::ColorClick()
{
    quint32 color = m_color;
    if (!ChooseColorValue(window(), color))
        return;
    SetColor(color);
    emit ColorChosen();
}

} // namespace CorvBuilder
