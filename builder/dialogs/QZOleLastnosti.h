// The property dialog of the OLE frame, "OLE Object - Properties": the
// frame's colour, how the object is fitted into it and whether the player
// lets the student open it.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;

namespace CorvBuilder {

class TOleLastnosti : public TRecordDialog<TOleRecord>
{
    Q_OBJECT

public:
    explicit TOleLastnosti(QWidget *parent = nullptr);

    QPushButton *ColorButton() const { return m_look->ColorButton(); }
    // The colour value the colour sample shows.
    quint32 SampleColor() const { return m_look->Color(); }
    QFrame *ColorSample() const { return m_look->Swatch(); }
    // Ids 0 "Normal size", 1 "Centring at normal size", 2 "Proportional
    // sizie", 3 "Stretch".
    QButtonGroup *SizeModeGroup() const { return m_sizeMode; }
    QCheckBox *ActivationBox() const { return m_activation; }

private:
    void ShowRecord(const TOleRecord &record) override;
    void TakeRecord(TOleRecord &record) override;

    TQZFontColorPanel *m_look;
    QButtonGroup *m_sizeMode = nullptr;
    QCheckBox *m_activation;
};

} // namespace CorvBuilder
