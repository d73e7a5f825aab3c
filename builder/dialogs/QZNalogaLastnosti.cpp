#include "QZNalogaLastnosti.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int HelpContextTest = 130;
// Room for a comment of about sixty characters without scrolling.
constexpr int TextEditWidth = 520;

// The edit's text stored into a field, unless the author left it as it was
// loaded: then the field keeps its bytes, also those no code page character
// stands for.
template<int N> void StoreText(TShortString<N> &field, const QLineEdit *edit, const QString &loaded)
{
    if (edit->text() != loaded)
        SetFieldText(field, edit->text());
}

} // namespace

TNalogaLastnosti::TNalogaLastnosti(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("Test - Properties"), HelpContextTest)
    , m_record(ZeroRecord<TTestRecord>())
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

void TNalogaLastnosti::Load(const TTestRecord &record)
{
    m_record = record;
    m_loadedTitle = FieldText(record.Title);
    m_title->setText(m_loadedTitle);
    for (int i = 0; i < CommentCount; ++i) {
        m_loadedComments[size_t(i)] = FieldText(record.Comments[i]);
        m_comments[size_t(i)]->setText(m_loadedComments[size_t(i)]);
    }
    // A mode outside the three items leaves none of them selected.
    m_wrongAnswerMode->setExclusive(false);
    for (QAbstractButton *item : m_wrongAnswerMode->buttons())
        item->setChecked(m_wrongAnswerMode->id(item) == record.WrongAnswerMode);
    m_wrongAnswerMode->setExclusive(true);
    m_title->setFocus();
}

TTestRecord TNalogaLastnosti::Store()
{
    StoreText(m_record.Title, m_title, m_loadedTitle);
    for (int i = 0; i < CommentCount; ++i)
        StoreText(m_record.Comments[i], m_comments[size_t(i)], m_loadedComments[size_t(i)]);
    const int mode = m_wrongAnswerMode->checkedId();
    if (mode >= 0)
        m_record.WrongAnswerMode = quint8(mode);
    return m_record;
}
