#include "QZRezultat.h"

#include "QZFonts.h"
#include "QZInteraction.h"
#include "QZNaloga.h"
#include "QZScaling.h"
#include "QZWindowPlacement.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

const QColor Navy(0, 0, 128);

// Fixed pixel fonts: the dialog does not follow the screen size.
QFont DialogFont(int pixelHeight, bool bold)
{
    QFont font(FreeFamilyOf(QStringLiteral("Arial")));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

void SetTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace

TRezultatDialog::TRezultatDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setWindowTitle(QStringLiteral("The Result"));
    setFixedSize(404, 170);
    KeepCentredOnScreen(*this);

    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(8, 8, 388, 116);

    m_uspehPanel = new QLabel(frame);
    m_uspehPanel->setObjectName(QStringLiteral("UspehPanel"));
    m_uspehPanel->setTextFormat(Qt::PlainText);
    m_uspehPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_uspehPanel->setAlignment(Qt::AlignCenter);
    m_uspehPanel->setFont(DialogFont(19, false));
    SetTextColor(m_uspehPanel, Qt::blue);
    m_uspehPanel->setGeometry(8, 8, 372, 36);

    auto *commentPanel = new QFrame(frame);
    commentPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    commentPanel->setGeometry(8, 50, 372, 58);

    m_komentarLabel = new QLabel(commentPanel);
    m_komentarLabel->setObjectName(QStringLiteral("KomentarLabel"));
    // The comment is the test's own text, shown as typed.
    m_komentarLabel->setTextFormat(Qt::PlainText);
    m_komentarLabel->setAlignment(Qt::AlignCenter);
    m_komentarLabel->setWordWrap(true);
    m_komentarLabel->setFont(DialogFont(13, true));
    SetTextColor(m_komentarLabel, Navy);
    m_komentarLabel->setGeometry(4, 4, 364, 50);

    auto *exit = new QPushButton(QStringLiteral("Exit"), this);
    exit->setObjectName(QStringLiteral("ExitButton"));
    exit->setGeometry(162, 132, 80, 28);
    exit->setDefault(true);
    connect(exit, &QPushButton::clicked, this, &QDialog::accept);
}

qint32 TRezultatDialog::Percentage(qint32 earned, qint32 possible)
{
    if (possible == 0)
        return 0;
    return RoundHalfEven(double(earned) / double(possible) * 100.0);
}

int TRezultatDialog::CommentIndex(qint32 earned, qint32 possible)
{
    if (earned < 0 || possible == 0)
        return 0;
    return std::clamp(RoundHalfEven(7.0 / double(possible) * double(earned)), 0, CommentCount - 1);
}

void TRezultatDialog::SetResult(qint32 earned, qint32 possible, const QStringList &comments)
{
    m_uspehPanel->setText(QString::number(Percentage(earned, possible)) + QStringLiteral(" %"));
    m_komentarLabel->setText(comments.value(CommentIndex(earned, possible)));
}

void TRezultatDialog::Execute(const TQZNaloga &test, qint32 earned, qint32 possible)
{
    QStringList comments;
    for (int i = 0; i < CommentCount; ++i)
        comments << test.Comment(i);
    SetResult(earned, possible, comments);
    Interaction().ExecDialog(*this);
}

QString TRezultatDialog::PercentText() const { return m_uspehPanel->text(); }

QString TRezultatDialog::CommentText() const { return m_komentarLabel->text(); }
