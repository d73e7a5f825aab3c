// The question objects: choices, the alternative of two answers and the input
// box. The student's answer lives only in the face controls and is read from
// them at the moment of each evaluation call; it is never part of the record.
// Records, positions and sizes are in screen pixels.
#pragma once

#include "QZControls.h"
#include "QZFaceParts.h"

#include <QList>
#include <QStringList>

#include <array>

class QAbstractButton;
class QGroupBox;
class QLineEdit;
class QToolButton;

// Choices: a group frame captioned with the question and six choice controls
// (radio buttons with SingleAnswer, else check boxes), of which choices 1 to
// ChoiceCount are shown and take part. The frame's height follows from the
// fonts and the number of choices alone.
class TQZIzbire final : public TQZFaceControl<TIzbireRecord, TQZActiveControl>
{
public:
    TQZIzbire(QWidget *parent, const TIzbireRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    // Height is ignored; the choices shown become width - 15 wide.
    void ResizeTo(qint32 width, qint32 height) override;

    bool IsAnswered() const override;
    bool IsCorrect() const override;
    // With SingleAnswer, Points when correct. Otherwise per choice: Points for
    // each choice marked as the author marked it, -Points for each other one.
    void AddScore(qint32 &earned) const override;
    void ShowCorrectAnswer() override;
    void AddMaxScore(qint32 &possible) const override;

    // Builder: takes a whole new record and rebuilds the choices (unchecked)
    // with the current layout rule; the frame's position stays.
    void ApplyRecord(const TIzbireRecord &record);
    // The numbers 1..ChoiceCount of the choices now checked.
    TByteSet CheckedSet() const;
    // The same as a rising list, and the choices shown that the author marked
    // as right.
    QList<int> MarkedChoices() const;
    QList<int> RightChoices() const;
    // Checks exactly the shown choices listed (numbers from 1), as the
    // student would have left them; other numbers are ignored.
    void SetMarkedChoices(const QList<int> &numbers);

    QGroupBox *Frame() const;
    // Choice 1 to 6.
    QAbstractButton *Choice(int number) const;
    // ChoiceCount, limited to the six controls there are.
    int ShownChoices() const;
    // Pixel height of one choice row for the font of the choices.
    static qint32 RowHeight(const TIzbireRecord &record, bool loadingOldFile);

private:
    void ApplyFrame();
    void BuildChoices(bool loadingOldFile);
    bool Checked(int number) const;
    bool Right(int number) const;

    std::array<QAbstractButton *, 6> m_choices{};
};

// The alternative: a raised panel with two flat toggle buttons, of which at
// most one is down; pressing the down button again puts it up.
class TQZDaNe final : public TQZFaceControl<TDaNeRecord, TQZActiveControl>
{
public:
    TQZDaNe(QWidget *parent, const TDaNeRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    // The panel is never narrower than both buttons and three margins; height
    // is ignored. The second button stays at the right edge.
    void ResizeTo(qint32 width, qint32 height) override;

    bool IsAnswered() const override;
    bool IsCorrect() const override;
    void AddScore(qint32 &earned) const override;
    void ShowCorrectAnswer() override;
    void AddMaxScore(qint32 &possible) const override;

    // Builder: takes a whole new record; position and button states stay.
    void ApplyRecord(const TDaNeRecord &record);

    // The button down, 1 or 2, or 0 when both are up; the right one.
    int PressedButton() const;
    int RightButton() const { return m_record.FirstIsCorrect ? 1 : 2; }
    // Puts button 1 or 2 down and the other up; 0 puts both up.
    void SetPressedButton(int button);

    TQZObjectFrame *Panel() const;
    QToolButton *FirstButton() const { return m_first; }
    QToolButton *SecondButton() const { return m_second; }
    // Width of each button: the wider text in the panel's font and a margin
    // on either side.
    qint64 ButtonWidth() const;
    // The narrowest the panel becomes.
    qint64 MinimumWidth() const;

private:
    void ApplyTexts();

    QToolButton *m_first = nullptr;
    QToolButton *m_second = nullptr;
};

// The input box: one line of typed text compared with the accepted answers
// in slots 1 to AnswerCount. Its height follows its font.
class TQZVnosnoOkno final : public TQZFaceControl<TVnosnoOknoRecord, TQZActiveControl>
{
public:
    TQZVnosnoOkno(QWidget *parent, const TVnosnoOknoRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    // Height is ignored.
    void ResizeTo(qint32 width, qint32 height) override;

    bool IsAnswered() const override;
    bool IsCorrect() const override;
    void AddScore(qint32 &earned) const override;
    // Shows answer slot 1, whichever slot the typed text matched.
    void ShowCorrectAnswer() override;
    void AddMaxScore(qint32 &possible) const override;

    // Builder: takes a whole new record and applies its colour and font;
    // position, width and the typed text stay.
    void ApplyRecord(const TVnosnoOknoRecord &record);

    QLineEdit *Edit() const;
    // AnswerCount, limited to the five slots there are.
    int AnswerSlots() const;
    // Accepted answer 1 to 5, in the code page of the box's font.
    QString Answer(int slot) const;
    // Slots 1 to AnswerSlots().
    QStringList AcceptedAnswers() const;
    QString TypedText() const;
    void SetTypedText(const QString &text);

private:
    void ApplyLook();
};
