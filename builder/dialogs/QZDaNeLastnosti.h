// The property dialog of the alternative question, "Alternative Question -
// Properties": the two answer texts, which of them is right, points and
// colour.
#pragma once

#include "QZDialogParts.h"

#include <optional>

class QLineEdit;
class QPushButton;
class QRadioButton;

class TDaNeLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TDaNeLastnosti(QWidget *parent = nullptr);

    // Takes a copy of a record (pixels) and sets every control from it.
    void Load(const TDaNeRecord &record);
    // The whole record as edited. Nothing, after an error box, when the
    // points text is not a whole number; the working copy then stays as it
    // was.
    std::optional<TDaNeRecord> Store();

    // OK with a points text that is not a whole number shows the error and
    // keeps the dialog open.
    void accept() override;

    QLineEdit *PointsEdit() const { return m_points; }
    QLineEdit *FirstEdit() const { return m_firstText; }
    QLineEdit *SecondEdit() const { return m_secondText; }
    // The items of the "Right answer" group, captioned with the two texts.
    QRadioButton *FirstItem() const { return m_firstItem; }
    QRadioButton *SecondItem() const { return m_secondItem; }
    QPushButton *ColorButton() const { return m_color; }
    // The colour value the colour sample shows.
    quint32 SampleColor() const { return m_sampleColor; }

private:
    void ColorClick();
    void SetSampleColor(quint32 color);

    TDaNeRecord m_record;
    QLineEdit *m_points;
    QRadioButton *m_firstItem;
    QRadioButton *m_secondItem;
    QLineEdit *m_firstText;
    QLineEdit *m_secondText;
    QPushButton *m_color;
    QFrame *m_colorSample;
    quint32 m_sampleColor = 0;
};
