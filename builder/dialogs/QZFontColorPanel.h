// The font and colour part of a property dialog: font buttons, a colour
// button and what shows the choice (the "AaBbCc" sample or a colour swatch).
// The panel keeps the font records and the colour value a dialog loads into
// it; its buttons open the font and colour dialogs through the interaction
// layer, preset to what the panel holds, and keep what the author chose.
#pragma once

#include "QZRecords.h"

#include <QList>
#include <QWidget>

class QBoxLayout;
class QFrame;
class QPushButton;

namespace CorvBuilder {

class TQZSamplePanel;

class TQZFontColorPanel : public QWidget
{
    Q_OBJECT

public:
    enum class TArrangement {
        // The buttons one below the other, the sample below them.
        Column,
        // The buttons one below the other, the sample to their right.
        ColumnSampleBeside,
        // The buttons side by side, the sample (a swatch) after them.
        Row,
    };

    TQZFontColorPanel(TArrangement arrangement, QWidget *parent);

    // The controls are made in the order they are added, which is their tab
    // order among the dialog's controls.
    //
    // A button choosing the next font: font 0 is the first button's.
    QPushButton *AddFontButton(const QString &caption,
                               const QString &objectName = QStringLiteral("FontButton"));
    QPushButton *AddColorButton(const QString &caption);
    // "AaBbCc" in the first font on the colour, taking the room left over.
    TQZSamplePanel *AddSample();
    // The colour alone ("ColorSample"), with a stretch factor for the room
    // left over; the dialog gives it its size.
    QFrame *AddSwatch(const QString &accessibleName, int stretch = 0);

    // Font `k` (in the order the buttons were added) and the colour value;
    // setting them shows them and emits nothing.
    void SetFontRecord(const TFontRecord &font, int k = 0);
    const TFontRecord &FontRecord(int k = 0) const { return m_fonts.at(k); }
    void SetColor(quint32 color);
    quint32 Color() const { return m_color; }

    QPushButton *FontButton(int k = 0) const { return m_fontButtons.value(k); }
    QPushButton *ColorButton() const { return m_colorButton; }
    TQZSamplePanel *Sample() const { return m_sample; }
    QFrame *Swatch() const { return m_swatch; }
    // The layout of the buttons, for a dialog that puts a row of its own
    // among them.
    QBoxLayout *ButtonLayout() const { return m_buttons; }

signals:
    // The author chose font `k` or a colour in its dialog (not emitted when
    // the dialog was cancelled).
    void FontChosen(int k);
    void ColorChosen();

private:
    void FontClick(int k);
    void ColorClick();

    QBoxLayout *m_layout;
    QBoxLayout *m_buttons;
    QList<TFontRecord> m_fonts;
    QList<QPushButton *> m_fontButtons;
    quint32 m_color;
    QPushButton *m_colorButton = nullptr;
    TQZSamplePanel *m_sample = nullptr;
    QFrame *m_swatch = nullptr;
};

} // namespace CorvBuilder
