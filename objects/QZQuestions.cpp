#include "QZQuestions.h"

#include "QZAnswerMatch.h"
#include "QZCodePage.h"
#include "QZFont.h"
#include "QZFonts.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

constexpr int ChoiceControls = 6;
constexpr int AnswerSlotCount = 5;
// The choices are this much narrower than their frame (pixels).
constexpr int ChoiceWidthInset = 15;

qint64 Abs(qint64 value) { return value < 0 ? -value : value; }

// Sets a choice's check state. A checked radio button refuses to be unchecked
// while it is exclusive, yet showing an answer must be able to clear it.
void SetChecked(QAbstractButton *button, bool checked)
{
    if (checked || !button->isChecked()) {
        button->setChecked(checked);
        return;
    }
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

// A flat toggle answer button that Enter and Return press as well as Space,
// so that a test can be taken from the keyboard.
class TQZAnswerButton final : public QToolButton
{
public:
    using QToolButton::QToolButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (!event->isAutoRepeat())
                click();
            return;
        }
        QToolButton::keyPressEvent(event);
    }
};

// A single-answer choice that Tab reaches like any other control. The toolkit
// lets Tab stop only at the focused button of an exclusive group and leaves
// the others to the arrow keys; a test must be possible with Tab and Space.
class TQZChoiceRadio final : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QRadioButton::focusInEvent(event);
        for (QObject *sibling : parent()->children())
            if (auto *choice = qobject_cast<QRadioButton *>(sibling))
                choice->setFocusPolicy(Qt::StrongFocus);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Choices

TQZIzbire::TQZIzbire(QWidget *parent, const TIzbireRecord &record)
    : TQZFaceControl(ObjIzbire, parent, record)
{
    auto *frame = new QGroupBox(parent);
    SetFace(frame);
    ApplyFrame();
    // Without choices the frame is as high as its caption and its margins.
    frame->setGeometry(FaceRect(m_record.Left, m_record.Top, m_record.Width,
                                Abs(m_record.QuestionFont.Height) + 2 * qint64(Margin())));
    BuildChoices(FileVersion == 256);
    ResizeTo(frame->width(), frame->height());
}

QGroupBox *TQZIzbire::Frame() const { return static_cast<QGroupBox *>(Face()); }

QAbstractButton *TQZIzbire::Choice(int number) const
{
    return number >= 1 && number <= ChoiceControls ? m_choices[size_t(number - 1)] : nullptr;
}

int TQZIzbire::ShownChoices() const { return std::min<int>(m_record.ChoiceCount, ChoiceControls); }

qint32 TQZIzbire::RowHeight(const TIzbireRecord &record, bool loadingOldFile)
{
    // Files of version 256 were laid out with rows exactly one font high.
    const double factor = loadingOldFile ? 1.0 : 1.1;
    return qint32(std::min<qint64>(Abs(RoundHalfEven(record.ChoiceFont.Height * factor)),
                                   std::numeric_limits<qint32>::max()));
}

void TQZIzbire::ApplyFrame()
{
    QGroupBox *frame = Frame();
    const QString question = FontText(m_record.QuestionText.Bytes(), m_record.QuestionFont);
    ApplyFaceFont(frame, m_record.QuestionFont);
    SetBackgroundColor(frame, m_record.Color);
    frame->setTitle(question);
    frame->setAccessibleName(AccessibleText(question));
}

// Replaces the six choice controls by new, unchecked ones of the kind that
// SingleAnswer asks for, laid out in rows below the caption, and sets the
// frame's height to hold the choices shown.
void TQZIzbire::BuildChoices(bool loadingOldFile)
{
    QGroupBox *frame = Frame();
    for (QAbstractButton *&choice : m_choices) {
        delete choice;
        choice = nullptr;
    }
    const qint64 margin = Margin();
    const qint64 row = RowHeight(m_record, loadingOldFile);
    const qint64 captionHeight = Abs(m_record.QuestionFont.Height);
    const int shown = ShownChoices();
    QWidget *previous = frame;
    for (int i = 1; i <= ChoiceControls; ++i) {
        QAbstractButton *choice = nullptr;
        if (m_record.SingleAnswer)
            choice = new TQZChoiceRadio(frame);
        else
            choice = new QCheckBox(frame);
        m_choices[size_t(i - 1)] = choice;
        const QString text = FontText(m_record.Choices[i - 1].Bytes(), m_record.ChoiceFont);
        ApplyFaceFont(choice, m_record.ChoiceFont);
        choice->setCursor(Qt::PointingHandCursor);
        choice->setText(text);
        choice->setAccessibleName(AccessibleText(text));
        choice->setGeometry(FaceRect(2 * margin, row * (i - 1) + captionHeight + 2 * margin,
                                     qint64(frame->width()) - ChoiceWidthInset, row));
        choice->setVisible(i <= shown);
        // Tab runs through the choices in order, right after their frame, even
        // when they are rebuilt long after the frame was made.
        QWidget::setTabOrder(previous, choice);
        previous = choice;
    }
    if (shown > 0) {
        const qint64 lastTop = row * (shown - 1) + captionHeight + 2 * margin;
        frame->resize(frame->width(), FaceExtent(lastTop + row + row / 2));
    }
}

void TQZIzbire::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Frame()->move(FaceCoordinate(left), FaceCoordinate(top));
}

void TQZIzbire::ResizeTo(qint32 width, qint32)
{
    QGroupBox *frame = Frame();
    frame->resize(FaceExtent(width), frame->height());
    for (int i = 1; i <= ShownChoices(); ++i) {
        QAbstractButton *choice = Choice(i);
        choice->resize(FaceExtent(qint64(width) - ChoiceWidthInset), choice->height());
    }
    m_record.Width = frame->width();
}

bool TQZIzbire::Checked(int number) const { return Choice(number)->isChecked(); }

bool TQZIzbire::Right(int number) const { return m_record.CorrectSet.Contains(number); }

bool TQZIzbire::IsAnswered() const
{
    for (int i = 1; i <= ShownChoices(); ++i)
        if (Checked(i))
            return true;
    return false;
}

bool TQZIzbire::IsCorrect() const
{
    for (int i = 1; i <= ShownChoices(); ++i)
        if (Checked(i) != Right(i))
            return false;
    return true;
}

void TQZIzbire::AddScore(qint32 &earned) const
{
    const qint32 points = m_record.Points;
    if (m_record.SingleAnswer) {
        if (IsCorrect())
            AddPoints(earned, points);
        return;
    }
    for (int i = 1; i <= ShownChoices(); ++i)
        AddPoints(earned, Checked(i) == Right(i) ? qint64(points) : -qint64(points));
}

void TQZIzbire::ShowCorrectAnswer()
{
    for (int i = 1; i <= ShownChoices(); ++i)
        SetChecked(Choice(i), Right(i));
}

void TQZIzbire::AddMaxScore(qint32 &possible) const
{
    const qint64 points = m_record.Points;
    AddPoints(possible, m_record.SingleAnswer ? points : ShownChoices() * points);
}

void TQZIzbire::ApplyRecord(const TIzbireRecord &record)
{
    m_record = record;
    ApplyFrame();
    BuildChoices(false);
    QGroupBox *frame = Frame();
    frame->resize(FaceExtent(m_record.Width), frame->height());
    ResizeTo(frame->width(), frame->height());
}

TByteSet TQZIzbire::CheckedSet() const
{
    auto set = ZeroRecord<TByteSet>();
    for (int i = 1; i <= ShownChoices(); ++i)
        set.Include(i, Checked(i));
    return set;
}

QList<int> TQZIzbire::MarkedChoices() const
{
    QList<int> numbers;
    for (int i = 1; i <= ShownChoices(); ++i)
        if (Checked(i))
            numbers << i;
    return numbers;
}

QList<int> TQZIzbire::RightChoices() const
{
    QList<int> numbers;
    for (int i = 1; i <= ShownChoices(); ++i)
        if (Right(i))
            numbers << i;
    return numbers;
}

void TQZIzbire::SetMarkedChoices(const QList<int> &numbers)
{
    // Unchecking first: with radio buttons, checking one unchecks the others
    // anyway, and the last one listed wins as a click would.
    for (int i = 1; i <= ShownChoices(); ++i)
        if (!numbers.contains(i))
            SetChecked(Choice(i), false);
    for (int number : numbers)
        if (number >= 1 && number <= ShownChoices())
            SetChecked(Choice(number), true);
}

// ---------------------------------------------------------------------------
// Alternative

TQZDaNe::TQZDaNe(QWidget *parent, const TDaNeRecord &record)
    : TQZFaceControl(ObjDaNe, parent, record)
{
    auto *panel = new TQZObjectFrame(parent, m_record.Color);
    SetFace(panel);
    panel->setFont(AnswerFont(parent));

    const auto makeButton = [panel] {
        auto *button = new TQZAnswerButton(panel);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setCursor(Qt::PointingHandCursor);
        button->show(); // with the panel, even when that is on screen already
        return button;
    };
    m_first = makeButton();
    m_second = makeButton();
    // One group in which both may be up: a button going down puts the other up.
    QObject::connect(m_first, &QToolButton::toggled, m_second, [second = m_second](bool down) {
        if (down)
            second->setChecked(false);
    });
    QObject::connect(m_second, &QToolButton::toggled, m_first, [first = m_first](bool down) {
        if (down)
            first->setChecked(false);
    });

    const qint64 margin = Margin();
    const qint64 buttonHeight = AnswerButtonHeight();
    ApplyTexts();
    m_first->move(FaceCoordinate(margin), FaceCoordinate(margin));
    m_second->move(m_second->x(), FaceCoordinate(margin));
    panel->setGeometry(
        FaceRect(m_record.Left, m_record.Top, m_record.Width, buttonHeight + 2 * margin));
    ResizeTo(panel->width(), panel->height());
}

TQZObjectFrame *TQZDaNe::Panel() const { return static_cast<TQZObjectFrame *>(Face()); }

qint64 TQZDaNe::ButtonWidth() const
{
    const QFontMetrics metrics(Panel()->font());
    const int widest = std::max(metrics.horizontalAdvance(m_first->text()),
                                metrics.horizontalAdvance(m_second->text()));
    return widest + 2 * qint64(Margin());
}

qint64 TQZDaNe::MinimumWidth() const { return 2 * ButtonWidth() + 2 * qint64(Margin()); }

// Captions and button sizes from the record; positions are ResizeTo's.
void TQZDaNe::ApplyTexts()
{
    const QString first = DecodeDefault(m_record.FirstText.Bytes());
    const QString second = DecodeDefault(m_record.SecondText.Bytes());
    m_first->setText(first);
    m_first->setAccessibleName(AccessibleText(first));
    m_second->setText(second);
    m_second->setAccessibleName(AccessibleText(second));
    const QSize size(FaceExtent(ButtonWidth()), FaceExtent(AnswerButtonHeight()));
    m_first->resize(size);
    m_second->resize(size);
}

void TQZDaNe::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Panel()->move(FaceCoordinate(left), FaceCoordinate(top));
}

void TQZDaNe::ResizeTo(qint32 width, qint32)
{
    TQZObjectFrame *panel = Panel();
    const qint64 minimum = MinimumWidth();
    panel->resize(FaceExtent(minimum < width ? qint64(width) : minimum), panel->height());
    m_record.Width = panel->width();
    m_second->move(FaceCoordinate(qint64(panel->width()) - m_second->width() - Margin()),
                   m_second->y());
}

bool TQZDaNe::IsAnswered() const { return m_first->isChecked() || m_second->isChecked(); }

bool TQZDaNe::IsCorrect() const
{
    return m_record.FirstIsCorrect ? m_first->isChecked() : m_second->isChecked();
}

void TQZDaNe::AddScore(qint32 &earned) const
{
    if (IsCorrect())
        AddPoints(earned, m_record.Points);
}

void TQZDaNe::ShowCorrectAnswer()
{
    (m_record.FirstIsCorrect ? m_first : m_second)->setChecked(true);
}

void TQZDaNe::AddMaxScore(qint32 &possible) const { AddPoints(possible, m_record.Points); }

int TQZDaNe::PressedButton() const
{
    if (m_first->isChecked())
        return 1;
    return m_second->isChecked() ? 2 : 0;
}

void TQZDaNe::SetPressedButton(int button)
{
    m_first->setChecked(button == 1);
    m_second->setChecked(button == 2);
}

void TQZDaNe::ApplyRecord(const TDaNeRecord &record)
{
    m_record = record;
    Panel()->SetColor(m_record.Color);
    ApplyTexts();
    ResizeTo(m_record.Width, Panel()->height());
}

// ---------------------------------------------------------------------------
// Input box

TQZVnosnoOkno::TQZVnosnoOkno(QWidget *parent, const TVnosnoOknoRecord &record)
    : TQZFaceControl(ObjVnosnoOkno, parent, record)
{
    auto *edit = new QLineEdit(parent);
    SetFace(edit);
    edit->setAccessibleName(QStringLiteral("Answer"));
    ApplyLook();
    edit->setGeometry(
        FaceRect(m_record.Left, m_record.Top, m_record.Width, edit->sizeHint().height()));
}

QLineEdit *TQZVnosnoOkno::Edit() const { return static_cast<QLineEdit *>(Face()); }

int TQZVnosnoOkno::AnswerSlots() const
{
    return std::clamp<qint32>(m_record.AnswerCount, 0, AnswerSlotCount);
}

QString TQZVnosnoOkno::Answer(int slot) const
{
    if (slot < 1 || slot > AnswerSlotCount)
        return {};
    return FontText(m_record.Answers[slot].Bytes(), m_record.Font);
}

QStringList TQZVnosnoOkno::AcceptedAnswers() const
{
    QStringList answers;
    for (int slot = 1; slot <= AnswerSlots(); ++slot)
        answers << Answer(slot);
    return answers;
}

QString TQZVnosnoOkno::TypedText() const { return Edit()->text(); }

void TQZVnosnoOkno::SetTypedText(const QString &text) { Edit()->setText(text); }

// Colour and font; the height follows the font.
void TQZVnosnoOkno::ApplyLook()
{
    QLineEdit *edit = Edit();
    ApplyFaceFont(edit, m_record.Font);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, FaceColor(m_record.Color));
    edit->setPalette(palette);
    edit->resize(edit->width(), edit->sizeHint().height());
}

void TQZVnosnoOkno::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Edit()->move(FaceCoordinate(left), FaceCoordinate(top));
}

void TQZVnosnoOkno::ResizeTo(qint32 width, qint32)
{
    m_record.Width = width;
    Edit()->resize(FaceExtent(width), Edit()->height());
}

bool TQZVnosnoOkno::IsAnswered() const { return !TrimmedName(Edit()->text()).isEmpty(); }

bool TQZVnosnoOkno::IsCorrect() const
{
    const QString typed = Edit()->text();
    const TInputSettings settings = TInputSettings::FromJson(Extra());
    for (int slot = 1; slot <= AnswerSlots(); ++slot)
        if (AnswerMatches(typed, Answer(slot), m_record.CaseSensitive, settings))
            return true;
    return false;
}

void TQZVnosnoOkno::AddScore(qint32 &earned) const
{
    if (IsCorrect())
        AddPoints(earned, m_record.Points);
}

void TQZVnosnoOkno::ShowCorrectAnswer() { Edit()->setText(Answer(1)); }

void TQZVnosnoOkno::AddMaxScore(qint32 &possible) const { AddPoints(possible, m_record.Points); }

void TQZVnosnoOkno::ApplyRecord(const TVnosnoOknoRecord &record)
{
    m_record = record;
    ApplyLook();
}
