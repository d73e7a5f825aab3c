// The property dialog of the input box question, "Input Box - Properties":
// the accepted answers, case sensitivity, points, font and colour.
#pragma once

#include "QZDialogParts.h"

#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TVnosnoOknoLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TVnosnoOknoLastnosti(QWidget *parent = nullptr);

    // Takes a copy of a record (pixels): the accepted answers 1 to
    // AnswerCount fill the answer edits from the top, the other edits are
    // empty.
    void Load(const TVnosnoOknoRecord &record);
    // The whole record as edited. The filled answer edits, trimmed and cut to
    // 100 characters, become the accepted answers in slots 1 to AnswerCount
    // in their order; slots after them keep their old bytes, which are never
    // compared, except that slot 1 is emptied when no edit is filled (it is
    // what showing the right answer shows). Nothing, after an error box, when
    // the points text is not a whole number; the working copy then stays as it
    // was.
    std::optional<TVnosnoOknoRecord> Store();

    // OK with a points text that is not a whole number shows the error and
    // keeps the dialog open.
    void accept() override;

    // Answer edit 1 to 5.
    QLineEdit *AnswerEdit(int number) const { return m_answers[size_t(number - 1)]; }
    QCheckBox *CaseSensitiveBox() const { return m_caseSensitive; }
    QLineEdit *PointsEdit() const { return m_points; }
    QPushButton *FontButton() const { return m_font; }
    QPushButton *ColorButton() const { return m_color; }
    TQZSamplePanel *Sample() const { return m_sample; }

private:
    void FontClick();
    void ColorClick();

    TVnosnoOknoRecord m_record;
    std::array<QLineEdit *, 5> m_answers{};
    QCheckBox *m_caseSensitive;
    QLineEdit *m_points;
    QPushButton *m_font;
    QPushButton *m_color;
    TQZSamplePanel *m_sample;
};
