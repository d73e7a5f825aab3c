// The property dialog of the input box question, "Input Box - Properties":
// the accepted answers, case sensitivity, points, font and colour.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace CorvBuilder {

// Load fills the answer edits from the top with the accepted answers 1 to
// AnswerCount; the other edits are empty. Store makes the filled answer edits,
// trimmed and cut to 100 characters, the accepted answers in slots 1 to
// AnswerCount in their order; slots after them keep their old bytes, which are
// never compared, except that slot 1 is emptied when no edit is filled (it is
// what showing the right answer shows).
class TVnosnoOknoLastnosti : public TRecordDialog<TVnosnoOknoRecord, true>
{
    Q_OBJECT

public:
    explicit TVnosnoOknoLastnosti(QWidget *parent = nullptr);

    // Answer edit 1 to 5.
    QLineEdit *AnswerEdit(int number) const { return m_answers[size_t(number - 1)]; }
    QCheckBox *CaseSensitiveBox() const { return m_caseSensitive; }
    QLineEdit *PointsEdit() const { return Points(); }
    QPushButton *FontButton() const { return m_look->FontButton(); }
    QPushButton *ColorButton() const { return m_look->ColorButton(); }
    TQZSamplePanel *Sample() const { return m_look->Sample(); }

private:
    void ShowRecord(const TVnosnoOknoRecord &record) override;
    void TakeRecord(TVnosnoOknoRecord &record) override;

    std::array<QLineEdit *, 5> m_answers{};
    QCheckBox *m_caseSensitive;
    TQZFontColorPanel *m_look = nullptr;
};

} // namespace CorvBuilder
