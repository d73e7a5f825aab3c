// The property dialog of the alternative question, "Alternative Question -
// Properties": the two answer texts, which of them is right, points and
// colour.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace CorvBuilder {

class TDaNeLastnosti : public TRecordDialog<TDaNeRecord, true>
{
    Q_OBJECT

public:
    explicit TDaNeLastnosti(QWidget *parent = nullptr);

    QLineEdit *PointsEdit() const { return Points(); }
    QLineEdit *FirstEdit() const { return m_firstText; }
    QLineEdit *SecondEdit() const { return m_secondText; }
    // The items of the "Right answer" group, captioned with the two texts.
    QRadioButton *FirstItem() const { return m_firstItem; }
    QRadioButton *SecondItem() const { return m_secondItem; }
    QPushButton *ColorButton() const { return m_look->ColorButton(); }
    // The colour value the colour sample shows.
    quint32 SampleColor() const { return m_look->Color(); }

private:
    void ShowRecord(const TDaNeRecord &record) override;
    void TakeRecord(TDaNeRecord &record) override;

    QRadioButton *m_firstItem;
    QRadioButton *m_secondItem;
    QLineEdit *m_firstText;
    QLineEdit *m_secondText;
    TQZFontColorPanel *m_look;
};

} // namespace CorvBuilder
