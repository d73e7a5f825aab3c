// The property dialog of the transparent text, "Transparent Text -
// Properties": its text, alignment and font.
#pragma once

#include "QZDialogParts.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

class TBesediloLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TBesediloLastnosti(QWidget *parent = nullptr);

    // Takes a copy of a record (pixels) and sets every control from it.
    void Load(const TBesediloRecord &record);
    // The loaded record with the controls' values; fields the dialog does not
    // show come back as loaded.
    TBesediloRecord Store();

    QLineEdit *TextEdit() const { return m_text; }
    // Ids 0 "Left Justify", 1 "Right Justify", 2 "Center".
    QButtonGroup *AlignmentGroup() const { return m_alignment; }
    QPushButton *FontButton() const { return m_fontButton; }
    TQZSamplePanel *Sample() const { return m_sample; }

private:
    void FontClick();

    TBesediloRecord m_record;
    QLineEdit *m_text;
    QButtonGroup *m_alignment = nullptr;
    QPushButton *m_fontButton;
    TQZSamplePanel *m_sample;
};
