#include "QZNalogaLastnosti.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int HelpContextTest = 130;
// Room for a comment of about sixty characters without scrolling.
constexpr int TextEditWidth = 520;

} // namespace

TNalogaLastnosti::TNalogaLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Test - Properties"), HelpContextTest,
                    ZeroRecord<TTestRecord>())
    , m_title(new QLineEdit(this))
    , m_comments{}
    , m_wrongAnswerMode(new QButtonGroup(this))
{
    auto *layout = new QVBoxLayout(this);

    auto *titleLabel = new QLabel(QStringLiteral("The title of the program"), this);
    titleLabel->setBuddy(m_title);
    m_title->setObjectName(QStringLiteral("TitleEdit"));
    m_title->setAccessibleName(QStringLiteral("The title of the program"));
    m_title->setMinimumWidth(TextEditWidth);
    layout->addWidget(titleLabel);
    layout->addWidget(m_title);

    auto *commentsBox = new QGroupBox(
        QStringLiteral("Comments on students achievements       BAD  -->   GOOD"), this);
    commentsBox->setObjectName(QStringLiteral("CommentsBox"));
    auto *commentsLayout = new QVBoxLayout(commentsBox);
    for (int i = 0; i < CommentCount; ++i) {
        auto *edit = new QLineEdit(commentsBox);
        edit->setObjectName(QStringLiteral("CommentEdit%1").arg(i));
        QString name = QStringLiteral("Comment %1 of %2").arg(i + 1).arg(CommentCount);
        if (i == 0)
            name += QStringLiteral(" (worst)");
        else if (i == CommentCount - 1)
            name += QStringLiteral(" (best)");
        edit->setAccessibleName(name);
        edit->setMinimumWidth(TextEditWidth);
        commentsLayout->addWidget(edit);
        m_comments[size_t(i)] = edit;
    }
    layout->addWidget(commentsBox);

    auto *modeBox = new QGroupBox(QStringLiteral("If answer is incorrect"), this);
    modeBox->setObjectName(QStringLiteral("WrongAnswerBox"));
    auto *modeLayout = new QVBoxLayout(modeBox);
    const QString items[WrongAnswerModeCount] = {
        QStringLiteral("don't show anything"),
        QStringLiteral("show the right answer"),
        QStringLiteral("show: \"The answer is incorrect!\""),
    };
    for (int i = 0; i < WrongAnswerModeCount; ++i) {
        auto *item = new QRadioButton(items[i], modeBox);
        item->setObjectName(QStringLiteral("WrongAnswerMode%1").arg(i));
        m_wrongAnswerMode->addButton(item, i);
        modeLayout->addWidget(item);
    }
    layout->addWidget(modeBox);

    layout->addWidget(MakeButtons());
    FixSize();
}

void TNalogaLastnosti::ShowRecord(const TTestRecord &record)
{
    m_title->setText(FieldText(record.Title));
    for (int i = 0; i < CommentCount; ++i)
        m_comments[size_t(i)]->setText(FieldText(record.Comments[i]));
    // A mode outside the three items leaves none of them selected.
    ShowChoice(m_wrongAnswerMode, record.WrongAnswerMode);
    m_title->setFocus();
}

void TNalogaLastnosti::TakeRecord(TTestRecord &record)
{
    TakeFieldText(record.Title, m_title->text());
    for (int i = 0; i < CommentCount; ++i)
        TakeFieldText(record.Comments[i], m_comments[size_t(i)]->text());
    TakeChoice(m_wrongAnswerMode, record.WrongAnswerMode);
}

} // namespace CorvBuilder
