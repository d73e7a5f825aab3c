// The property dialog of the transparent text, "Transparent Text -
// Properties": its text, alignment and font.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace CorvBuilder {

class TBesediloLastnosti : public TRecordDialog<TBesediloRecord>
{
    Q_OBJECT

public:
    explicit TBesediloLastnosti(QWidget *parent = nullptr);

    QLineEdit *TextEdit() const { return m_text; }
    // Ids 0 "Left Justify", 1 "Right Justify", 2 "Center".
    QButtonGroup *AlignmentGroup() const { return m_alignment; }
    QPushButton *FontButton() const { return m_look->FontButton(); }
    TQZSamplePanel *Sample() const { return m_look->Sample(); }

private:
    void ShowRecord(const TBesediloRecord &record) override;
    void TakeRecord(TBesediloRecord &record) override;

    QLineEdit *m_text;
    TQZFontColorPanel *m_look;
    QButtonGroup *m_alignment = nullptr;
};

} // namespace CorvBuilder
