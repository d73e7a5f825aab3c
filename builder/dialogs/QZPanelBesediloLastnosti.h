// The property dialog of the text with background, "Underlying Text -
// Properties": its text, alignment, docking, font and background colour.
#pragma once

#include "QZDialogParts.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

class TPanelBesediloLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TPanelBesediloLastnosti(QWidget *parent = nullptr);

    // Takes a copy of a record (pixels) and sets every control from it.
    void Load(const TPanelBesediloRecord &record);
    // The loaded record with the controls' values; the font and colour are
    // the sample panel's.
    TPanelBesediloRecord Store();

    QLineEdit *TextEdit() const { return m_text; }
    // Ids 0 "Left Justify", 1 "Right Justify", 2 "Center".
    QButtonGroup *AlignmentGroup() const { return m_alignment; }
    // Ids 0 "Optional", 1 "Top", 2 "Bottom".
    QButtonGroup *PositionGroup() const { return m_position; }
    QPushButton *FontButton() const { return m_fontButton; }
    QPushButton *ColorButton() const { return m_colorButton; }
    TQZSamplePanel *Sample() const { return m_sample; }

private:
    void FontClick();
    void ColorClick();

    TPanelBesediloRecord m_record;
    QLineEdit *m_text;
    QButtonGroup *m_alignment = nullptr;
    QButtonGroup *m_position = nullptr;
    QPushButton *m_fontButton;
    QPushButton *m_colorButton;
    TQZSamplePanel *m_sample;
};
