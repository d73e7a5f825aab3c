// The property dialog of the input box question, "Input Box - Properties":
// the accepted answers, case sensitivity, points, font and colour, and the
// tolerances of the comparison with a line to try an answer on.
#pragma once

#include "QZAssessment.h"
#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

#include <QJsonObject>

#include <array>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace CorvBuilder {

// Load fills the answer edits from the top with the accepted answers 1 to
// AnswerCount; the other edits are empty. Store makes the filled answer edits,
// trimmed and cut to 100 characters, the accepted answers in slots 1 to
// AnswerCount in their order; slots after them keep their old bytes, which are
// never compared, except that slot 1 is emptied when no edit is filled (it is
// what showing the right answer shows).
//
// The tolerances are the box's settings (its Extra): Load with them shows
// them, and Extra() gives them back with the controls' values; keys the
// dialog has no control for, and a tolerance whose control was not touched,
// come back as they were.
class TVnosnoOknoLastnosti : public TRecordDialog<TVnosnoOknoRecord, true>
{
    Q_OBJECT

public:
    explicit TVnosnoOknoLastnosti(QWidget *parent = nullptr);

    using TRecordDialog::Load;
    // Load, and show the box's settings; the plain Load shows none.
    void Load(const TVnosnoOknoRecord &record, const QJsonObject &extra);
    // The settings last loaded, with the tolerance controls' values.
    QJsonObject Extra() const;

    // Answer edit 1 to 5.
    QLineEdit *AnswerEdit(int number) const { return m_answers[size_t(number - 1)]; }
    QCheckBox *CaseSensitiveBox() const { return m_caseSensitive; }
    QLineEdit *PointsEdit() const { return Points(); }
    QPushButton *FontButton() const { return m_look->FontButton(); }
    QPushButton *ColorButton() const { return m_look->ColorButton(); }
    TQZSamplePanel *Sample() const { return m_look->Sample(); }
    QCheckBox *IgnoreSpacesBox() const { return m_ignoreSpaces; }
    QCheckBox *IgnoreAccentsBox() const { return m_ignoreAccents; }
    QSpinBox *EditDistanceBox() const { return m_editDistance; }
    QCheckBox *NumbersBox() const { return m_numbers; }
    QDoubleSpinBox *ToleranceBox() const { return m_tolerance; }
    QLineEdit *TryEdit() const { return m_try; }
    QLabel *TryResult() const { return m_tryResult; }

private:
    void ShowRecord(const TVnosnoOknoRecord &record) override;
    void TakeRecord(TVnosnoOknoRecord &record) override;
    void ShowSettings(const QJsonObject &extra);
    // The comparison settings the controls show.
    TInputSettings Settings() const;
    void UpdateTry();

    std::array<QLineEdit *, 5> m_answers{};
    QCheckBox *m_caseSensitive;
    TQZFontColorPanel *m_look = nullptr;
    QCheckBox *m_ignoreSpaces = nullptr;
    QCheckBox *m_ignoreAccents = nullptr;
    QSpinBox *m_editDistance = nullptr;
    QCheckBox *m_numbers = nullptr;
    QDoubleSpinBox *m_tolerance = nullptr;
    QLineEdit *m_try = nullptr;
    QLabel *m_tryResult = nullptr;
    // The settings as loaded, and the tolerance as the spin box first showed
    // it (rounded to its decimals).
    QJsonObject m_extra;
    TInputSettings m_loaded;
    double m_shownTolerance = 0;
};

} // namespace CorvBuilder
