// The property dialog of the text with background, "Underlying Text -
// Properties": its text, alignment, docking, font and background colour.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace CorvBuilder {

class TPanelBesediloLastnosti : public TRecordDialog<TPanelBesediloRecord>
{
    Q_OBJECT

public:
    explicit TPanelBesediloLastnosti(QWidget *parent = nullptr);

    QLineEdit *TextEdit() const { return m_text; }
    // Ids 0 "Left Justify", 1 "Right Justify", 2 "Center".
    QButtonGroup *AlignmentGroup() const { return m_alignment; }
    // Ids 0 "Optional", 1 "Top", 2 "Bottom".
    QButtonGroup *PositionGroup() const { return m_position; }
    QPushButton *FontButton() const { return m_look->FontButton(); }
    QPushButton *ColorButton() const { return m_look->ColorButton(); }
    TQZSamplePanel *Sample() const { return m_look->Sample(); }

private:
    void ShowRecord(const TPanelBesediloRecord &record) override;
    void TakeRecord(TPanelBesediloRecord &record) override;

    QLineEdit *m_text;
    TQZFontColorPanel *m_look;
    QButtonGroup *m_alignment = nullptr;
    QButtonGroup *m_position = nullptr;
};

} // namespace CorvBuilder
