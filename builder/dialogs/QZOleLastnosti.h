// The property dialog of the OLE frame, "OLE Object - Properties": the
// frame's colour, how the object is fitted into it and whether the player
// lets the student open it.
#pragma once

#include "QZDialogParts.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;

class TOleLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TOleLastnosti(QWidget *parent = nullptr);

    // Takes a copy of a record (pixels) and sets every control from it.
    void Load(const TOleRecord &record);
    // The loaded record with the controls' values; the colour is the colour
    // sample's.
    TOleRecord Store();

    QPushButton *ColorButton() const { return m_colorButton; }
    // The colour value the colour sample shows.
    quint32 SampleColor() const { return m_color; }
    QFrame *ColorSample() const { return m_colorSample; }
    // Ids 0 "Normal size", 1 "Centring at normal size", 2 "Proportional
    // sizie", 3 "Stretch".
    QButtonGroup *SizeModeGroup() const { return m_sizeMode; }
    QCheckBox *ActivationBox() const { return m_activation; }

private:
    void ColorClick();
    void SetSampleColor(quint32 color);

    TOleRecord m_record;
    quint32 m_color = 0;
    QPushButton *m_colorButton;
    QFrame *m_colorSample;
    QButtonGroup *m_sizeMode = nullptr;
    QCheckBox *m_activation;
};
